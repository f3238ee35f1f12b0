// .xlsx workbooks: a ZIP of XML parts (libzip), read as a stream so that memory stays bounded.
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/SheetGrid.h"

#include <QByteArray>

namespace lumo::roster {

// The sheet "sheet1" of an .xlsx file's bytes.
SheetReadResult readXlsxWorkbook(const QByteArray &bytes);

// The file's bytes with "是" in column C of the sheet "sheet1" at the given 0-based rows. Only
// that sheet's part changes; the other entries of the archive are copied as they are.
MarkedBytes markXlsxWorkbook(const QByteArray &bytes, const std::vector<int> &rows);

} // namespace lumo::roster
