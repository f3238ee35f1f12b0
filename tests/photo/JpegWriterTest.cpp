#include "photo/JpegWriter.h"
#include "photo/PhotoError.h"
#include "photo/PictureFile.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace phototest;

TEST(Savejpg, WritesTheResolutionIntoTheJfifDensity)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    photo::Savejpg(gradientImage(260, 320), path, 255, 254.0f);
    const QByteArray file = readBytes(path);
    ASSERT_TRUE(isJpegFile(file));
    const JfifDensity density = jfifDensity(file);
    EXPECT_EQ(density.unit, 1);
    EXPECT_EQ(density.x, 254);
    EXPECT_EQ(density.y, 254);
    const QImage back = photo::LoadPicture(path);
    EXPECT_EQ(back.size(), QSize(260, 320));
    EXPECT_EQ(photo::dotsPerInch(back), 254);
}

TEST(Savejpg, WithoutAResolutionKeepsThePictures)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    QImage picture = gradientImage(40, 30);
    photo::setDotsPerInch(picture, 96);
    photo::Savejpg(picture, path, 80, 0.0f);
    EXPECT_EQ(jfifDensity(readBytes(path)).x, 96);
    photo::Savejpg(picture, path, 80, -3.0f);
    EXPECT_EQ(jfifDensity(readBytes(path)).x, 96);

    // The size step's writer never sets one: a 254-DPI file stays at 254 DPI.
    photo::setDotsPerInch(picture, 254);
    ASSERT_TRUE(photo::SaveJpgQuality(picture, path, 80));
    EXPECT_EQ(jfifDensity(readBytes(path)).x, 254);
}

TEST(Savejpg, QualityAboveTheScaleIsTheBest)
{
    const QImage picture = noiseImage(64, 64);
    QByteArray best, q255, q90;
    ASSERT_EQ(photo::encodeJpeg(picture, 100, 254, &best), photo::JpegStatus::Ok);
    ASSERT_EQ(photo::encodeJpeg(picture, 255, 254, &q255), photo::JpegStatus::Ok);
    ASSERT_EQ(photo::encodeJpeg(picture, 90, 254, &q90), photo::JpegStatus::Ok);
    EXPECT_EQ(q255, best);
    EXPECT_GT(best.size(), q90.size());

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("q.jpg"));
    photo::Savejpg(picture, path, 255, 254.0f);
    EXPECT_EQ(readBytes(path), best);
    ASSERT_TRUE(photo::SaveJpgQuality(picture, path, 1000));
    QByteArray bestWithOwnResolution;
    ASSERT_EQ(photo::encodeJpeg(picture, 100, 0, &bestWithOwnResolution), photo::JpegStatus::Ok);
    EXPECT_EQ(readBytes(path), bestWithOwnResolution) << "SaveJpgQuality clamps as well";
    ASSERT_TRUE(photo::SaveJpgQuality(picture, path, -5));
    EXPECT_LT(readBytes(path).size(), q90.size());
}

TEST(Savejpg, FailureRaisesTheErrorWithItsStatus)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("no such folder/photo.jpg"));
    try {
        photo::Savejpg(gradientImage(10, 10), missing, 255, 254.0f);
        FAIL() << "a write into a missing folder must fail";
    } catch (const photo::PhotoError &error) {
        EXPECT_EQ(error.number(), 5);
        EXPECT_EQ(error.description(), QStringLiteral("Cannot save the image. GDI+ Error:7"));
    }
    EXPECT_FALSE(QFileInfo::exists(missing));

    try {
        photo::Savejpg(QImage(), folder.filePath(QStringLiteral("empty.jpg")), 80, 0);
        FAIL() << "an empty picture cannot be written";
    } catch (const photo::PhotoError &error) {
        EXPECT_EQ(error.description(), QStringLiteral("Cannot save the image. GDI+ Error:2"));
    }
    EXPECT_FALSE(photo::SaveJpgQuality(gradientImage(10, 10), missing, 80));
}

TEST(Savejpg, AFailedWriteLeavesTheOldFile)
{
    QTemporaryDir folder;
    // A folder in the target's place cannot be replaced by a file.
    const QString path = folder.filePath(QStringLiteral("taken.jpg"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("taken.jpg")));
    EXPECT_FALSE(photo::SaveJpgQuality(gradientImage(10, 10), path, 80));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList{QStringLiteral("taken.jpg")})
        << "no temporary file is left behind";
}

namespace {

// A JPEG of the picture, padded after its end marker to exactly that many bytes; decoders stop
// at the end marker.
QByteArray jpegOfLength(const QImage &picture, int quality, qsizetype length)
{
    QByteArray bytes;
    EXPECT_EQ(photo::encodeJpeg(picture, quality, 96, &bytes), photo::JpegStatus::Ok);
    EXPECT_LE(bytes.size(), length);
    bytes.append(length - bytes.size(), '\0');
    return bytes;
}

} // namespace

TEST(CompressJpg, ThresholdsOfTheSizeStep)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("photo.jpg"));
    const QImage small = gradientImage(200, 200);

    const QByteArray justBelow = jpegOfLength(small, 95, 54999);
    writeBytes(path, justBelow);
    EXPECT_EQ(photo::CompressJpg(path).passes, 0);
    EXPECT_EQ(readBytes(path), justBelow);

    for (qsizetype length : {55000, 57000, 60000}) {
        writeBytes(path, jpegOfLength(small, 95, length));
        const photo::CompressResult result = photo::CompressJpg(path);
        EXPECT_EQ(result.passes, 1) << length;
        EXPECT_EQ(result.lastPicture.size(), QSize(200, 200));
        EXPECT_LT(QFileInfo(path).size(), 55000) << length;
    }

    // A bitmap of 55000 bytes or more becomes a JPEG at its own size on the first pass.
    const QImage capture = gradientImage(300, 369);
    photo::SaveBitmap(capture, path);
    ASSERT_GE(QFileInfo(path).size(), 55000);
    EXPECT_EQ(photo::CompressJpg(path).passes, 1);
    EXPECT_TRUE(isJpegFile(readBytes(path)));
    EXPECT_EQ(photo::LoadPicture(path).size(), QSize(300, 369));

    // A small bitmap stays a bitmap.
    photo::SaveBitmap(gradientImage(100, 100), path);
    EXPECT_EQ(photo::CompressJpg(path).passes, 0);
    EXPECT_TRUE(isBitmapFile(readBytes(path)));
}

TEST(CompressJpg, StopsAfterFivePassesWithoutAMessage)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("noise.jpg"));
    photo::SaveBitmap(noiseImage(600, 600), path);
    const photo::CompressResult result = photo::CompressJpg(path);
    EXPECT_EQ(result.passes, 5);
    EXPECT_GT(QFileInfo(path).size(), 60000);
    EXPECT_TRUE(isJpegFile(readBytes(path)));
}

TEST(CompressJpg, MissingOrUnreadableFilesRaise)
{
    QTemporaryDir folder;
    const QString missing = folder.filePath(QStringLiteral("gone.jpg"));
    EXPECT_THROW(photo::CompressJpg(missing), photo::PhotoError);
    const QString text = folder.filePath(QStringLiteral("text.jpg"));
    writeBytes(text, QByteArray(56000, 'x'));
    try {
        photo::CompressJpg(text);
        FAIL();
    } catch (const photo::PhotoError &error) {
        EXPECT_EQ(error.number(), photo::kInvalidPicture);
    }
    EXPECT_EQ(readBytes(text), QByteArray(56000, 'x'));
}
