#include "packaging/ClassArchive.h"

#include "common/AtomicFile.h"
#include "packaging/ArchiveName.h"
#include "packaging/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace lumo::packaging {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The old archive is copied, so that it stays untouched until the new one is checked.
bool startFrom(const QString &existing, const QString &partial, QString *reason)
{
    const QFileInfo info(existing);
    if (!info.exists())
        return true; // the empty file reserved under the partial name becomes a new archive
    if (!info.isFile()) {
        *reason = QStringLiteral("%1 已存在，但不是文件。").arg(shown(existing));
        return false;
    }
    QFile::remove(partial);
    QFile source(existing);
    if (!source.copy(partial)) {
        *reason = QStringLiteral("无法复制已有的压缩包 %1：%2")
                      .arg(shown(existing), source.errorString());
        return false;
    }
    return true;
}

PackResult refused(PackStatus status, const QString &problem)
{
    PackResult result;
    result.status = status;
    result.problem = problem;
    return result;
}

PackResult failed(PackResult result, const QString &reason)
{
    result.status = PackStatus::Failed;
    result.problem = QStringLiteral("打包失败，照片都还在原文件夹中，没有删除。\n%1").arg(reason);
    result.photoCount = 0;
    return result;
}

} // namespace

QStringList photosToPack(const QString &folder)
{
    QStringList photos;
    const QFileInfoList files =
        QDir(folder).entryInfoList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo &file : files) {
        if (file.fileName().endsWith(QStringLiteral(".jpg"), Qt::CaseInsensitive))
            photos << file.fileName();
    }
    return photos;
}

PackResult packClassArchive(const QString &folder, const QString &name, const PackOptions &options)
{
    if (const QString problem = archiveNameProblem(name); !problem.isEmpty())
        return refused(PackStatus::NameRefused, problem);
    if (!QFileInfo(folder).isDir())
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
    entries.reserve(std::size_t(photos.size()));
    for (const QString &photo : photos)
        entries.push_back({photo, directory.filePath(photo)});

    // The archive is built under a hidden name beside its target, with the permissions of any
    // new file there (or of the archive it replaces), and renamed into place once checked.
    common::AtomicFile partial(result.archivePath, common::AtomicFile::Content::ByOtherWriter);
    QString reason;
    if (!partial.isReserved())
        return failed(result, partial.errorString());
    if (!startFrom(result.archivePath, partial.partialPath(), &reason) ||
        !addFilesToZip(partial.partialPath(), entries, options.progress, &reason) ||
        !zipHoldsFiles(partial.partialPath(), entries, &reason))
        return failed(result, reason);
    if (!partial.commit())
        return failed(result, partial.errorString());

    result.status = PackStatus::Packed;
    result.archiveBytes = QFileInfo(result.archivePath).size();
    result.photoCount = int(entries.size());
    for (const ArchiveEntry &entry : entries) {
        if (!QFile::remove(entry.sourcePath))
            result.photosKept << entry.name;
    }
    return result;
}

} // namespace lumo::packaging
