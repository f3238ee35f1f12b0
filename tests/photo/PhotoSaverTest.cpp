#include "photo/PhotoSaver.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::photo;
using namespace Qt::StringLiterals;
using namespace phototest;

namespace {

const QString kId18 = u"11010520080101123X"_s;
const QString kId20 = u"AB11010520080101123X"_s;

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

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
                .picture = gradientImage(300, 369)};
    }
    // Saves, answering the overwrite question (if it comes) with the answer.
    SaveResult save(const SaveRequest &r, bool answer = true)
    {
        return saver.save(r, [&] { return ++questions, answer; });
    }
    QString path(const QString &relative) const { return root.filePath(relative); }

    QTemporaryDir root;
    PhotoSaver saver;
    int questions = 0;
};

} // namespace

TEST(PhotoNames, KeysFromTheIdCardNumber)
{
    EXPECT_EQ(withoutTrailingSeparator(u"/a/b//"_s), u"/a/b/"_s);
    // 20 characters: the last 18, unless the number ends with the name's last character.
    const PhotoNames twenty = photoNames(u"/o"_s, u"/b"_s, u"王五"_s, kId20);
    EXPECT_EQ(twenty.photoPath, u"/o/%1.jpg"_s.arg(kId18));
    EXPECT_EQ(twenty.backupPath, u"/b/%1.jpg"_s.arg(kId18));
    EXPECT_EQ(twenty.earlierPhotoPath, u"/o/%1.jpg"_s.arg(kId20));
    const PhotoNames sameEnd = photoNames(u"/o"_s, u"/b"_s, u"MaX"_s, kId20);
    EXPECT_EQ(sameEnd.photoPath, u"/o/%1.jpg"_s.arg(kId20));
    EXPECT_EQ(sameEnd.backupPath, u"/b/%1.jpg"_s.arg(kId18));
}

TEST_F(PhotoSaverTest, FullSaveWritesTheResampledPhotoAndTheCaptureAsBackup)
{
    SaveRequest r = request(kId18);
    r.outputFolder = path(u"out/2026/一班"_s); // several levels missing
    const SaveResult result = save(r);
    EXPECT_EQ(result.status, SaveStatus::Saved);
    EXPECT_TRUE(result.messages.isEmpty());
    EXPECT_EQ(questions, 0);

    QByteArray expected;
    ASSERT_EQ(encodeJpeg(resample(r.picture, 260, 320), 100, 254, &expected), JpegStatus::Ok);
    ASSERT_LT(expected.size(), 55000) << "a capture the size step leaves alone";
    EXPECT_EQ(readBytes(r.outputFolder + u"/%1.jpg"_s.arg(kId18)), expected);
    EXPECT_EQ(readBytes(path(u"bak/%1.jpg"_s.arg(kId18))), encodeBitmap(r.picture));
    EXPECT_EQ(entries(r.outputFolder), QStringList{kId18 + u".jpg"_s});
}

TEST_F(PhotoSaverTest, StudentsWithoutAUsableNumberWriteNothingAnywhere)
{
    ASSERT_TRUE(QDir(root.path()).mkpath(u"out/sub"_s));
    const QString noId = u"这是无身份证学生！！！"_s;
    const struct
    {
        QString id;
        QString name;
        SaveStatus status;
        QString message; // refused: the message names the number
    } cases[] = {{u"12345"_s, u"张三"_s, SaveStatus::NoIdNumber, noId},
                 {QString(), u"张三"_s, SaveStatus::NoIdNumber, noId},
                 {u"1"_s, QString(), SaveStatus::PastEndOfList, u"已经是最后1位学生。"_s},
                 {u"../123456"_s, u"张三"_s, SaveStatus::RefusedId, {}},
                 {u"sub/123456"_s, u"张三"_s, SaveStatus::RefusedId, {}},
                 {u"1234\r\n5678"_s, u"张三"_s, SaveStatus::RefusedId, {}}};
    for (const auto &c : cases) {
        const SaveResult result = save(request(c.id, c.name));
        EXPECT_EQ(result.status, c.status) << c.id.toStdString();
        ASSERT_EQ(result.messages.size(), 1);
        EXPECT_TRUE(c.message.isEmpty() ? result.messages.first().contains(c.id)
                                        : result.messages.first() == c.message);
    }
    EXPECT_EQ(entries(root.path()), (QStringList{u"bak"_s, u"out"_s}));
    EXPECT_EQ(entries(path(u"out"_s)), QStringList{u"sub"_s});
    EXPECT_TRUE(entries(path(u"out/sub"_s)).isEmpty());
    EXPECT_TRUE(entries(path(u"bak"_s)).isEmpty());
}

TEST_F(PhotoSaverTest, OverwriteQuestionItsNoAndNoSaveInsideIt)
{
    // Only the backup is left: the question still comes, and No (or no callback) keeps it.
    const QString backup = path(u"bak/%1.jpg"_s.arg(kId18));
    writeBytes(backup, "earlier backup");
    EXPECT_EQ(save(request(kId18), false).status, SaveStatus::Declined);
    EXPECT_EQ(saver.save(request(kId18), {}).status, SaveStatus::Declined);
    EXPECT_EQ(readBytes(backup), QByteArray("earlier backup"));
    EXPECT_TRUE(entries(path(u"out"_s)).isEmpty());

    // The earlier photo under the whole 20-character number also counts.
    QFile::remove(backup);
    const QString earlier = path(u"out/%1.jpg"_s.arg(kId20));
    writeBytes(earlier, "earlier photo");
    EXPECT_EQ(save(request(kId20), false).status, SaveStatus::Declined);
    EXPECT_EQ(readBytes(earlier), QByteArray("earlier photo"));
    EXPECT_EQ(questions, 2);

    // Yes; a key press while the question waits tries a second save, which must not run.
    std::optional<SaveStatus> nested;
    const SaveResult result = saver.save(request(kId20), [&] {
        nested = saver.save(request(kId20), [] { return true; }).status;
        return true;
    });
    EXPECT_EQ(result.status, SaveStatus::Saved);
    EXPECT_EQ(nested, SaveStatus::Busy);
    EXPECT_FALSE(saver.isSaving());
    EXPECT_TRUE(isJpegFile(readBytes(path(u"out/%1.jpg"_s.arg(kId18)))));
}

TEST_F(PhotoSaverTest, AnUnwritableFolderOrNoCaptureFailsWithTheReason)
{
    // A folder nobody may write into, not even the super-user: nothing is written.
    SaveRequest r = request(kId18);
    r.outputFolder = u"/proc/self"_s;
    SaveResult result = save(r);
    EXPECT_EQ(result.status, SaveStatus::Failed);
    EXPECT_TRUE(result.messages.join(u' ').contains(r.outputFolder));
    EXPECT_TRUE(entries(r.backupFolder).isEmpty()) << "the backup comes after the photo";

    r = request(u"123456"_s);
    r.picture = BgrImage();
    result = save(r);
    EXPECT_EQ(result.messages, QStringList{u"没有可以保存的照片。"_s});
    EXPECT_FALSE(QFile::exists(path(u"out/123456.jpg"_s)));
}
