// Files that matter (photos, backups, settings, the class workbook, the archive) are either
// whole or not there: the content goes to a new file beside the target, is flushed to the disk,
// and only then is the new file renamed over the target.
#pragma once

#include <QByteArrayView>
#include <QFile>
#include <QString>

namespace lumo::common {

class AtomicFile
{
public:
    // Reserves a hidden partial file in the target's folder, with the permissions of any new
    // file there (or the target's own, when it exists).
    explicit AtomicFile(const QString &targetPath);
    // Removes the partial file unless it was committed.
    ~AtomicFile();

    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool isReserved() const { return !m_partialPath.isEmpty(); }
    // Where the content is written, by write() or by a library that writes files itself.
    const QString &partialPath() const { return m_partialPath; }
    const QString &targetPath() const { return m_targetPath; }

    // Writes the whole content into the partial file and flushes it to the disk.
    bool write(QByteArrayView bytes);

    // Flushes the partial file to the disk and renames it over the target.
    bool commit();

    // Why the last step failed, in the operator's language.
    const QString &errorString() const { return m_error; }

private:
    bool failed(const QString &reason);

    QString m_targetPath;
    QString m_partialPath;
    QString m_error;
    bool m_flushed = false;
};

// The whole sequence for content held in memory. On failure the target is as it was and
// *reason says why.
bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *reason = nullptr);

} // namespace lumo::common
