// Every threshold of the photo checks, with the reason for it. The numbers were calibrated on
// the test photos made from dlib's public-domain example faces (tests/checks): each was set
// where no more than 1 good photo in 20 is flagged by it.
#pragma once

namespace lumo::checks::rules {

// The head the registry wants: about two thirds of the photo's height, crown a little below the
// top edge, so that the chin leaves room for the neck and shoulders.
inline constexpr double kHeadShare = 0.66;
inline constexpr double kCrownRow = 0.09; // of the height, from the top

// The cascade's box runs from the forehead to just above the chin. Measured on the example
// photos: the crown lies above the box by 0.28 of its height (0.25 to 0.33 with short hair),
// the chin 1.05 of its height below its top; the head is about as wide as the box.
inline constexpr double kCrownAboveBox = 0.28;
inline constexpr double kChinBelowBoxTop = 1.05;
inline constexpr double kHeadWidthOfBox = 1.0;

// The head's height may stray this far from kHeadShare: the crown-to-chin estimate itself is
// about 8 % off for one person in ten (hair), and a registry photo with the head at 57 % or 76 %
// is still taken.
inline constexpr double kHeadShareMin = 0.56;
inline constexpr double kHeadShareMax = 0.78;
// The head's centre may stray from the middle column and from the band's middle row by this
// share of the width and height: about a fifth of an eye's distance either way is invisible.
inline constexpr double kMaxOffsetX = 0.08;
inline constexpr double kMaxOffsetY = 0.08;

// Faces smaller than this share of the photo's height are not counted: a poster or a face far
// behind.
inline constexpr double kMinFaceShare = 0.15;

// Eyes more than this many degrees from level. The eye cascade's line is off by up to 5 degrees
// on level faces, and reads a head tilted by 12 degrees as 7 to 18.
inline constexpr double kMaxTiltDegrees = 7.0;

// Sharpness (PhotoMeasures.h) below this: a face blurred by about 1.5 pixels of a 260 x 320
// photo or more. A sharp photo measures 2.2 to 13, depending on the camera and the skin.
inline constexpr double kMinSharpness = 1.8;

// Exposure is judged by the brighter tenth of the face (cheekbones, forehead, nose), so that dark
// skin lit well is not taken for a dark photo: below kMinFaceHighlight the face is in shadow.
// Brighter than kMaxFaceLuminance on average, or with more than kMaxClipped of it at white, the
// skin has no detail left.
inline constexpr double kMinFaceHighlight = 100;
inline constexpr double kMaxFaceLuminance = 215;
inline constexpr double kMaxClipped = 0.20;

// The background beside and above the head: light (a white or light blue cloth is 170 and
// more; a grey wall in a dim room below 140) and plain: a backdrop's shading and the camera's
// noise spread it by less than 10, posters, shelves or people by 30 and more.
inline constexpr double kMinBackgroundLuminance = 150;
inline constexpr double kMaxBackgroundSpread = 20;

// Faces are looked for on a copy scaled down to this height: after capture the eye cascade
// still sees eyes of 25 pixels; the live guide's copy lets the cascade's smallest face (24
// pixels) be a head of a third of the frame.
inline constexpr int kCheckHeight = 240;
inline constexpr int kFramingHeight = 128;

} // namespace lumo::checks::rules
