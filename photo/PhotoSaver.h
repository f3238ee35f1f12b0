// Saving the current student's photo: the names built from the ID-card number, the overwrite
// question, the registry photo made in memory, and one atomic write each of the photo and its
// backup. Asks the operator nothing itself: the question is the caller's callback, and what the
// operator must be told comes back in the result.
#pragma once

#include "photo/BgrImage.h"

#include <QString>
#include <QStringList>
#include <QStringView>

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

// Students without an ID-card number, as the registry names them: "学校标识码_班号_姓名.jpg", in
// a folder of their own inside the photo and backup folders. The registry collects them for the
// whole school, so the class archive leaves that folder out.
inline const QString kWithoutIdFolderName = QStringLiteral("无身份证学生");

struct RegistryCode
{
    QString schoolCode;  // "学校标识码": the school's 10-digit registry code
    QString classNumber; // "班号"

    // Both set and well-formed: only then are students without a number photographed.
    bool isComplete() const;
};

bool isSchoolCode(QStringView text);  // 10 digits
bool isClassNumber(QStringView text); // 1 to 10 ASCII letters and digits

// "学校标识码_班号_姓名"; empty when the code is not complete or the name is empty.
QString withoutIdKey(const RegistryCode &code, const QString &name);
// The photo of a student without a number: every key the same, the photo and its backup in
// the folders' kWithoutIdFolderName.
PhotoNames withoutIdPhotoNames(const QString &outputFolder, const QString &backupFolder,
                               const QString &key);

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
    bool bestQuality = false;    // the highest quality that fits, instead of quality 80 passes
    RegistryCode registryCode{}; // complete: a student without a number is saved by name
    BgrImage picture;            // the capture
};

enum class SaveStatus {
    Saved,
    NoIdNumber,    // the student has no usable ID-card number
    PastEndOfList, // no student in this row
    RefusedId,     // the number (or, without one, the name) would not be a plain file name
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
