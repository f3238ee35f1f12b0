#include "common/AtomicFile.h"

#include "common/FileSystem.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace lumo::common {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

AtomicFile::AtomicFile(const QString &targetPath) : m_targetPath(targetPath)
{
    const QFileInfo target(targetPath);
    const QDir folder = target.absoluteDir();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = folder.filePath(
            QStringLiteral(".%1.%2.part")
                .arg(target.fileName())
                .arg(QRandomGenerator::system()->generate(), 8, 16, QChar(u'0')));
        QFile file(candidate);
        // A new name only: never a file someone else is writing.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            m_partialPath = candidate;
            break;
        }
        if (QFileInfo::exists(candidate))
            continue;
        m_error = QStringLiteral("无法在文件夹 %1 中写入文件：%2")
                      .arg(shown(folder.path()), file.errorString());
        return;
    }
    if (m_partialPath.isEmpty() && m_error.isEmpty())
        m_error = QStringLiteral("无法在文件夹 %1 中写入文件。").arg(shown(folder.path()));
    if (!m_partialPath.isEmpty() && target.exists())
        QFile::setPermissions(m_partialPath, QFile::permissions(targetPath));
}

AtomicFile::~AtomicFile()
{
    if (!m_partialPath.isEmpty())
        QFile::remove(m_partialPath);
}

bool AtomicFile::failed(const QString &reason)
{
    m_error = QStringLiteral("无法写入文件 %1：%2").arg(shown(m_targetPath), reason);
    return false;
}

bool AtomicFile::write(QByteArrayView bytes)
{
    if (!isReserved())
        return false;
    QFile file(m_partialPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed(file.errorString());
    QString reason;
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !flushToDisk(file, &reason))
        return failed(reason.isEmpty() ? file.errorString() : reason);
    m_flushed = true;
    return true;
}

bool AtomicFile::commit()
{
    if (!isReserved())
        return false;
    QString reason;
    if (!m_flushed) {
        // Written by someone else (libzip): flushed here.
        QFile file(m_partialPath);
        if (!file.open(QIODevice::ReadOnly) || !flushToDisk(file, &reason))
            return failed(reason.isEmpty() ? file.errorString() : reason);
    }
    if (!replaceFile(m_partialPath, m_targetPath, &reason))
        return failed(reason);
    m_partialPath.clear();
    // The rename itself must survive a power cut too.
    if (!flushFolderToDisk(QFileInfo(m_targetPath).absolutePath(), &reason))
        return failed(reason);
    return true;
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

} // namespace lumo::common
