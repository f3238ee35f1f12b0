#include "roster/Workbook.h"

#include "roster/CsvWorkbook.h"
#include "roster/WorkbookFormat.h"
#include "roster/XlsWorkbook.h"
#include "roster/XlsxWorkbook.h"

#include <QFile>

namespace lumo::roster {

namespace {

const QString kUnknownFormat = QStringLiteral("not an .xls, .xlsx or text (.csv) workbook");

} // namespace

SheetReadResult readWorkbook(const QByteArray &bytes)
{
    switch (detectWorkbookFormat(bytes)) {
    case WorkbookFormat::Xls:
        return readXlsWorkbook(bytes);
    case WorkbookFormat::Xlsx:
        return readXlsxWorkbook(bytes);
    case WorkbookFormat::Csv:
        return readCsvWorkbook(bytes);
    case WorkbookFormat::Unknown:
        break;
    }
    return SheetReadResult::failure(kUnknownFormat);
}

SheetReadResult readWorkbookFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return SheetReadResult::failure(
            QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    if (file.size() > kLargestWorkbook)
        return SheetReadResult::failure(
            QStringLiteral("%1 is too large for a class list").arg(path));
    return readWorkbook(file.readAll());
}

MarkedBytes markWorkbook(const QByteArray &bytes, const std::vector<int> &rows)
{
    switch (detectWorkbookFormat(bytes)) {
    case WorkbookFormat::Xls:
        return markXlsWorkbook(bytes, rows);
    case WorkbookFormat::Xlsx:
        return markXlsxWorkbook(bytes, rows);
    case WorkbookFormat::Csv:
        return markCsvWorkbook(bytes, rows);
    case WorkbookFormat::Unknown:
        break;
    }
    MarkedBytes result;
    result.error = kUnknownFormat;
    return result;
}

} // namespace lumo::roster
