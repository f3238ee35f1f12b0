#include "photo/PhotoSaver.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/TestFiles.h"

#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::photo;
using namespace Qt::StringLiterals;

namespace {

const QString kId18 = u"11010520080101123X"_s;
const QString kId20 = u"AB11010520080101123X"_s;

// Every folder and file below the folder, hidden ones too, by path relative to it, sorted.
QStringList entriesBelow(const QString &folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        found << QDir(folder).relativeFilePath(it.next());
    found.sort();
    return found;
}

// Saves into out/ with the backup in bak/. An empty overwrite question declines the save.
class PhotoSaverTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(QDir(root.path()).mkdir(u"bak"_s)); }

    SaveRequest request(const QString &id, const QString &name = u"张三"_s) const
    {
        return {.outputFolder = path(u"out"_s),
                .backupFolder = path(u"bak"_s),
                .name = name,
                .idNumber = id,
                .picture = phototest::gradientImage(300, 369)};
    }
    QString path(const QString &relative) const { return root.filePath(relative); }

    QTemporaryDir root;
    PhotoSaver saver;
};

} // namespace

TEST_F(PhotoSaverTest, FullSaveWritesTheRegistryPhotoAndTheCaptureAsBackupUnderTheShortKey)
{
    EXPECT_EQ(withoutTrailingSeparator(u"/a/b//"_s), u"/a/b/"_s) << "one separator less";
    SaveRequest r = request(kId20);
    r.outputFolder = path(u"out/2026/一班"_s); // several levels missing
    const SaveResult result = saver.save(r, {});
    EXPECT_EQ(result.status, SaveStatus::Saved);
    EXPECT_TRUE(result.messages.isEmpty());
    // 20 characters: the last 18 name both files, as the name does not end like the number.
    const QString photo = u"out/2026/一班/%1.jpg"_s.arg(kId18), backup = u"bak/%1.jpg"_s.arg(kId18);
    EXPECT_EQ(entriesBelow(root.path()),
              (QStringList{u"bak"_s, backup, u"out"_s, u"out/2026"_s, u"out/2026/一班"_s, photo}));
    EXPECT_EQ(readBytes(path(photo)), makeRegistryPhoto(r.picture, true, true).bytes);
    EXPECT_EQ(readBytes(path(backup)), encodeBitmap(r.picture));
}

TEST_F(PhotoSaverTest, RefusalsAndFailuresWriteNothingAnywhere)
{
    SaveRequest unwritable = request(kId18); // a folder not even the super-user may write into
    unwritable.outputFolder = u"/proc/self"_s;
    SaveRequest noCapture = request(u"123456"_s);
    noCapture.picture = BgrImage();
    const struct
    {
        SaveRequest request;
        SaveStatus status;
        QString message; // its whole text, or the number or folder it names
    } cases[] = {{request(u"12345"_s), SaveStatus::NoIdNumber, u"这是无身份证学生！！！"_s},
                 {request(u"1"_s, QString()), SaveStatus::PastEndOfList, u"已经是最后1位学生。"_s},
                 {request(u"../123456"_s), SaveStatus::RefusedId, u"../123456"_s},
                 {unwritable, SaveStatus::Failed, u"/proc/self"_s},
                 {noCapture, SaveStatus::Failed, u"没有可以保存的照片。"_s}};
    for (const auto &c : cases) {
        const SaveResult result = saver.save(c.request, {});
        EXPECT_EQ(result.status, c.status) << c.message.toStdString();
        ASSERT_EQ(result.messages.size(), 1) << c.message.toStdString();
        EXPECT_TRUE(result.messages.first().contains(c.message)) << c.message.toStdString();
    }
    EXPECT_EQ(entriesBelow(root.path()), (QStringList{u"bak"_s, u"out"_s}));
}

TEST_F(PhotoSaverTest, OverwriteQuestionItsNoAndNoSaveInsideIt)
{
    int questions = 0;
    const auto no = [&] { return ++questions, false; };
    // Only the backup is left: the question still comes, and No (or no question) keeps it.
    const QString backup = path(u"bak/%1.jpg"_s.arg(kId18));
    writeBytes(backup, "earlier backup");
    EXPECT_EQ(saver.save(request(kId18), no).status, SaveStatus::Declined);
    EXPECT_EQ(saver.save(request(kId18), {}).status, SaveStatus::Declined);
    EXPECT_EQ(readBytes(backup), QByteArray("earlier backup"));
    EXPECT_TRUE(entriesBelow(path(u"out"_s)).isEmpty());

    // The earlier photo under the whole 20-character number also counts.
    QFile::remove(backup);
    const QString earlier = path(u"out/%1.jpg"_s.arg(kId20));
    writeBytes(earlier, "earlier photo");
    EXPECT_EQ(saver.save(request(kId20), no).status, SaveStatus::Declined);
    EXPECT_EQ(readBytes(earlier), QByteArray("earlier photo"));
    EXPECT_EQ(questions, 2);

    // Yes; a key press while the question waits tries a second save, which must not run. The
    // name ends like the number: the photo keeps all 20 characters, the backup the last 18.
    std::optional<SaveStatus> nested;
    const SaveResult result = saver.save(request(kId20, u"MaX"_s), [&] {
        nested = saver.save(request(kId20), [] { return true; }).status;
        return true;
    });
    EXPECT_EQ(result.status, SaveStatus::Saved);
    EXPECT_EQ(nested, SaveStatus::Busy);
    EXPECT_FALSE(saver.isSaving());
    EXPECT_EQ(entriesBelow(root.path()), (QStringList{u"bak"_s, u"bak/%1.jpg"_s.arg(kId18),
                                                      u"out"_s, u"out/%1.jpg"_s.arg(kId20)}));
    EXPECT_NE(readBytes(earlier), QByteArray("earlier photo"));
}

TEST(BestQuality, TheHighestQualityThatFitsTheLimit)
{
    const BgrImage picture = phototest::noiseImage(260, 320, 3);
    QByteArray best, higher;
    int quality = 0;
    ASSERT_TRUE(encodeBestJpeg(picture, kPhotoDpi, kCompressTargetBytes, &best, &quality));
    EXPECT_LE(best.size(), kCompressTargetBytes);
    ASSERT_EQ(encodeJpeg(picture, quality + 1, kPhotoDpi, JpegCoding::OptimisedHuffman, &higher),
              JpegStatus::Ok);
    EXPECT_GT(higher.size(), kCompressTargetBytes);
    EXPECT_EQ(phototest::jfifDensity(best), (std::array<int, 3>{1, 254, 254}));
    // As an option of the pipeline: one search instead of the size step's passes.
    const RegistryPhoto photo = makeRegistryPhoto(picture, true, true, Quality::Best);
    EXPECT_LE(photo.bytes.size(), kCompressTargetBytes);
    EXPECT_EQ(photo.sizeStepPasses, 0);
    EXPECT_FALSE(encodeBestJpeg(picture, kPhotoDpi, 100, &best));
}
