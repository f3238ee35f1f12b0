// The two things the class archive asks of libzip: add files to an archive, and read an archive
// back to prove that it holds them.
#pragma once

#include <QString>

#include <functional>
#include <vector>

namespace lumo::packaging {

struct ArchiveEntry
{
    QString name;       // the entry's name in the archive, without any folder
    QString sourcePath; // the file whose bytes it holds
    // Set by zipHoldsFiles: length and CRC-32 of the bytes read back out of the archive.
    qint64 storedSize = -1;
    quint32 storedCrc = 0;
};

// Adds every file to the archive at archivePath (a new one when the file is missing or empty), each
// stored as it is and replacing an entry of the same name, and closes the archive. progress, when
// given, hears the fraction written while the archive closes. On failure the reason, which names
// the archive as shownPath, is returned and the archive file is as it was or removed.
bool addFilesToZip(const QString &archivePath, const QString &shownPath,
                   const std::vector<ArchiveEntry> &entries,
                   const std::function<void(double)> &progress, QString *reason);

// True when the archive opens cleanly and every entry reads back whole under its name; each
// entry's stored length and CRC-32 are set from the bytes read.
bool zipHoldsFiles(const QString &archivePath, const QString &shownPath,
                   std::vector<ArchiveEntry> &entries, QString *reason);

// True when the entry's file holds exactly the bytes stored for it.
bool fileHoldsStoredBytes(const ArchiveEntry &entry);

} // namespace lumo::packaging
