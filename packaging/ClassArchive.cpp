#include "packaging/ClassArchive.h"

#include "packaging/ArchiveName.h"
#include "packaging/ZipArchive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace packaging {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The archive is built under a hidden name beside its target and removed again unless it was
// renamed into place. The name is reserved with the permissions any new file gets, which a new
// archive keeps.
class PartialArchive
{
public:
    explicit PartialArchive(const QString &folder)
    {
        for (int attempt = 0; attempt < 100 && m_path.isEmpty(); ++attempt) {
            const QString path = QDir(folder).filePath(
                QStringLiteral(".lumo-pack-%1.part")
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QChar(u'0')));
            const int descriptor = ::open(QFile::encodeName(path).constData(),
                                          O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor >= 0) {
                ::close(descriptor);
                m_path = path;
            } else if (errno != EEXIST) {
                break;
            }
        }
    }
    ~PartialArchive()
    {
        if (!m_path.isEmpty())
            QFile::remove(m_path);
    }
    PartialArchive(const PartialArchive &) = delete;
    PartialArchive &operator=(const PartialArchive &) = delete;

    const QString &path() const { return m_path; }
    void placed() { m_path.clear(); }

private:
    QString m_path;
};

bool syncToDisk(const QString &path, int flags, QString *reason)
{
    const int descriptor = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (descriptor < 0 || ::fsync(descriptor) != 0) {
        *reason = QStringLiteral("无法把 %1 写入磁盘：%2").arg(shown(path), systemError());
        if (descriptor >= 0)
            ::close(descriptor);
        return false;
    }
    ::close(descriptor);
    return true;
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

    PartialArchive partial(folder);
    QString reason;
    if (partial.path().isEmpty())
        return failed(result, QStringLiteral("无法在文件夹 %1 中写入文件。").arg(shown(folder)));
    if (!startFrom(result.archivePath, partial.path(), &reason) ||
        !addFilesToZip(partial.path(), entries, options.progress, &reason) ||
        !zipHoldsFiles(partial.path(), entries, &reason) ||
        !syncToDisk(partial.path(), O_RDONLY, &reason))
        return failed(result, reason);
    if (std::rename(QFile::encodeName(partial.path()).constData(),
                    QFile::encodeName(result.archivePath).constData()) != 0)
        return failed(
            result,
            QStringLiteral("无法写入压缩包 %1：%2").arg(shown(result.archivePath), systemError()));
    partial.placed();
    if (!syncToDisk(folder, O_RDONLY | O_DIRECTORY, &reason))
        return failed(result, reason);

    result.status = PackStatus::Packed;
    result.archiveBytes = QFileInfo(result.archivePath).size();
    result.photoCount = int(entries.size());
    for (const ArchiveEntry &entry : entries) {
        if (!QFile::remove(entry.sourcePath))
            result.photosKept << entry.name;
    }
    return result;
}

} // namespace packaging
