#include "roster/RosterWriteBack.h"

#include "roster/Workbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryFile>

#include <algorithm>

#include <cstdio>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

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

// Writes bytes to a new file in the workbook's folder, reads it back, and renames it over the
// workbook only when it holds exactly those bytes.
QString replaceAtomically(const QString &path, const QByteArray &bytes)
{
    const QFileInfo info(path);
    QTemporaryFile temporary(info.absoluteDir().filePath(QStringLiteral(".lumo-XXXXXX.tmp")));
    if (!temporary.open())
        return QStringLiteral("cannot create a temporary file beside the workbook: ") +
               temporary.errorString();
    if (temporary.write(bytes) != bytes.size() || !temporary.flush())
        return QStringLiteral("cannot write the temporary file: ") + temporary.errorString();
#ifdef Q_OS_UNIX
    if (::fsync(temporary.handle()) != 0)
        return QStringLiteral("cannot flush the temporary file to disk");
#endif
    temporary.close();
    temporary.setPermissions(QFile::permissions(path));

    QFile check(temporary.fileName());
    if (!check.open(QIODevice::ReadOnly) || check.readAll() != bytes)
        return QStringLiteral("the temporary file did not read back as written");
    check.close();
    if (std::rename(QFile::encodeName(temporary.fileName()).constData(),
                    QFile::encodeName(info.absoluteFilePath()).constData()) != 0)
        return QStringLiteral("cannot rename the temporary file over the workbook");
    temporary.setAutoRemove(false);
    return QString();
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
