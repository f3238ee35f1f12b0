#include "frame/FrameRules.h"

#include "common/NumberText.h"
#include "common/Twips.h"

#include <algorithm>
#include <cmath>

namespace lumo::frame {

namespace {

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
    const common::Int16Conversion number = common::toInt16(value);
    switch (number.error) {
    case common::ConversionError::NotANumber:
        return text(rule.whenNotANumber);
    case common::ConversionError::Overflow:
        return common::parseNumber(value).value_or(0) > 0 ? text(rule.whenAbove)
                                                          : text(rule.whenNegative);
    case common::ConversionError::None:
        break;
    }
    if (number.value > rule.maximum)
        return text(rule.whenAbove);
    if (number.value < 0)
        return text(rule.whenNegative);
    return std::nullopt;
}

QString checkedText(const TextRule &rule, const QString &text)
{
    QString checked = text;
    // Every replacement is a text its own rule keeps, so this ends after two rounds at most.
    for (int round = 0; round < 3; ++round) {
        const std::optional<QString> replacement = replacementText(rule, checked);
        if (!replacement)
            break;
        checked = *replacement;
    }
    return checked;
}

qint16 heightForWidth(qint16 width)
{
    return static_cast<qint16>(std::floor(double(width) / 13.0 * 16.0));
}

std::optional<PhotoSize> photoSizeForWidthText(const QString &text)
{
    if (text == u"1")
        return std::nullopt;
    const common::Int16Conversion width = common::integerPartToInt16(common::leadingNumber(text));
    if (!width.ok())
        return std::nullopt;
    return PhotoSize{width.value, heightForWidth(width.value)};
}

PhotoSize storedPhotoSize(const QString &widthText, const QString &heightText)
{
    const qint16 width = common::integerPartToInt16(common::leadingNumber(widthText)).value;
    const common::Int16Conversion height = common::toInt16(heightText);
    return {width, height.ok() ? height.value : heightForWidth(width)};
}

int penWidth(const QString &text)
{
    const common::Int16Conversion width = common::toInt16(text);
    if (!width.ok())
        return 1;
    return std::clamp<int>(width.value, 1, 50);
}

std::optional<double> moveStepTwips(const QString &stepText)
{
    const std::optional<double> step = common::parseNumber(stepText);
    if (!step || !std::isfinite(*step))
        return std::nullopt;
    return common::pixelsToTwipsExact(*step);
}

std::optional<int> zoomedWidth(const QString &widthText, int change)
{
    const std::optional<double> width = common::parseNumber(widthText);
    if (!width)
        return std::nullopt;
    const double zoomed = std::floor(*width) + change;
    if (zoomed < kSmallestPhotoWidth || zoomed > kLargestPhotoWidth)
        return std::nullopt;
    return int(zoomed);
}

} // namespace lumo::frame
