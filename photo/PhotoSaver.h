// Saving the current student's photo: the names built from the ID-card number, the overwrite
// question, the first write and the DPI, backup and size steps, as the switches say.
#pragma once

#include "photo/DpiStep.h"

#include <QImage>
#include <QString>

class Dialogs;

namespace photo {

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

// True when the ID-card number can name a file inside the folder and nowhere else: no
// separator, no "..", no control character.
bool isPlainFileKey(const QString &idNumber);

inline constexpr int kShortestIdNumber = 6;

struct SaveRequest
{
    QString outputFolder; // after the trailing-separator rule
    QString backupFolder;
    QString name;     // roster name of the current student
    QString idNumber; // roster ID-card number of the current student
    bool adjustDpi = true;
    bool backup = true;
    bool compress = true;
    QImage picture; // the captured photo
};

enum class SaveStatus {
    Saved,
    NoIdNumber,    // the student has no usable ID-card number
    PastEndOfList, // no student in this row
    RefusedId,     // the number would not be a plain file name
    Declined,      // the operator kept the existing photo
    Busy,          // another save is running
};

class PhotoSaver
{
public:
    explicit PhotoSaver(Dialogs &dialogs) : m_dialogs(dialogs), m_dpiStep(dialogs) {}

    // Runs the save. The operator's messages and the overwrite question go through the dialogs.
    // A failing step throws PhotoError and ends the save; what was written before stays.
    SaveStatus SavePhoto(const SaveRequest &request);

    bool isSaving() const { return m_saving; }
    const DpiStep &dpiStep() const { return m_dpiStep; }
    // The picture the size step loaded last (null when it made no pass).
    const QImage &compressedPicture() const { return m_compressedPicture; }

private:
    Dialogs &m_dialogs;
    DpiStep m_dpiStep;
    QImage m_compressedPicture;
    bool m_saving = false;
};

} // namespace photo
