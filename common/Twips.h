// Window positions and sizes are kept in twips, 15 to the screen pixel, as the frame rules
// compute them; this is the one place that converts between twips and pixels.
#pragma once

#include <QRect>
#include <QtGlobal>

#include <optional>

namespace lumo::common {

inline constexpr int kTwipsPerPixel = 15;

// Twips to whole pixels, rounded to the nearest, halves to even (2257.5 twips = 150.5 px -> 150).
int twipsToPixels(double twips);

// Pixels to twips as the 16-bit frame sizes hold them; nothing on overflow.
std::optional<qint16> pixelsToTwips16(qint32 pixels);

// Pixels to twips without a range limit (screen positions, 32-bit).
qint32 pixelsToTwips(qint32 pixels);

// Pixels to twips as a floating value, for the frame's line coordinates.
double pixelsToTwipsExact(double pixels);

// A rectangle given in twips (left, top, width, height) in whole pixels.
QRect twipsRectToPixels(int left, int top, int width, int height);

} // namespace lumo::common
