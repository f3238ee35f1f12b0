#include "roster/Workbook.h"

#include "common/AtomicFile.h"
#include "roster/CsvWorkbook.h"
#include "roster/WorkbookFormat.h"
#include "roster/XlsWorkbook.h"
#include "roster/XlsxWorkbook.h"

namespace lumo::roster {

namespace {

const QString kUnknownFormat = QStringLiteral("not an .xls, .xlsx or text (.csv) workbook");

} // namespace

SheetReadResult readWorkbook(const QByteArray &bytes)
{
    SheetReadResult result = SheetReadResult::failure(kUnknownFormat);
    switch (detectWorkbookFormat(bytes)) {
    case WorkbookFormat::Xls:
        result = readXlsWorkbook(bytes);
        break;
    case WorkbookFormat::Xlsx:
        result = readXlsxWorkbook(bytes);
        break;
    case WorkbookFormat::Csv:
        result = readCsvWorkbook(bytes);
        break;
    case WorkbookFormat::Unknown:
        break;
    }
    if (result.ok() && result.grid.overflowed())
        return SheetReadResult::failure(QStringLiteral("sheet1 holds more text than a class list"));
    return result;
}

bool readWorkbookBytes(const QString &path, QByteArray *bytes, QString *error)
{
    if (!common::readRegularFile(path, kLargestWorkbook, bytes, error))
        return false;
    if (bytes->isEmpty()) {
        *error = QStringLiteral("%1: the file is empty").arg(path);
        return false;
    }
    return true;
}

SheetReadResult readWorkbookFile(const QString &path)
{
    QByteArray bytes;
    QString error;
    if (!readWorkbookBytes(path, &bytes, &error))
        return SheetReadResult::failure(error);
    return readWorkbook(bytes);
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
