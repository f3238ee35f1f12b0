// Which kind of workbook a file is, told by its first bytes, never by its name.
#pragma once

#include <QByteArrayView>

namespace lumo::roster {

enum class WorkbookFormat { Xls, Xlsx, Csv, Unknown };

// Compound File → .xls, ZIP → .xlsx, text → .csv; anything else (a binary file that is neither,
// a bare BIFF stream of an old Excel version) is Unknown.
WorkbookFormat detectWorkbookFormat(QByteArrayView firstBytes);

} // namespace lumo::roster
