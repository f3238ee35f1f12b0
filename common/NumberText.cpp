#include "common/NumberText.h"

#include <cmath>
#include <limits>

namespace lumo::common {
namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// 0..15 for a hexadecimal digit, -1 for anything else.
int digitValue(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    const QChar lower = c.toLower();
    if (lower >= u'a' && lower <= u'f')
        return lower.unicode() - u'a' + 10;
    return -1;
}

struct Scan
{
    double value = 0;
    qsizetype consumed = 0; // characters that formed the number, 0 when none did
};

// Reads "&H1F" / "&O17" at the start of text.
Scan scanRadixNumber(QStringView text)
{
    if (text.size() < 3 || text[0] != u'&')
        return {};
    const QChar kind = text[1].toUpper();
    const int radix = kind == u'H' ? 16 : kind == u'O' ? 8 : 0;
    if (radix == 0)
        return {};
    qint64 magnitude = 0;
    qsizetype i = 2;
    for (; i < text.size(); ++i) {
        const int digit = digitValue(text[i]);
        if (digit < 0 || digit >= radix)
            break;
        magnitude = magnitude * radix + digit;
        if (magnitude > 0xFFFFFFFFLL)
            return {std::numeric_limits<double>::infinity(), i + 1};
    }
    if (i == 2)
        return {};
    // Like the 16-bit world these texts come from: "&HFFFF" is -1.
    double value = double(magnitude);
    if (magnitude <= 0xFFFF && magnitude > 0x7FFF)
        value = double(magnitude - 0x10000);
    return {value, i};
}

// Reads an optionally signed decimal number with fraction and exponent at the start of text.
Scan scanDecimalNumber(QStringView text)
{
    qsizetype i = 0;
    QString digits;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        digits += text[i++];
    qsizetype mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        digits += text[i++];
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == u'.') {
        digits += text[i++];
        while (i < text.size() && isDigit(text[i])) {
            digits += text[i++];
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return {};
    qsizetype end = i;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString exponent = QStringLiteral("e");
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            exponent += text[j++];
        const qsizetype exponentStart = j;
        while (j < text.size() && isDigit(text[j]))
            exponent += text[j++];
        if (j > exponentStart) {
            digits += exponent;
            end = j;
        }
    }
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok && !std::isinf(value))
        return {std::numeric_limits<double>::infinity(), end};
    return {value, end};
}

Scan scanNumber(QStringView text)
{
    const Scan radix = scanRadixNumber(text);
    return radix.consumed > 0 ? radix : scanDecimalNumber(text);
}

} // namespace

std::optional<double> parseNumber(QStringView text)
{
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const Scan scan = scanNumber(trimmed);
    if (scan.consumed != trimmed.size())
        return std::nullopt;
    return scan.value;
}

Int16Conversion roundToInt16(double value)
{
    if (std::isnan(value))
        return {0, ConversionError::NotANumber};
    const double rounded = std::nearbyint(value); // the default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return {0, ConversionError::Overflow};
    return {static_cast<qint16>(rounded), ConversionError::None};
}

Int16Conversion toInt16(QStringView text)
{
    const std::optional<double> number = parseNumber(text);
    if (!number)
        return {0, ConversionError::NotANumber};
    return roundToInt16(*number);
}

Int16Conversion integerPartToInt16(double value)
{
    if (std::isnan(value))
        return {0, ConversionError::NotANumber};
    return roundToInt16(std::floor(value));
}

double leadingNumber(QStringView text)
{
    QString compact;
    compact.reserve(text.size());
    for (QChar c : text) {
        if (!isBlank(c))
            compact += c;
    }
    const Scan scan = scanNumber(compact);
    return scan.consumed > 0 ? scan.value : 0.0;
}

} // namespace lumo::common
