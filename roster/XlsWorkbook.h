// Legacy .xls workbooks: BIFF8 in a Compound File, read and written by our own code.
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/SheetGrid.h"

#include <QByteArray>

namespace lumo::roster {

// The sheet "sheet1" of an .xls file's bytes.
SheetReadResult readXlsWorkbook(const QByteArray &bytes);

// The file's bytes with "是" in column C of the sheet "sheet1" at the given 0-based rows;
// everything else in the file stays as it was.
MarkedBytes markXlsWorkbook(const QByteArray &bytes, const std::vector<int> &rows);

} // namespace lumo::roster
