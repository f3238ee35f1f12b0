#include "photo/PhotoSaver.h"

#include "photo/JpegWriter.h"
#include "photo/PhotoError.h"
#include "photo/PictureFile.h"
#include "platform/Dialogs.h"
#include "settings/MakeDirPath.h"

#include <QDir>
#include <QFileInfo>

namespace photo {

namespace {

constexpr int kShortKeyLength = 18;

QString inFolder(const QString &folder, const QString &key)
{
    return folder + QDir::separator() + key + QStringLiteral(".jpg");
}

} // namespace

QString withoutTrailingSeparator(const QString &folder)
{
    if (folder.endsWith(QDir::separator()) || folder.endsWith(u'/'))
        return folder.chopped(1);
    return folder;
}

PhotoNames photoNames(const QString &outputFolder, const QString &backupFolder, const QString &name,
                      const QString &idNumber)
{
    PhotoNames names;
    names.longKey = idNumber;
    names.shortKey = idNumber.right(kShortKeyLength);
    const bool endsLikeName =
        !idNumber.isEmpty() && !name.isEmpty() && idNumber.back() == name.back();
    names.photoKey = endsLikeName ? names.longKey : names.shortKey;
    names.photoPath = inFolder(outputFolder, names.photoKey);
    names.backupPath = inFolder(backupFolder, names.shortKey);
    names.earlierPhotoPath = inFolder(outputFolder, names.longKey);
    return names;
}

bool isPlainFileKey(const QString &idNumber)
{
    if (idNumber.contains(u'/') || idNumber.contains(u'\\') ||
        idNumber.contains(QStringLiteral("..")))
        return false;
    for (const QChar character : idNumber) {
        if (character.category() == QChar::Other_Control || character.isNull())
            return false;
    }
    return true;
}

SaveStatus PhotoSaver::SavePhoto(const SaveRequest &request)
{
    // The overwrite question waits in an event loop, where a key press could start another save.
    if (m_saving)
        return SaveStatus::Busy;
    m_saving = true;
    struct Release
    {
        bool &flag;
        ~Release() { flag = false; }
    } release{m_saving};

    if (!QFileInfo::exists(request.outputFolder))
        MakeDirPath(request.outputFolder);

    if (request.idNumber.size() < kShortestIdNumber) {
        if (request.name.isEmpty()) {
            m_dialogs.message(QStringLiteral("已经是最后1位学生。"));
            return SaveStatus::PastEndOfList;
        }
        m_dialogs.message(QStringLiteral("这是无身份证学生！！！"));
        return SaveStatus::NoIdNumber;
    }
    if (!isPlainFileKey(request.idNumber)) {
        m_dialogs.message(
            QStringLiteral("身份证号码“%1”含有不能用在文件名里的字符（路径分隔符、“..”"
                           "或控制字符），照片没有保存。")
                .arg(request.idNumber));
        return SaveStatus::RefusedId;
    }

    const PhotoNames names =
        photoNames(request.outputFolder, request.backupFolder, request.name, request.idNumber);
    if (QFileInfo::exists(names.backupPath) || QFileInfo::exists(names.earlierPhotoPath)) {
        if (!m_dialogs.question(QStringLiteral("该学生照片已经存在,\r\n是否覆盖原照片?？"),
                                QStringLiteral("照片已存在")))
            return SaveStatus::Declined;
    }

    SaveBitmap(request.picture, names.photoPath);
    if (request.adjustDpi)
        m_dpiStep.AdjustDpi(names.photoPath, names.photoPath);
    if (request.backup)
        SaveBitmap(request.picture, names.backupPath);
    if (request.compress)
        m_compressedPicture = CompressJpg(names.photoPath).lastPicture;
    return SaveStatus::Saved;
}

} // namespace photo
