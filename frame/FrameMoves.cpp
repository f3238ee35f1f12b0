#include "frame/FrameMoves.h"

#include "frame/Twips.h"
#include "settings/NumberText.h"

#include <cmath>

namespace frame {

std::optional<double> moveStepTwips(const QString &stepText)
{
    const std::optional<double> step = numbers::parseNumber(stepText);
    if (!step || !std::isfinite(*step))
        return std::nullopt;
    return twips::fromPixelsExact(*step);
}

std::optional<int> zoomedWidth(const QString &widthText, int change)
{
    const std::optional<double> width = numbers::parseNumber(widthText);
    if (!width)
        return std::nullopt;
    const double zoomed = std::floor(*width) + change;
    if (zoomed < kSmallestPhotoWidth || zoomed > kLargestPhotoWidth)
        return std::nullopt;
    return int(zoomed);
}

double zoomShiftTwips()
{
    return twips::fromPixelsExact(kZoomStep / 2.0);
}

int zoomWindowWidthTwips()
{
    return twips::fromPixels(kZoomStep);
}

QPointF frameCentredOn(QPoint cursor, PhotoSize photo)
{
    const double left = twips::fromPixels(cursor.x()) - twips::fromPixels(photo.width) / 2.0;
    const double top = twips::fromPixels(cursor.y()) - twips::fromPixels(photo.height) / 2.0;
    return QPointF(left, top);
}

} // namespace frame
