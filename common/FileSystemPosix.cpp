#include "common/FileSystem.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace lumo::common {

namespace {

bool fail(QString *reason)
{
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

} // namespace

bool flushToDisk(QFileDevice &file, QString *reason)
{
    if (!file.flush()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return ::fsync(file.handle()) == 0 || fail(reason);
}

bool flushFolderToDisk(const QString &folder, QString *reason)
{
    const int descriptor =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return fail(reason);
    const bool synced = ::fsync(descriptor) == 0 || fail(reason);
    ::close(descriptor);
    return synced;
}

bool replaceFile(const QString &from, const QString &to, QString *reason)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) ==
               0 ||
           fail(reason);
}

} // namespace lumo::common
