#include "roster/RosterWriteBack.h"

#include "common/AtomicFile.h"
#include "roster/Workbook.h"

#include <QFile>
#include <QLoggingCategory>

#include <algorithm>

namespace lumo::roster {

Q_LOGGING_CATEGORY(lcWriteBack, "lumo.roster.writeback")

namespace {

constexpr int kMarkColumn = 2;

WriteBackResult failed(const QString &path, const QString &reason)
{
    WriteBackResult result;
    result.error = reason;
    qCWarning(lcWriteBack).noquote() << "photo marks not written to" << path << ":" << reason;
    return result;
}

// Writes the bytes beside the workbook, reads them back from the disk, and only when they are
// exactly those bytes puts them in the workbook's place; the workbook keeps its permissions.
QString replaceAtomically(const QString &path, const QByteArray &bytes)
{
    common::AtomicFile file(path);
    if (!file.write(bytes))
        return file.errorString();
    if (file.readBack() != bytes)
        return QStringLiteral("the new workbook did not read back as written");
    return file.commit() ? QString() : file.errorString();
}

} // namespace

std::vector<PhotoMark> photoMarksOf(const RosterTable &table)
{
    std::vector<PhotoMark> marks;
    for (int row = 1; row < RosterTable::kRows - 1 && !table.name(row).isEmpty(); ++row) {
        if (table.photoMark(row) == kPhotoTakenMark)
            marks.push_back({row, table.name(row), table.idNumber(row)});
    }
    return marks;
}

WriteBackResult writePhotoMarks(const QString &path, const std::vector<PhotoMark> &marks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(path, QStringLiteral("cannot open the workbook: ") + file.errorString());
    if (file.size() > kLargestWorkbook)
        return failed(path, QStringLiteral("the workbook is too large"));
    const QByteArray original = file.readAll();
    file.close();
    const SheetReadResult read = readWorkbook(original);
    if (!read.ok())
        return failed(path, read.error);

    WriteBackResult result;
    std::vector<int> rows;
    for (const PhotoMark &mark : marks) {
        if (!SheetGrid::inWindow(mark.row, kMarkColumn) || mark.row == 0) {
            result.notes << QStringLiteral("student %1: not a student row").arg(mark.row);
        } else if (read.grid.cell(mark.row, 0) != mark.name ||
                   read.grid.cell(mark.row, 1) != mark.idNumber) {
            result.notes << QStringLiteral("student %1: name or ID-card number changed in the "
                                           "workbook, not marked")
                                .arg(mark.row);
        } else if (read.grid.cell(mark.row, kMarkColumn) != kPhotoTakenMark) {
            rows.push_back(mark.row);
        }
    }
    if (rows.empty()) {
        result.ok = true;
        return result;
    }

    const MarkedBytes marked = markWorkbook(original, rows);
    if (!marked.ok())
        return failed(path, marked.error);
    SheetGrid expected = read.grid;
    for (int row : rows) {
        if (std::find(marked.skippedRows.begin(), marked.skippedRows.end(), row) !=
            marked.skippedRows.end()) {
            result.notes << QStringLiteral("student %1: column C holds a formula that the mark "
                                           "must not replace")
                                .arg(row);
            continue;
        }
        expected.setCell(row, kMarkColumn, kPhotoTakenMark);
        ++result.written;
    }
    if (result.written == 0) {
        result.ok = true;
        return result;
    }
    const SheetReadResult check = readWorkbook(marked.bytes);
    if (!check.ok() || !(check.grid == expected))
        return failed(path, QStringLiteral("the marked workbook did not read back as expected%1")
                                .arg(check.ok() ? QString() : QStringLiteral(": ") + check.error));
    const QString replaceError = replaceAtomically(path, marked.bytes);
    if (!replaceError.isEmpty())
        return failed(path, replaceError);
    for (const QString &note : result.notes)
        qCInfo(lcWriteBack).noquote() << path << note;
    result.ok = true;
    return result;
}

} // namespace lumo::roster
