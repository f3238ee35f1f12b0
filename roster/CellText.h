// How a cell's value becomes the text the roster holds, as a spreadsheet's General format shows
// it, except that whole numbers are always written out as digits (ID-card numbers stored as
// numbers must not turn into "3.10104201207184E+17").
#pragma once

#include <QString>

#include <cstdint>

namespace lumo::roster::celltext {

// At most 15 significant digits, never more than the value holds: 3.10104201207184E+17 gives
// "310104201207184000", 0.1 + 0.2 gives "0.3", 1.5e-10 gives "1.5E-10".
QString numberText(double value);

QString booleanText(bool value);

// The text of a BIFF error code (0x07 "#DIV/0!", 0x2A "#N/A", ...).
QString errorText(std::uint8_t code);

} // namespace lumo::roster::celltext
