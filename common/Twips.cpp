#include "common/Twips.h"

#include <cmath>

namespace lumo::common {

int twipsToPixels(double twips)
{
    return static_cast<int>(std::nearbyint(twips / kTwipsPerPixel));
}

std::optional<qint16> pixelsToTwips16(qint32 pixels)
{
    const qint32 value = pixels * kTwipsPerPixel;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<qint16>(value);
}

qint32 pixelsToTwips(qint32 pixels)
{
    return pixels * kTwipsPerPixel;
}

double pixelsToTwipsExact(double pixels)
{
    return pixels * kTwipsPerPixel;
}

QRect twipsRectToPixels(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                 twipsToPixels(height));
}

} // namespace lumo::common
