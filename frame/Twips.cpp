#include "frame/Twips.h"

#include <cmath>

namespace twips {

int toPixels(double twips)
{
    return static_cast<int>(std::nearbyint(twips / kPerPixel));
}

std::optional<qint16> fromPixels16(qint32 pixels)
{
    const qint32 value = pixels * kPerPixel;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<qint16>(value);
}

qint32 fromPixels(qint32 pixels)
{
    return pixels * kPerPixel;
}

double fromPixelsExact(double pixels)
{
    return pixels * kPerPixel;
}

QRect rectToPixels(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

} // namespace twips
