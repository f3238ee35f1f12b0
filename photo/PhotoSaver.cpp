#include "photo/PhotoSaver.h"

#include "common/AtomicFile.h"
#include "common/FolderPath.h"
#include "common/IdCardNumber.h"
#include "common/PlainFileName.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <new>

namespace lumo::photo {

namespace {

constexpr int kShortKeyLength = 18;

QString inFolder(const QString &folder, const QString &key)
{
    return folder + QDir::separator() + key + QStringLiteral(".jpg");
}

SaveResult ended(SaveStatus status, const QString &message = QString())
{
    return {status, message.isEmpty() ? QStringList() : QStringList{message}};
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

bool RegistryCode::isComplete() const
{
    return isSchoolCode(schoolCode) && isClassNumber(classNumber);
}

bool isSchoolCode(QStringView text)
{
    return text.size() == 10 &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

bool isClassNumber(QStringView text)
{
    return !text.isEmpty() && text.size() <= 10 &&
           std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() < 128 && c.isLetterOrNumber(); });
}

QString withoutIdKey(const RegistryCode &code, const QString &name)
{
    if (!code.isComplete() || name.isEmpty())
        return QString();
    return code.schoolCode + u'_' + code.classNumber + u'_' + name;
}

PhotoNames withoutIdPhotoNames(const QString &outputFolder, const QString &backupFolder,
                               const QString &key)
{
    PhotoNames names;
    names.longKey = names.shortKey = names.photoKey = key;
    names.photoPath = inFolder(outputFolder + QDir::separator() + kWithoutIdFolderName, key);
    names.backupPath = inFolder(backupFolder + QDir::separator() + kWithoutIdFolderName, key);
    names.earlierPhotoPath = names.photoPath;
    return names;
}

QString overwriteQuestionText()
{
    return QStringLiteral("该学生照片已经存在,\r\n是否覆盖原照片?？");
}

QString overwriteQuestionTitle()
{
    return QStringLiteral("照片已存在");
}

SaveResult PhotoSaver::save(const SaveRequest &request,
                            const std::function<bool()> &overwriteQuestion)
{
    // The overwrite question waits in an event loop, where a key press could start another save.
    if (m_saving)
        return ended(SaveStatus::Busy);
    m_saving = true;
    struct Release
    {
        bool &flag;
        ~Release() { flag = false; }
    } release{m_saving};
    try {
        return saveOnce(request, overwriteQuestion);
    } catch (const std::bad_alloc &) {
        return ended(SaveStatus::Failed, QStringLiteral("内存不足，照片没有保存。"));
    }
}

SaveResult PhotoSaver::saveOnce(const SaveRequest &request,
                                const std::function<bool()> &overwriteQuestion)
{
    if (!QFileInfo::exists(request.outputFolder))
        common::makeFolderPath(request.outputFolder);

    const bool withoutId = !common::canNamePhoto(request.idNumber);
    const QString namedKey =
        withoutId ? withoutIdKey(request.registryCode, request.name) : QString();
    if (withoutId && namedKey.isEmpty()) {
        if (request.name.isEmpty())
            return ended(SaveStatus::PastEndOfList, QStringLiteral("已经是最后1位学生。"));
        return ended(SaveStatus::NoIdNumber, QStringLiteral("这是无身份证学生！！！"));
    }
    if (withoutId && !common::isPlainFileName(namedKey))
        return ended(SaveStatus::RefusedId,
                     QStringLiteral("这是无身份证学生！！！\n姓名“%1”含有不能用在文件名里的字符"
                                    "（路径分隔符、“..”或控制字符），照片没有保存。")
                         .arg(request.name));
    if (!withoutId && !common::isPlainFileName(request.idNumber))
        return ended(SaveStatus::RefusedId,
                     QStringLiteral("身份证号码“%1”含有不能用在文件名里的字符（路径分隔符、“..”"
                                    "或控制字符），照片没有保存。")
                         .arg(request.idNumber));

    const PhotoNames names =
        withoutId ? withoutIdPhotoNames(request.outputFolder, request.backupFolder, namedKey)
                  : photoNames(request.outputFolder, request.backupFolder, request.name,
                               request.idNumber);
    if (withoutId) {
        common::makeFolderPath(QFileInfo(names.photoPath).path());
        if (request.backup)
            common::makeFolderPath(QFileInfo(names.backupPath).path());
    }
    if (QFileInfo::exists(names.backupPath) || QFileInfo::exists(names.earlierPhotoPath)) {
        if (!overwriteQuestion || !overwriteQuestion())
            return ended(SaveStatus::Declined);
    }

    const RegistryPhoto photo =
        makeRegistryPhoto(request.picture, request.adjustDpi, request.compress,
                          request.bestQuality ? Quality::Best : Quality::Registry);
    SaveResult result{SaveStatus::Failed, photo.messages};
    if (!photo.isMade())
        return result;
    QString reason;
    if (!common::writeFileAtomically(names.photoPath, photo.bytes, &reason) ||
        (request.backup &&
         !common::writeFileAtomically(names.backupPath, encodeBitmap(request.picture), &reason))) {
        result.messages << writeFailureText(reason);
        return result;
    }
    result.status = SaveStatus::Saved;
    return result;
}

} // namespace lumo::photo
