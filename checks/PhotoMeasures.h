// The numbers the checks judge a photo by, each measured on the photo's brightness.
#pragma once

#include "checks/LumaImage.h"

#include <QRect>
#include <QRectF>

namespace lumo::checks {

// Variance of the Laplacian of the face, scaled to a fixed size first so that a large and a
// small face of the same sharpness measure the same; divided by the face's own contrast, so
// that a pale face is not taken for a blurred one.
double sharpnessOf(const LumaImage &image, const QRect &face);

struct FaceLight
{
    double mean = 0;      // mean brightness of the middle of the face box, 0..255
    double highlight = 0; // the brightness a tenth of it reaches
    double clipped = 0;   // share of it at 250 or more
};
FaceLight faceLightOf(const LumaImage &image, const QRect &face);

struct BackgroundLook
{
    double mean = 0;   // 0..255
    double spread = 0; // standard deviation of the brightness
    double share = 0;  // share of the photo measured (0 when the head leaves no room)
};
// The area beside and above the head, down to the shoulders, leaving out an ellipse around
// the head (crown to chin).
BackgroundLook backgroundOf(const LumaImage &image, const QRectF &head);

} // namespace lumo::checks
