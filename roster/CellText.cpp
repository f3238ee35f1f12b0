#include "roster/CellText.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumo::roster::celltext {
namespace {

constexpr int kSignificantDigits = 15;
// Whole numbers below this are written as digits; larger ones in scientific notation.
constexpr int kLargestDigitsExponent = 20;
// Fractions smaller than this are written in scientific notation, as General does.
constexpr int kSmallestDecimalExponent = -5;

QString scientific(bool negative, const std::string &digits, int exponent)
{
    std::string text = negative ? "-" : "";
    text += digits[0];
    if (digits.size() > 1) {
        text += '.';
        text.append(digits, 1);
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return QString::fromLatin1(text + suffix);
}

} // namespace

QString numberText(double value)
{
    if (std::isnan(value) || std::isinf(value))
        return QStringLiteral("#NUM!");
    if (value == 0)
        return QStringLiteral("0");

    // d.dddddddddddddde±x: the 15 significant digits and the decimal exponent.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", kSignificantDigits - 1, value);
    std::string text(buffer);
    const bool negative = text[0] == '-';
    if (negative)
        text.erase(0, 1);
    const std::size_t e = text.find('e');
    const int exponent = std::atoi(text.c_str() + e + 1);
    std::string digits = text.substr(0, 1);
    digits.append(text, 2, e - 2);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int digitCount = int(digits.size());

    const bool whole = exponent >= digitCount - 1;
    if (whole && exponent <= kLargestDigitsExponent) {
        std::string result = negative ? "-" : "";
        result += digits;
        result.append(std::size_t(exponent - (digitCount - 1)), '0');
        return QString::fromLatin1(result);
    }
    if (whole || exponent < kSmallestDecimalExponent)
        return scientific(negative, digits, exponent);

    std::string result = negative ? "-" : "";
    if (exponent < 0) {
        result += "0.";
        result.append(std::size_t(-exponent - 1), '0');
        result += digits;
    } else {
        result.append(digits, 0, std::size_t(exponent) + 1);
        result += '.';
        result.append(digits, std::size_t(exponent) + 1);
    }
    return QString::fromLatin1(result);
}

QString booleanText(bool value)
{
    return value ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
}

QString errorText(std::uint8_t code)
{
    switch (code) {
    case 0x00:
        return QStringLiteral("#NULL!");
    case 0x07:
        return QStringLiteral("#DIV/0!");
    case 0x0F:
        return QStringLiteral("#VALUE!");
    case 0x17:
        return QStringLiteral("#REF!");
    case 0x1D:
        return QStringLiteral("#NAME?");
    case 0x24:
        return QStringLiteral("#NUM!");
    case 0x2A:
        return QStringLiteral("#N/A");
    default:
        return QStringLiteral("#N/A");
    }
}

} // namespace lumo::roster::celltext
