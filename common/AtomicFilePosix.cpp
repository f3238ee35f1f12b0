// Atomic files on POSIX systems. Content written here lives in an unnamed file (O_TMPFILE)
// until it is committed, so a killed writer leaves nothing; where the file system has no unnamed
// files, and for files a library writes by name, the partial file's name carries the process
// number.
#include "common/AtomicFile.h"

#include "common/NativePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo::common {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString systemError(int error = errno)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QByteArray encoded(const QString &path)
{
    return encodePath(path);
}

// The folder and the name of an absolute path. QFileInfo is not used for paths here: it loses
// the bytes of a name that is not UTF-8.
QString folderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash <= 0 ? QStringLiteral("/") : path.left(slash);
}

QString nameOf(const QString &path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString absolutePathOf(const QString &path)
{
    if (!QDir::isRelativePath(path))
        return QDir::cleanPath(path);
    char folder[PATH_MAX];
    return QDir::cleanPath(
        (::getcwd(folder, sizeof folder) ? decodePath(folder) : QDir::currentPath()) + u'/' + path);
}

// The absolute path of the file that writing to the path replaces: a symbolic link is written
// through, to the file it names.
QString fileWritten(const QString &path)
{
    const QString absolute = absolutePathOf(path);
    struct stat status = {};
    if (::lstat(encoded(absolute).constData(), &status) != 0 || !S_ISLNK(status.st_mode))
        return absolute;
    char resolved[PATH_MAX];
    if (::realpath(encoded(absolute).constData(), resolved))
        return decodePath(resolved);
    const ssize_t length = ::readlink(encoded(absolute).constData(), resolved, sizeof resolved);
    if (length <= 0)
        return absolute;
    const QString linked = decodePath(QByteArrayView(resolved, length));
    return QDir::cleanPath(QDir::isRelativePath(linked) ? folderOf(absolute) + u'/' + linked
                                                        : linked);
}

// ".<target name>.<process>.<random>.part": the process number tells a later writer whether
// the file is still being written.
QString partialName(const QString &targetName)
{
    return QStringLiteral(".%1.%2.%3.part")
        .arg(targetName)
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0'));
}

// A new name only: never a file someone else is writing.
int createPartial(const QString &folder, const QString &targetName, QString *path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *path = QDir(folder).filePath(partialName(targetName));
        const int handle =
            ::open(encoded(*path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle >= 0 || errno != EEXIST)
            return handle;
    }
    return -1;
}

bool isProcessRunning(qint64 pid)
{
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
}

bool writeAll(int handle, QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(handle, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The target's owner, group and mode for the new content.
bool takeAttributesOf(const QString &target, int handle, QString *reason)
{
    struct stat existing = {};
    if (::stat(encoded(target).constData(), &existing) != 0)
        return true; // a new file keeps what a new file gets
    struct stat content = {};
    if (::fstat(handle, &content) != 0) {
        *reason = systemError();
        return false;
    }
    if ((existing.st_uid != content.st_uid || existing.st_gid != content.st_gid) &&
        ::fchown(handle, existing.st_uid, existing.st_gid) != 0) {
        *reason = QStringLiteral("无法保留文件原来的所有者：%1").arg(systemError());
        return false;
    }
    if (::fchmod(handle, existing.st_mode & 07777) != 0) {
        *reason = systemError();
        return false;
    }
    return true;
}

} // namespace

AtomicFile::AtomicFile(const QString &targetPath, Content content)
{
    m_targetPath = fileWritten(targetPath);
    const QString folder = folderOf(m_targetPath);

    if (content == Content::Written) {
        m_handle = ::open(encoded(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_handle >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            m_error =
                QStringLiteral("无法在文件夹 %1 中写入文件：%2").arg(shown(folder), systemError());
            return;
        }
    }
    // A named partial file: what killed writers left of it goes first.
    removeStalePartialFiles(m_targetPath);
    const int handle = createPartial(folder, nameOf(m_targetPath), &m_partialPath);
    if (handle < 0) {
        m_error =
            QStringLiteral("无法在文件夹 %1 中写入文件：%2").arg(shown(folder), systemError());
        m_partialPath.clear();
        return;
    }
    if (content == Content::Written)
        m_handle = handle;
    else
        ::close(handle);
}

AtomicFile::~AtomicFile()
{
    if (m_handle >= 0)
        ::close(m_handle);
    if (!m_partialPath.isEmpty())
        ::unlink(encoded(m_partialPath).constData());
}

bool AtomicFile::failed(const QString &reason)
{
    m_error = QStringLiteral("无法写入文件 %1：%2").arg(shown(m_targetPath), reason);
    return false;
}

bool AtomicFile::write(QByteArrayView bytes)
{
    if (m_handle < 0)
        return false;
    if (::ftruncate(m_handle, 0) != 0 || ::lseek(m_handle, 0, SEEK_SET) != 0 ||
        !writeAll(m_handle, bytes) || ::fsync(m_handle) != 0)
        return failed(systemError());
    return true;
}

QByteArray AtomicFile::readBack()
{
    QByteArray bytes;
    const int handle =
        m_partialPath.isEmpty()
            ? ::open(QByteArray("/proc/self/fd/" + QByteArray::number(m_handle)).constData(),
                     O_RDONLY | O_CLOEXEC)
            : ::open(encoded(m_partialPath).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return bytes;
    char buffer[65536];
    for (ssize_t got; (got = ::read(handle, buffer, sizeof buffer)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            bytes.clear();
            break;
        }
        bytes.append(buffer, got);
    }
    ::close(handle);
    return bytes;
}

bool AtomicFile::commit()
{
    if (!isReserved())
        return false;
    QString reason;
    if (m_handle < 0) {
        // Written by someone else (libzip): flushed here.
        m_handle = ::open(encoded(m_partialPath).constData(), O_RDONLY | O_CLOEXEC);
        if (m_handle < 0 || ::fsync(m_handle) != 0)
            return failed(systemError());
    }
    if (!takeAttributesOf(m_targetPath, m_handle, &reason))
        return failed(reason);

    const QByteArray target = encoded(m_targetPath);
    if (m_partialPath.isEmpty()) {
        // The unnamed content gets a name: the target's own when there is no target yet,
        // otherwise a partial name that is renamed over the target at once.
        const QByteArray content = "/proc/self/fd/" + QByteArray::number(m_handle);
        if (::linkat(AT_FDCWD, content.constData(), AT_FDCWD, target.constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            return flushFolderToDisk(folderOf(m_targetPath), &reason) || failed(reason);
        }
        if (errno != EEXIST)
            return failed(systemError());
        const QString named =
            QDir(folderOf(m_targetPath)).filePath(partialName(nameOf(m_targetPath)));
        if (::linkat(AT_FDCWD, content.constData(), AT_FDCWD, encoded(named).constData(),
                     AT_SYMLINK_FOLLOW) != 0)
            return failed(systemError());
        m_partialPath = named;
    }
    if (std::rename(encoded(m_partialPath).constData(), target.constData()) != 0)
        return failed(systemError());
    m_partialPath.clear();
    // The rename itself must survive a power cut too.
    return flushFolderToDisk(folderOf(m_targetPath), &reason) || failed(reason);
}

bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *reason)
{
    AtomicFile file(path);
    if (file.write(bytes) && file.commit())
        return true;
    if (reason)
        *reason = file.errorString();
    return false;
}

void removeStalePartialFiles(const QString &targetPath)
{
    const QString target = absolutePathOf(targetPath);
    const QString prefix = u'.' + nameOf(target) + u'.';
    const QDir folder(folderOf(target));
    for (const QString &name : fileNamesIn(folder.path())) {
        if (!name.startsWith(prefix) || !name.contains(QLatin1String(".part")))
            continue;
        // ".<target>.<process>.<random>.part", and what libzip makes of it.
        bool isNumber = false;
        const qint64 pid = name.mid(prefix.size()).section(u'.', 0, 0).toLongLong(&isNumber);
        if (isNumber && pid != QCoreApplication::applicationPid() && !isProcessRunning(pid))
            ::unlink(encoded(folder.filePath(name)).constData());
    }
}

bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *error)
{
    // Opened without waiting, so that a pipe in the file's place cannot block the reader.
    const int handle = ::open(encoded(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle < 0) {
        *error = QStringLiteral("无法打开文件 %1：%2").arg(shown(path), systemError());
        return false;
    }
    struct stat status = {};
    if (::fstat(handle, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(handle);
        *error = QStringLiteral("%1 不是普通文件。").arg(shown(path));
        return false;
    }
    if (status.st_size > maxBytes) {
        ::close(handle);
        *error = QStringLiteral("文件 %1 超过 %2 字节，太大。").arg(shown(path)).arg(maxBytes);
        return false;
    }
    bytes->clear();
    bytes->reserve(qsizetype(status.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(handle, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            *error = QStringLiteral("无法读取文件 %1：%2").arg(shown(path), systemError());
            break;
        }
        if (got == 0) {
            ::close(handle);
            return true;
        }
        if (bytes->size() + got > maxBytes) {
            *error = QStringLiteral("文件 %1 超过 %2 字节，太大。").arg(shown(path)).arg(maxBytes);
            break;
        }
        bytes->append(buffer, got);
    }
    ::close(handle);
    bytes->clear();
    return false;
}

bool flushFolderToDisk(const QString &folder, QString *reason)
{
    const int handle = ::open(encoded(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0 || ::fsync(handle) != 0) {
        if (reason)
            *reason = systemError();
        if (handle >= 0)
            ::close(handle);
        return false;
    }
    ::close(handle);
    return true;
}

} // namespace lumo::common
