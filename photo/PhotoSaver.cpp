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

    if (!common::canNamePhoto(request.idNumber)) {
        if (request.name.isEmpty())
            return ended(SaveStatus::PastEndOfList, QStringLiteral("已经是最后1位学生。"));
        return ended(SaveStatus::NoIdNumber, QStringLiteral("这是无身份证学生！！！"));
    }
    if (!common::isPlainFileName(request.idNumber))
        return ended(SaveStatus::RefusedId,
                     QStringLiteral("身份证号码“%1”含有不能用在文件名里的字符（路径分隔符、“..”"
                                    "或控制字符），照片没有保存。")
                         .arg(request.idNumber));

    const PhotoNames names =
        photoNames(request.outputFolder, request.backupFolder, request.name, request.idNumber);
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
