#include "frame/FrameGeometry.h"

#include "frame/Twips.h"
#include "settings/NumberText.h"

#include <algorithm>
#include <cmath>

namespace frame {
namespace {

const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

std::optional<QString> text(const char16_t *replacement)
{
    if (!replacement)
        return std::nullopt;
    return QString::fromUtf16(replacement);
}

} // namespace

std::optional<QString> replacementText(const TextRule &rule, const QString &value)
{
    if (value.isEmpty() || (rule.zeroCountsAsEmpty && value == u"0"))
        return text(rule.whenEmpty);
    const numbers::Int16Conversion number = numbers::toInt16(value);
    switch (number.error) {
    case numbers::ConversionError::NotANumber:
        return text(rule.whenNotANumber);
    case numbers::ConversionError::Overflow:
        return numbers::parseNumber(value).value_or(0) > 0 ? text(rule.whenAbove)
                                                           : text(rule.whenNegative);
    case numbers::ConversionError::None:
        break;
    }
    if (number.value > rule.maximum)
        return text(rule.whenAbove);
    if (number.value < 0)
        return text(rule.whenNegative);
    return std::nullopt;
}

qint16 heightForWidth(qint16 width)
{
    return static_cast<qint16>(std::floor(double(width) / 13.0 * 16.0));
}

std::optional<PhotoSize> photoSizeForWidthText(const QString &text)
{
    if (text == u"1")
        return std::nullopt;
    const numbers::Int16Conversion width =
        numbers::integerPartToInt16(numbers::leadingNumber(text));
    if (!width.ok())
        return std::nullopt;
    return PhotoSize{width.value, heightForWidth(width.value)};
}

std::optional<QSize> frameWindowSizeTwips(PhotoSize photo)
{
    const std::optional<qint16> width = twips::fromPixels16(photo.width);
    const std::optional<qint16> height = twips::fromPixels16(photo.height);
    if (!width || !height)
        return std::nullopt;
    const int margin = twips::fromPixels(20);
    if (*width + margin > 32767 || *height + margin > 32767)
        return std::nullopt;
    return QSize(*width + margin, *height + margin);
}

int penWidth(const QString &text)
{
    const numbers::Int16Conversion width = numbers::toInt16(text);
    if (!width.ok())
        return 1;
    return std::clamp<int>(width.value, 1, 50);
}

FrameLines layoutFrameLines(PhotoSize photo, int outerPenWidth, int innerPenWidth)
{
    const double w = twips::fromPixelsExact(photo.width);
    const double h = twips::fromPixelsExact(photo.height);
    const double centre = twips::fromPixelsExact(photo.width / 2.0);
    const double innerLeft = w / 6;
    const double innerRight = w / 6 * 5;
    const double innerTop = h / 6 - h / 12;
    const double innerBottom = h / 6 * 5 - h / 12;
    // Coordinates are held in single precision, as the lines store them.
    auto point = [](double x, double y) { return QPointF(float(x), float(y)); };
    return {{
        {point(0, 0), point(w, 0), kGreen, outerPenWidth},
        {point(w, 0), point(w, h), kGreen, outerPenWidth},
        {point(0, h), point(w, h), kGreen, outerPenWidth},
        {point(0, 0), point(0, h), kGreen, outerPenWidth},
        {point(centre, 0), point(centre, h), kGreen, 1},
        {point(innerLeft, innerTop), point(innerRight, innerTop), kRed, innerPenWidth},
        {point(innerLeft, innerTop), point(innerLeft, innerBottom), kRed, innerPenWidth},
        {point(innerLeft, innerBottom), point(innerRight, innerBottom), kRed, innerPenWidth},
        {point(innerRight, innerTop), point(innerRight, innerBottom), kRed, innerPenWidth},
    }};
}

QRect linePixels(const FrameLine &line)
{
    const int x1 = twips::toPixels(line.from.x());
    const int y1 = twips::toPixels(line.from.y());
    const int x2 = twips::toPixels(line.to.x());
    const int y2 = twips::toPixels(line.to.y());
    const int before = line.penWidth / 2;
    const int after = line.penWidth - before - 1;
    return QRect(QPoint(std::min(x1, x2) - before, std::min(y1, y2) - before),
                 QPoint(std::max(x1, x2) + after, std::max(y1, y2) + after));
}

} // namespace frame
