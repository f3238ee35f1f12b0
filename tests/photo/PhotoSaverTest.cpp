#include "photo/PhotoSaver.h"
#include "photo/DpiStep.h"
#include "photo/PhotoError.h"
#include "photo/PictureFile.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace phototest;
using photo::SaveStatus;

namespace {

const QString kId18 = QStringLiteral("11010520080101123X");
const QString kId20 = QStringLiteral("AB11010520080101123X");

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden,
                                  QDir::Name);
}

class SavePhotoTest : public ::testing::Test
{
protected:
    photo::SaveRequest request(const QString &name, const QString &id) const
    {
        photo::SaveRequest r;
        r.outputFolder = root.filePath(QStringLiteral("out"));
        r.backupFolder = root.filePath(QStringLiteral("bak"));
        r.name = name;
        r.idNumber = id;
        r.picture = capture;
        return r;
    }
    void SetUp() override { ASSERT_TRUE(QDir(root.path()).mkdir(QStringLiteral("bak"))); }

    QTemporaryDir root;
    FakeDialogs dialogs;
    photo::PhotoSaver saver{dialogs};
    QImage capture = gradientImage(300, 369);
};

} // namespace

TEST(PhotoNames, TrailingSeparatorLosesOneCharacter)
{
    EXPECT_EQ(photo::withoutTrailingSeparator(QStringLiteral("/home/a/zhaopian/")),
              QStringLiteral("/home/a/zhaopian"));
    EXPECT_EQ(photo::withoutTrailingSeparator(QStringLiteral("/home/a/zhaopian//")),
              QStringLiteral("/home/a/zhaopian/"));
    EXPECT_EQ(photo::withoutTrailingSeparator(QStringLiteral("/home/a/zhaopian")),
              QStringLiteral("/home/a/zhaopian"));
}

TEST(PhotoNames, KeysFromTheIdCardNumber)
{
    const QString out = QStringLiteral("/o");
    const QString bak = QStringLiteral("/b");
    // Up to 18 characters both keys are the whole number.
    photo::PhotoNames six =
        photo::photoNames(out, bak, QStringLiteral("张三"), QStringLiteral("123456"));
    EXPECT_EQ(six.photoPath, QStringLiteral("/o/123456.jpg"));
    EXPECT_EQ(six.backupPath, QStringLiteral("/b/123456.jpg"));
    EXPECT_EQ(six.earlierPhotoPath, QStringLiteral("/o/123456.jpg"));

    photo::PhotoNames eighteen = photo::photoNames(out, bak, QStringLiteral("李四"), kId18);
    EXPECT_EQ(eighteen.photoKey, kId18);
    EXPECT_EQ(eighteen.shortKey, kId18);

    // 20 characters: the last 18, unless the number ends with the name's last character.
    photo::PhotoNames twenty = photo::photoNames(out, bak, QStringLiteral("王五"), kId20);
    EXPECT_EQ(twenty.photoPath, QStringLiteral("/o/") + kId18 + QStringLiteral(".jpg"));
    EXPECT_EQ(twenty.backupPath, QStringLiteral("/b/") + kId18 + QStringLiteral(".jpg"));
    EXPECT_EQ(twenty.earlierPhotoPath, QStringLiteral("/o/") + kId20 + QStringLiteral(".jpg"));

    photo::PhotoNames sameEnd = photo::photoNames(out, bak, QStringLiteral("MaX"), kId20);
    EXPECT_EQ(sameEnd.photoPath, QStringLiteral("/o/") + kId20 + QStringLiteral(".jpg"));
    EXPECT_EQ(sameEnd.backupPath, QStringLiteral("/b/") + kId18 + QStringLiteral(".jpg"));

    photo::PhotoNames noName = photo::photoNames(out, bak, QString(), kId20);
    EXPECT_EQ(noName.photoKey, kId18);
}

TEST(PhotoNames, OnlyPlainFileNamesAreAccepted)
{
    EXPECT_TRUE(photo::isPlainFileKey(kId18));
    EXPECT_TRUE(photo::isPlainFileKey(QStringLiteral("临时-0001.a")));
    EXPECT_FALSE(photo::isPlainFileKey(QStringLiteral("../../etc/passwd")));
    EXPECT_FALSE(photo::isPlainFileKey(QStringLiteral("110105/20080101")));
    EXPECT_FALSE(photo::isPlainFileKey(QStringLiteral("110105\\20080101")));
    EXPECT_FALSE(photo::isPlainFileKey(QStringLiteral("..123456")));
    EXPECT_FALSE(photo::isPlainFileKey(QStringLiteral("1101052008\n0101")));
    EXPECT_FALSE(photo::isPlainFileKey(QStringLiteral("1101052008\t0101")));
    EXPECT_FALSE(photo::isPlainFileKey(QString(QStringLiteral("11010520")) + QChar(0) +
                                       QStringLiteral("1")));
}

TEST_F(SavePhotoTest, FullSaveGivesTheRegistryPhotoAndACapturedBackup)
{
    photo::SaveRequest r = request(QStringLiteral("张三"), kId18);
    r.outputFolder = root.filePath(QStringLiteral("out/2026/一班")); // several levels missing
    ASSERT_EQ(saver.SavePhoto(r), SaveStatus::Saved);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.questions.isEmpty());

    const QString photoPath = r.outputFolder + QStringLiteral("/") + kId18 + QStringLiteral(".jpg");
    const QByteArray photoFile = readBytes(photoPath);
    ASSERT_TRUE(isJpegFile(photoFile));
    EXPECT_LE(photoFile.size(), 60000);
    const JfifDensity density = jfifDensity(photoFile);
    EXPECT_EQ(density.unit, 1);
    EXPECT_EQ(density.x, 254);
    EXPECT_EQ(density.y, 254);
    EXPECT_EQ(photo::LoadPicture(photoPath).size(), QSize(260, 320));
    EXPECT_EQ(saver.dpiStep().resampledPicture().size(), QSize(260, 320));

    const QString backupPath =
        r.backupFolder + QStringLiteral("/") + kId18 + QStringLiteral(".jpg");
    EXPECT_EQ(readBytes(backupPath), photo::encodeBitmap(capture)) << "the backup is the capture";
    EXPECT_EQ(entries(r.outputFolder), QStringList{kId18 + QStringLiteral(".jpg")});
}

TEST_F(SavePhotoTest, AllSwitchesOffLeavesABitmapNamedJpg)
{
    photo::SaveRequest r = request(QStringLiteral("张三"), kId20);
    r.adjustDpi = r.backup = r.compress = false;
    ASSERT_EQ(saver.SavePhoto(r), SaveStatus::Saved);
    const QString photoPath = r.outputFolder + QStringLiteral("/") + kId18 + QStringLiteral(".jpg");
    EXPECT_EQ(readBytes(photoPath), photo::encodeBitmap(capture));
    EXPECT_TRUE(entries(r.backupFolder).isEmpty());
}

TEST_F(SavePhotoTest, OnlyTheSizeStepMakesAJpegAtTheCapturesSize)
{
    photo::SaveRequest r = request(QStringLiteral("张三"), QStringLiteral("123456"));
    r.adjustDpi = r.backup = false;
    ASSERT_EQ(saver.SavePhoto(r), SaveStatus::Saved);
    const QString photoPath = r.outputFolder + QStringLiteral("/123456.jpg");
    ASSERT_TRUE(isJpegFile(readBytes(photoPath)));
    EXPECT_EQ(photo::LoadPicture(photoPath).size(), capture.size());
    EXPECT_EQ(saver.compressedPicture().size(), capture.size());
}

TEST_F(SavePhotoTest, StudentsWithoutANumberAreNotSaved)
{
    EXPECT_EQ(saver.SavePhoto(request(QStringLiteral("张三"), QStringLiteral("12345"))),
              SaveStatus::NoIdNumber);
    EXPECT_EQ(saver.SavePhoto(request(QStringLiteral("张三"), QString())), SaveStatus::NoIdNumber);
    EXPECT_EQ(saver.SavePhoto(request(QString(), QString())), SaveStatus::PastEndOfList);
    EXPECT_EQ(dialogs.messages, (QStringList{QStringLiteral("这是无身份证学生！！！"),
                                             QStringLiteral("这是无身份证学生！！！"),
                                             QStringLiteral("已经是最后1位学生。")}));
    EXPECT_EQ(dialogs.titles, (QStringList{QString(), QString(), QString()}));
    EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("out"))).isDir())
        << "the folder is made first";
    EXPECT_TRUE(entries(root.filePath(QStringLiteral("out"))).isEmpty());
    EXPECT_TRUE(entries(root.filePath(QStringLiteral("bak"))).isEmpty());
}

TEST_F(SavePhotoTest, RefusedIdNumbersWriteNothingAnywhere)
{
    ASSERT_TRUE(QDir(root.path()).mkpath(QStringLiteral("out/sub")));
    for (const QString &id : {QStringLiteral("../123456"), QStringLiteral("sub/123456"),
                              QStringLiteral("1234\r\n5678")}) {
        dialogs.messages.clear();
        EXPECT_EQ(saver.SavePhoto(request(QStringLiteral("张三"), id)), SaveStatus::RefusedId)
            << id.toStdString();
        ASSERT_EQ(dialogs.messages.size(), 1);
        EXPECT_TRUE(dialogs.messages.first().contains(id));
    }
    EXPECT_EQ(entries(root.path()), (QStringList{QStringLiteral("bak"), QStringLiteral("out")}));
    EXPECT_EQ(entries(root.filePath(QStringLiteral("out"))), QStringList{QStringLiteral("sub")});
    EXPECT_TRUE(entries(root.filePath(QStringLiteral("out/sub"))).isEmpty());
}

TEST_F(SavePhotoTest, OverwriteQuestionAndItsNo)
{
    // Only the backup is left: the question still comes.
    const QString backupPath =
        root.filePath(QStringLiteral("bak/")) + kId18 + QStringLiteral(".jpg");
    writeBytes(backupPath, "earlier backup");
    dialogs.answerYes = false;
    EXPECT_EQ(saver.SavePhoto(request(QStringLiteral("张三"), kId18)), SaveStatus::Declined);
    EXPECT_EQ(dialogs.questions,
              QStringList{QStringLiteral("该学生照片已经存在,\r\n是否覆盖原照片?？")});
    EXPECT_EQ(dialogs.titles, QStringList{QStringLiteral("照片已存在")});
    EXPECT_EQ(readBytes(backupPath), QByteArray("earlier backup"));
    EXPECT_TRUE(entries(root.filePath(QStringLiteral("out"))).isEmpty());

    // The earlier photo under the whole 20-character number also counts.
    const QString earlier = root.filePath(QStringLiteral("out/")) + kId20 + QStringLiteral(".jpg");
    writeBytes(earlier, "earlier photo");
    QFile::remove(backupPath);
    EXPECT_EQ(saver.SavePhoto(request(QStringLiteral("张三"), kId20)), SaveStatus::Declined);
    EXPECT_EQ(readBytes(earlier), QByteArray("earlier photo"));

    dialogs.answerYes = true;
    EXPECT_EQ(saver.SavePhoto(request(QStringLiteral("张三"), kId20)), SaveStatus::Saved);
    EXPECT_EQ(dialogs.questions.size(), 3);
    EXPECT_TRUE(isJpegFile(
        readBytes(root.filePath(QStringLiteral("out/")) + kId18 + QStringLiteral(".jpg"))));
}

TEST_F(SavePhotoTest, OutputFolderThatCannotBeWrittenEndsTheSave)
{
    writeBytes(root.filePath(QStringLiteral("file")), "in the way");
    photo::SaveRequest r = request(QStringLiteral("张三"), kId18);
    r.outputFolder = root.filePath(QStringLiteral("file/out"));
    EXPECT_THROW(saver.SavePhoto(r), photo::PhotoError);
    EXPECT_TRUE(entries(r.backupFolder).isEmpty()) << "later steps do not run";
    EXPECT_FALSE(saver.isSaving());
}

TEST_F(SavePhotoTest, ReadOnlyOutputFolderEndsTheSave)
{
    photo::SaveRequest r = request(QStringLiteral("张三"), kId18);
    // A folder nobody may write into, not even the super-user.
    r.outputFolder = QStringLiteral("/proc/self");
    try {
        saver.SavePhoto(r);
        FAIL();
    } catch (const photo::PhotoError &error) {
        EXPECT_TRUE(error.description().contains(r.outputFolder))
            << error.description().toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(r.outputFolder + u'/' + kId18 + QStringLiteral(".jpg")));
}

TEST_F(SavePhotoTest, NoCaptureIsAnErrorNotABlankPhoto)
{
    photo::SaveRequest r = request(QStringLiteral("张三"), kId18);
    r.picture = QImage();
    EXPECT_THROW(saver.SavePhoto(r), photo::PhotoError);
    EXPECT_TRUE(entries(r.outputFolder).isEmpty());
}

namespace {

// Answers the overwrite question by trying a second save, as a key press during the question
// would.
class ReenteringDialogs : public FakeDialogs
{
public:
    bool question(const QString &text, const QString &title) override
    {
        if (saver && request)
            nested = saver->SavePhoto(*request);
        return FakeDialogs::question(text, title);
    }
    photo::PhotoSaver *saver = nullptr;
    const photo::SaveRequest *request = nullptr;
    std::optional<SaveStatus> nested;
};

} // namespace

TEST_F(SavePhotoTest, SavesNeverOverlap)
{
    ReenteringDialogs reentering;
    photo::PhotoSaver reenteredSaver(reentering);
    photo::SaveRequest r = request(QStringLiteral("张三"), kId18);
    writeBytes(root.filePath(QStringLiteral("bak/")) + kId18 + QStringLiteral(".jpg"), "old");
    reentering.saver = &reenteredSaver;
    reentering.request = &r;
    EXPECT_EQ(reenteredSaver.SavePhoto(r), SaveStatus::Saved);
    EXPECT_EQ(reentering.nested, SaveStatus::Busy);
    EXPECT_FALSE(reenteredSaver.isSaving());
}

TEST(DpiStep, APictureThatCannotLoadEndsTheStepAndKeepsTheFile)
{
    QTemporaryDir folder;
    FakeDialogs dialogs;
    photo::DpiStep step(dialogs);
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    writeBytes(path, "not a picture");
    EXPECT_THROW(step.AdjustDpi(path, path), photo::PhotoError);
    EXPECT_EQ(readBytes(path), QByteArray("not a picture"));

    photo::SaveBitmap(gradientImage(780, 960), path);
    EXPECT_TRUE(step.AdjustDpi(path, path));
    EXPECT_EQ(step.loadedPicture().size(), QSize(780, 960));
    const QImage written = photo::LoadPicture(path);
    EXPECT_EQ(written.size(), QSize(260, 320));
    EXPECT_EQ(photo::dotsPerInch(written), 254);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST(DpiStep, APictureThatCannotBecomeACimageIsToldAndNothingIsWritten)
{
    QTemporaryDir folder;
    FakeDialogs dialogs;
    photo::DpiStep step(dialogs);
    const QString path = folder.filePath(QStringLiteral("wide.jpg"));
    photo::SaveBitmap(gradientImage(photo::Cimage::kMaxSide + 1, 1), path);
    const QByteArray before = readBytes(path);
    EXPECT_FALSE(step.AdjustDpi(path, path));
    EXPECT_EQ(dialogs.messages, QStringList{QStringLiteral("错误的图像文件")});
    EXPECT_EQ(readBytes(path), before);
    EXPECT_TRUE(step.DstImage.isEmpty());
}
