// Saving the current student's photo: the names built from the ID-card number, the overwrite
// question, the registry photo made in memory, and one atomic write each of the photo and its
// backup. Asks the operator nothing itself: the question is the caller's callback, and what the
// operator must be told comes back in the result.
#pragma once

#include "photo/BgrImage.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace lumo::photo {

// The output folder as typed, less one trailing separator.
QString withoutTrailingSeparator(const QString &folder);

struct PhotoNames
{
    QString longKey;          // the whole ID-card number
    QString shortKey;         // its last 18 characters
    QString photoKey;         // long key when the number ends with the name's last character
    QString photoPath;        // output folder / photo key .jpg
    QString backupPath;       // backup folder / short key .jpg
    QString earlierPhotoPath; // output folder / long key .jpg
};

PhotoNames photoNames(const QString &outputFolder, const QString &backupFolder, const QString &name,
                      const QString &idNumber);

// The question the caller puts to the operator before a photo is replaced, and its title.
QString overwriteQuestionText();
QString overwriteQuestionTitle();

struct SaveRequest
{
    QString outputFolder; // after withoutTrailingSeparator
    QString backupFolder;
    QString name;     // roster name of the current student
    QString idNumber; // roster ID-card number of the current student
    bool adjustDpi = true;
    bool backup = true;
    bool compress = true;
    bool bestQuality = false; // the highest quality that fits, instead of quality 80 passes
    BgrImage picture;         // the capture
};

enum class SaveStatus {
    Saved,
    NoIdNumber,    // the student has no usable ID-card number
    PastEndOfList, // no student in this row
    RefusedId,     // the number would not be a plain file name
    Declined,      // the operator kept the existing photo
    Busy,          // another save is running
    Failed,        // the photo or its backup could not be made or written
};

struct SaveResult
{
    SaveStatus status = SaveStatus::Failed;
    QStringList messages; // everything to show the operator, in order
};

class PhotoSaver
{
public:
    // Runs the save. overwriteQuestion is called when an earlier photo or backup of the student
    // exists; false (or no callback) keeps it and writes nothing. The photo is written before
    // the backup; a failure of either ends the save, and what was written before stays.
    SaveResult save(const SaveRequest &request, const std::function<bool()> &overwriteQuestion);

    bool isSaving() const { return m_saving; }

private:
    SaveResult saveOnce(const SaveRequest &request, const std::function<bool()> &overwriteQuestion);

    bool m_saving = false;
};

} // namespace lumo::photo
