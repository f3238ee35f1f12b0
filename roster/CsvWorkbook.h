// Class lists saved as CSV text, UTF-8 (with or without BOM) or GBK. The file's only sheet
// counts as "sheet1".
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/SheetGrid.h"

#include <QByteArray>

namespace lumo::roster {

SheetReadResult readCsvWorkbook(const QByteArray &bytes);

// The file's bytes with "是" in column C at the given 0-based rows, in the file's own encoding.
// Every other byte stays as it was.
MarkedBytes markCsvWorkbook(const QByteArray &bytes, const std::vector<int> &rows);

} // namespace lumo::roster
