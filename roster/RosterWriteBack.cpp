#include "roster/RosterWriteBack.h"

#include "common/AtomicFile.h"
#include "common/NativePath.h"
#include "roster/RosterImport.h"
#include "roster/Workbook.h"

#include <QDir>
#include <QLoggingCategory>

#include <algorithm>
#include <optional>
#include <sys/stat.h>

namespace lumo::roster {

Q_LOGGING_CATEGORY(lcWriteBack, "lumo.roster.writeback")

namespace {

constexpr int kMarkColumn = 2;
// A workbook that another program saves again at every read is left to it after this many.
constexpr int kReadAttempts = 5;

WriteBackResult failed(const QString &path, const QString &reason)
{
    WriteBackResult result;
    result.error = reason;
    qCWarning(lcWriteBack).noquote() << "photo marks not written to" << path << ":" << reason;
    return result;
}

// Which file a path names, and the version of its content (a symbolic link is followed).
struct FileIdentity
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified = {};
    mode_t mode = 0;

    bool operator==(const FileIdentity &o) const
    {
        return device == o.device && inode == o.inode && size == o.size &&
               modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

std::optional<FileIdentity> identityOf(const QString &path)
{
    struct stat status = {};
    if (::stat(common::encodePath(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim,
                        status.st_mode};
}

// The workbook's bytes and the identity of the file they came from; unsettled when the file
// changed while it was read.
struct Snapshot
{
    QByteArray bytes;
    std::optional<FileIdentity> identity;
    bool settled = false;
};

bool readSnapshot(const QString &path, Snapshot *snapshot, QString *error)
{
    const auto before = identityOf(path);
    if (!readWorkbookBytes(path, &snapshot->bytes, error))
        return false;
    snapshot->identity = identityOf(path);
    snapshot->settled = before && snapshot->identity && *before == *snapshot->identity;
    return true;
}

// Still the file, and the content, that the snapshot holds.
bool isUnchanged(const QString &path, const Snapshot &snapshot)
{
    QByteArray now;
    QString error;
    return identityOf(path) == snapshot.identity && readWorkbookBytes(path, &now, &error) &&
           now == snapshot.bytes;
}

// The marks the workbook's bytes take: the rows that still hold the same name and ID-card
// number and no mark yet, written and read back. Empty bytes when there is nothing to write.
WriteBackResult markSnapshot(const QByteArray &original, const std::vector<PhotoMark> &marks,
                             QByteArray *marked)
{
    WriteBackResult result;
    const SheetReadResult read = readWorkbook(original);
    if (!read.ok()) {
        result.error = read.error;
        return result;
    }
    std::vector<int> rows;
    for (const PhotoMark &mark : marks) {
        if (!SheetGrid::inWindow(mark.row, kMarkColumn) || mark.row == 0) {
            result.notes << QStringLiteral("student %1: not a student row").arg(mark.row);
        } else if (studentText(read.grid.cell(mark.row, 0)) != studentText(mark.name) ||
                   studentText(read.grid.cell(mark.row, 1)) != studentText(mark.idNumber)) {
            result.notes << QStringLiteral("student %1: name or ID-card number changed in the "
                                           "workbook, not marked")
                                .arg(mark.row);
        } else if (read.grid.cell(mark.row, kMarkColumn) != kPhotoTakenMark) {
            rows.push_back(mark.row);
        }
    }
    result.ok = true;
    if (rows.empty())
        return result;

    MarkedBytes markedBytes = markWorkbook(original, rows);
    if (!markedBytes.ok()) {
        result.ok = false;
        result.error = markedBytes.error;
        return result;
    }
    SheetGrid expected = read.grid;
    for (int row : rows) {
        if (std::ranges::count(markedBytes.skippedRows, row) > 0) {
            result.notes << QStringLiteral("student %1: column C holds a formula that the mark "
                                           "must not replace")
                                .arg(row);
            continue;
        }
        expected.setCell(row, kMarkColumn, kPhotoTakenMark);
        ++result.written;
    }
    if (result.written == 0)
        return result;
    const SheetReadResult check = readWorkbook(markedBytes.bytes);
    if (!check.ok() || !(check.grid == expected)) {
        result.ok = false;
        result.error = QStringLiteral("the marked workbook did not read back as expected%1")
                           .arg(check.ok() ? QString() : QStringLiteral(": ") + check.error);
        return result;
    }
    *marked = std::move(markedBytes.bytes);
    return result;
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

QString readOnlyWorkbookMessage(const QString &path)
{
    return QStringLiteral("工作簿 %1 是只读文件，照片标记没有写入。")
        .arg(QDir::toNativeSeparators(path));
}

WriteBackResult writePhotoMarks(const QString &path, const std::vector<PhotoMark> &marks,
                                const std::function<void()> &beforeCommit)
{
    // Compare and swap: the new version replaces the workbook only while the workbook is still
    // the version it was made from; a version saved by another program meanwhile is read and
    // marked in turn, never overwritten unread.
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        Snapshot snapshot;
        QString error;
        if (!readSnapshot(path, &snapshot, &error))
            return failed(path, error);
        if (!snapshot.settled)
            continue;
        QByteArray marked;
        WriteBackResult result = markSnapshot(snapshot.bytes, marks, &marked);
        if (!result.ok)
            return failed(path, result.error);
        if (marked.isEmpty())
            return result;
        if ((snapshot.identity->mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return failed(path, readOnlyWorkbookMessage(path));

        common::AtomicFile file(path);
        if (!file.write(marked))
            return failed(path, file.errorString());
        if (file.readBack() != marked)
            return failed(path, QStringLiteral("the new workbook did not read back as written"));
        if (beforeCommit)
            beforeCommit();
        if (!isUnchanged(path, snapshot))
            continue;
        if (!file.commit())
            return failed(path, file.errorString());
        for (const QString &note : result.notes)
            qCInfo(lcWriteBack).noquote() << path << note;
        return result;
    }
    return failed(path, QStringLiteral("the workbook kept changing while the marks were written"));
}

} // namespace lumo::roster
