// Text-to-number rules shared by the settings file, the frame geometry and the roster:
// whole-text conversion into a 16-bit integer (nearest, halves to even, overflow checked),
// the integer part of a value, and the leading number of a text.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace lumo::common {

enum class ConversionError { None, NotANumber, Overflow };

struct Int16Conversion
{
    qint16 value = 0;
    ConversionError error = ConversionError::None;

    bool ok() const { return error == ConversionError::None; }
};

// The whole text as a number: blanks around it, a sign, digits with an optional fraction and
// exponent, or "&H"/"&O" hexadecimal and octal. Anything else is not a number.
std::optional<double> parseNumber(QStringView text);

// A value rounded to the nearest integer, halves to even, checked against the 16-bit range.
Int16Conversion roundToInt16(double value);

// parseNumber followed by roundToInt16.
Int16Conversion toInt16(QStringView text);

// The integer part of a value, rounded down (-2.5 gives -3), checked against the 16-bit range.
Int16Conversion integerPartToInt16(double value);

// The number at the start of a text, 0 when it does not start with one. Blanks, tabs and line
// feeds anywhere in the text are skipped ("1 2x" gives 12); reading stops at the first
// character that cannot continue the number.
double leadingNumber(QStringView text);

} // namespace lumo::common
