// A class-list workbook of any supported kind (.xls, .xlsx, .csv), chosen by its first bytes.
#pragma once

#include "roster/PhotoMarks.h"
#include "roster/SheetGrid.h"

#include <QByteArray>
#include <QString>

namespace lumo::roster {

// The largest workbook file we read; class lists are far smaller. Reading one this large keeps
// the program well below 256 MB.
constexpr qint64 kLargestWorkbook = 32 * 1024 * 1024;

SheetReadResult readWorkbook(const QByteArray &bytes);
SheetReadResult readWorkbookFile(const QString &path);

// The bytes of the workbook file: a regular file of at most kLargestWorkbook bytes that is not
// empty. On failure *error says why.
bool readWorkbookBytes(const QString &path, QByteArray *bytes, QString *error);

// The bytes with "是" in column C at the given 0-based rows of the sheet "sheet1".
MarkedBytes markWorkbook(const QByteArray &bytes, const std::vector<int> &rows);

} // namespace lumo::roster
