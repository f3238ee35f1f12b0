// The class archive: every JPEG of the output folder moved into "<name>.zip" in that folder.
// No photo is removed before the archive that holds it was closed, read back and checked.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace lumo::packaging {

// The registry takes archives up to this size; a larger one is to be split by hand.
inline constexpr qint64 kArchiveSizeLimit = 5'000'000;

inline bool exceedsSizeLimit(qint64 archiveBytes)
{
    return archiveBytes > kArchiveSizeLimit;
}

enum class PackStatus {
    Packed,        // the photos are in the archive and removed from the folder
    NameRefused,   // the name is not a plain file name; nothing was touched
    FolderMissing, // the output folder does not exist; nothing was touched
    NoPhotos,      // the folder holds no JPEG; nothing was touched
    Failed,        // the archive could not be made or checked; every photo is still in place
};

struct PackResult
{
    PackStatus status = PackStatus::Failed;
    QString archivePath;
    qint64 archiveBytes = 0;   // length of the finished archive
    int photoCount = 0;        // photos packed by this run
    QString problem;           // for the operator, when not Packed
    QString reason;            // what went wrong, without what the operator is told around it
    QStringList photosKept;    // packed and checked, but could not be removed from the folder
    QStringList photosChanged; // of photosKept: rewritten while packing, so not removed
};

struct PackOptions
{
    // Hears the fraction of the archive written (for a progress display, or a test).
    std::function<void(double)> progress;
    // Called once the archive is in place, before the photos are removed (for a test).
    std::function<void()> beforeRemoving;
};

// Moves every "*.jpg" (any letter case) of the folder into "<name>.zip" there, stored without
// folder paths. An existing archive of that name is added to and a same-named entry replaced. A
// photo is removed only while it is still the file whose bytes the archive holds.
PackResult packClassArchive(const QString &folder, const QString &name,
                            const PackOptions &options = {});

// The JPEGs that packing the folder would take, by name.
QStringList photosToPack(const QString &folder);

} // namespace lumo::packaging
