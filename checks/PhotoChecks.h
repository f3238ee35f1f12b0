// The registry's photo rules that can be judged without a person: exactly one frontal face,
// the head's size and place, level eyes, sharpness, exposure and a plain light background;
// and the live guide for the frame. One set of rules for the windows and lumo-cli.
#pragma once

#include "checks/FaceDetector.h"
#include "photo/BgrImage.h"

#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <cmath>
#include <optional>

namespace lumo::checks {

// The codes of a verdict, in the order they are reported. "faces:N" is kFaces followed by N.
namespace code {
inline constexpr char kNoFace[] = "no-face";
inline constexpr char kFaces[] = "faces:";
inline constexpr char kHeadSmall[] = "head-small";
inline constexpr char kHeadLarge[] = "head-large";
inline constexpr char kOffCentre[] = "off-centre";
inline constexpr char kTilted[] = "tilted";
inline constexpr char kBlurred[] = "blurred";
inline constexpr char kDark[] = "dark";
inline constexpr char kBright[] = "bright";
inline constexpr char kBackground[] = "background";
} // namespace code

struct PhotoVerdict
{
    QStringList codes; // what keeps the photo out of the registry; empty when none does
    QString error;     // the checks could not run (for the operator); codes are then empty

    // What the codes were judged by, in the photo's pixels; for the review pane.
    std::optional<QRect> face; // the detector's box, when there was exactly one face
    QRectF head;               // crown to chin, estimated from the box
    double tiltDegrees = NAN;  // right eye below the left is positive; NaN without both eyes
    double sharpness = 0;
    double faceLuminance = 0;
    double backgroundLuminance = 0;

    bool isOk() const { return codes.isEmpty() && error.isEmpty(); }
    // "ok", or the codes joined by commas.
    QString summary() const;
};

// Checks a photo after capture (the 260 x 320 registry photo, or any size).
PhotoVerdict checkPhoto(const photo::BgrImage &photo);
PhotoVerdict checkPhoto(const photo::BgrImage &photo, const FaceDetector &detector);

struct FramingGuide
{
    std::optional<QRect> face; // the detector's box when there is exactly one face
    QRectF head;               // crown to chin, estimated from the box
    int headBandTop = 0;       // the rows the head should span, crown to chin
    int headBandBottom = 0;
    bool headFits = false; // one face, its head in the band's size and centred
    QString error;
};

// The live guide on the picture under the frame, in that picture's pixels. Fast enough for
// every preview frame: the picture is scaled down first.
FramingGuide checkFraming(const photo::BgrImage &underFrame);
FramingGuide checkFraming(const photo::BgrImage &underFrame, const FaceDetector &detector);

// What the operator reads and hears: "照片合格", or "请重拍：" and what is wrong.
QString operatorText(const PhotoVerdict &verdict);

} // namespace lumo::checks
