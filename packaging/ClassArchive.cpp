#include "packaging/ClassArchive.h"

#include "common/AtomicFile.h"
#include "common/NativePath.h"
#include "packaging/ArchiveName.h"
#include "packaging/ZipArchive.h"

#include <QDir>
#include <QFile>

#include <optional>
#include <tuple>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::packaging {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Opened by the name's bytes: QFile would lose those of a name that is not UTF-8.
bool openByName(QFile &file, const QString &path, int flags, QIODevice::OpenMode mode)
{
    const int handle = ::open(common::encodePath(path).constData(), flags | O_CLOEXEC);
    if (handle >= 0 && file.open(handle, mode, QFileDevice::AutoCloseHandle))
        return true;
    if (handle >= 0)
        ::close(handle);
    return false;
}

// The old archive is copied, so that it stays untouched until the new one is checked. The copy
// goes straight into the partial file, which a later packing removes if this one is killed;
// QFile::copy would name a temporary file of its own where the file system has no unnamed ones.
bool startFrom(const QString &existing, const QString &partial, QString *reason)
{
    const common::PathKind kind = common::pathKind(existing);
    if (kind == common::PathKind::Missing)
        return true; // the empty file reserved under the partial name becomes a new archive
    if (kind != common::PathKind::File) {
        *reason = QStringLiteral("%1 已存在，但不是文件。").arg(shown(existing));
        return false;
    }
    QFile source, target;
    bool copied = openByName(source, existing, O_RDONLY, QIODevice::ReadOnly) &&
                  openByName(target, partial, O_WRONLY | O_TRUNC, QIODevice::WriteOnly);
    for (QByteArray chunk; copied && !(chunk = source.read(1 << 20)).isEmpty();)
        copied = target.write(chunk) == chunk.size();
    if (!copied || source.error() != QFileDevice::NoError || !target.flush()) {
        const QFile &failing = source.error() != QFileDevice::NoError ? source : target;
        *reason = QStringLiteral("无法复制已有的压缩包 %1：%2")
                      .arg(shown(existing), failing.errorString());
        return false;
    }
    return true;
}

// A photo is still the file that was packed while it is the same file (device and inode) with
// the same length and time of change.
using FileIdentity = std::tuple<dev_t, ino_t, off_t, time_t, long>;

std::optional<FileIdentity> identityOf(const QString &path)
{
    struct stat status = {};
    if (::stat(common::encodePath(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino, status.st_size, status.st_mtim.tv_sec,
                        status.st_mtim.tv_nsec};
}

PackResult refused(PackStatus status, const QString &problem)
{
    PackResult result;
    result.status = status;
    result.problem = problem;
    result.reason = problem;
    return result;
}

PackResult failed(PackResult result, const QString &reason)
{
    result.status = PackStatus::Failed;
    result.reason = reason;
    result.problem = QStringLiteral("打包失败，照片都还在原文件夹中，没有删除。\n%1").arg(reason);
    result.photoCount = 0;
    return result;
}

} // namespace

QStringList photosToPack(const QString &folder)
{
    QStringList photos;
    for (const QString &name : common::fileNamesIn(folder)) {
        if (name.endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive))
            photos << name;
    }
    photos.sort();
    return photos;
}

PackResult packClassArchive(const QString &folder, const QString &name, const PackOptions &options)
{
    if (const QString problem = archiveNameProblem(name); !problem.isEmpty())
        return refused(PackStatus::NameRefused, problem);
    if (common::pathKind(folder) != common::PathKind::Folder)
        return refused(PackStatus::FolderMissing,
                       QStringLiteral("文件夹 %1 不存在。").arg(shown(folder)));

    const QDir directory(folder);
    PackResult result;
    result.archivePath = directory.filePath(name + QStringLiteral(".zip"));
    const QStringList photos = photosToPack(folder);
    if (photos.isEmpty()) {
        result.status = PackStatus::NoPhotos;
        result.problem = QStringLiteral("文件夹 %1 中没有 JPG 照片，没有打包。").arg(shown(folder));
        return result;
    }
    std::vector<ArchiveEntry> entries;
    std::vector<std::optional<FileIdentity>> listed;
    for (const QString &photo : photos) {
        entries.push_back({photo, directory.filePath(photo)});
        listed.push_back(identityOf(entries.back().sourcePath));
    }
    const auto unchanged = [&](std::size_t i) {
        return identityOf(entries[i].sourcePath) == listed[i] && fileHoldsStoredBytes(entries[i]);
    };

    // The archive is built under a hidden name beside its target, with the permissions of any
    // new file there (or of the archive it replaces), and renamed into place once checked.
    common::AtomicFile partial(result.archivePath, common::AtomicFile::Content::ByOtherWriter);
    QString reason;
    if (!partial.isReserved())
        return failed(result, partial.errorString());
    if (!startFrom(result.archivePath, partial.partialPath(), &reason) ||
        !addFilesToZip(partial.partialPath(), result.archivePath, entries, options.progress,
                       &reason) ||
        !zipHoldsFiles(partial.partialPath(), result.archivePath, entries, &reason))
        return failed(result, reason);
    // A photo rewritten since it was listed may be in the archive in either version, and stays;
    // every other one must be in it as it is.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (identityOf(entries[i].sourcePath) == listed[i] && !fileHoldsStoredBytes(entries[i]))
            return failed(
                result, QStringLiteral("压缩包中的照片 %1 与原文件不一致。").arg(entries[i].name));
    }
    if (!partial.commit())
        return failed(result, partial.errorString());

    result.status = PackStatus::Packed;
    struct stat archive = {};
    result.archiveBytes = ::stat(common::encodePath(result.archivePath).constData(), &archive) == 0
                              ? archive.st_size
                              : 0;
    result.photoCount = int(entries.size());
    if (options.beforeRemoving)
        options.beforeRemoving();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        // Checked again right before it goes: another program may have rewritten it meanwhile.
        const bool same = unchanged(i);
        if (!same)
            result.photosChanged << entries[i].name;
        if (!same || ::unlink(common::encodePath(entries[i].sourcePath).constData()) != 0)
            result.photosKept << entries[i].name;
    }
    return result;
}

} // namespace lumo::packaging
