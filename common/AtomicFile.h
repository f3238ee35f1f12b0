// Files that matter (photos, backups, settings, the class workbook, the archive) are either
// whole or not there: the content goes to a new file beside the target, is flushed to the disk,
// and only then takes the target's place, with the target's owner, group and mode. A symbolic
// link is written through: its target is replaced, in its own folder. A writer that is killed
// leaves nothing behind: content written here has no name until it is committed, and files a
// library writes by name carry the writer's process number, so that a later writer removes them
// once that process is gone.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumo::common {

class AtomicFile
{
public:
    enum class Content {
        Written,      // write() gives the content: it has no name until commit()
        ByOtherWriter // a library writes the content at partialPath()
    };

    explicit AtomicFile(const QString &targetPath, Content content = Content::Written);
    // Removes the uncommitted content.
    ~AtomicFile();

    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    bool isReserved() const { return m_handle >= 0 || !m_partialPath.isEmpty(); }
    // The file that is replaced: the target, or the file a symbolic link at the target names.
    const QString &targetPath() const { return m_targetPath; }
    // With Content::ByOtherWriter: where the content is written.
    const QString &partialPath() const { return m_partialPath; }

    // Writes the whole content and flushes it to the disk.
    bool write(QByteArrayView bytes);
    // The content as the disk now holds it, to check before committing.
    QByteArray readBack();

    // Gives the content the target's owner, group and mode (when the target exists) and puts it
    // in the target's place.
    bool commit();

    // Why the last step failed, in the operator's language, with the system's reason.
    const QString &errorString() const { return m_error; }

private:
    bool failed(const QString &reason);

    QString m_targetPath;
    QString m_partialPath;
    QString m_error;
    int m_handle = -1;
};

// The whole sequence for content held in memory. On failure the target is as it was and
// *reason says why.
bool writeFileAtomically(const QString &path, QByteArrayView bytes, QString *reason = nullptr);

// Removes the partial files that writers of this target left when they were killed.
void removeStalePartialFiles(const QString &targetPath);

// Reads a file of at most maxBytes. Anything but a regular file (a folder, a pipe, a device) is
// refused without reading, and a file that grows beyond maxBytes while it is read is refused:
// its reported size is never trusted.
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray *bytes, QString *error);

// Makes the folder's list of names durable, so that a rename in it survives a power cut.
bool flushFolderToDisk(const QString &folder, QString *reason);

} // namespace lumo::common
