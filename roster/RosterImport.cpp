#include "roster/RosterImport.h"

#include "common/IdCardNumber.h"
#include "roster/Workbook.h"

#include <QDir>

namespace lumo::roster {

QString workbookPath(const QString &text, const QString &programFolder)
{
    if (QDir::isRelativePath(text))
        return programFolder + QDir::separator() + text;
    return text;
}

QString studentText(const QString &cell)
{
    const QString trimmed = cell.trimmed();
    return trimmed.isEmpty() ? cell : trimmed;
}

RosterImportResult importRoster(const QString &path, RosterTable &table)
{
    RosterImportResult result;
    const SheetReadResult read = readWorkbookFile(path);
    if (!read.ok()) {
        result.reason = read.error;
        return result;
    }
    int endRow = 0;
    for (; endRow < SheetGrid::kRows; ++endRow) {
        for (int column = 0; column < SheetGrid::kColumns; ++column) {
            const QString text = read.grid.cell(endRow, column);
            const bool isStudentKey = endRow > 0 && column + 1 <= RosterTable::kIdNumber;
            table.setCell(endRow, column + 1, isStudentKey ? studentText(text) : text);
        }
        // The header row never ends the list, even with an empty column A: reading on keeps a
        // previous class's students from being counted again.
        if (endRow > 0 && read.grid.cell(endRow, 0).isEmpty())
            break;
    }
    // Rows of an earlier, longer class after this class's end would show up past its end.
    for (int row = endRow + 1; row < RosterTable::kRows; ++row) {
        for (int column = 0; column < RosterTable::kColumns; ++column)
            table.setCell(row, column, QString());
    }
    for (int row = 1; row < SheetGrid::kRows; ++row) {
        if (table.name(row).isEmpty())
            break;
        ++result.studentCount;
        if (common::countsAsWithoutId(table.idNumber(row)))
            ++result.withoutIdCount;
    }
    result.ok = true;
    return result;
}

QString importSummary(const RosterImportResult &result)
{
    return QStringLiteral("本此共导入%1名学生，其中有%2名无身份证学生")
        .arg(result.studentCount)
        .arg(result.withoutIdCount);
}

} // namespace lumo::roster
