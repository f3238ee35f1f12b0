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
};

// Adds every file to the archive at archivePath (a new one when the file is missing or empty), each
// stored as it is and replacing an entry of the same name, and closes the archive. progress, when
// given, hears the fraction written while the archive closes. On failure the reason is returned
// and the archive file is as it was or removed.
bool addFilesToZip(const QString &archivePath, const std::vector<ArchiveEntry> &entries,
                   const std::function<void(double)> &progress, QString *reason);

// True when the archive opens cleanly and holds every file under its name with the file's length
// and CRC-32, checked against the bytes read back out of the archive.
bool zipHoldsFiles(const QString &archivePath, const std::vector<ArchiveEntry> &entries,
                   QString *reason);

} // namespace lumo::packaging
