#include "photo/PictureFile.h"
#include "photo/JpegWriter.h"
#include "photo/PhotoError.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace phototest;

TEST(PictureFile, BitmapIsAnOrdinaryUncompressed24BitFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("capture.jpg"));
    const QImage capture = noiseImage(7, 3);
    photo::SaveBitmap(capture, path);
    const QByteArray file = readBytes(path);
    ASSERT_TRUE(isBitmapFile(file));
    const auto *b = reinterpret_cast<const uchar *>(file.constData());
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 2), quint32(file.size()));
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 14), 40u);
    EXPECT_EQ(qFromLittleEndian<qint32>(b + 18), 7);
    EXPECT_EQ(qFromLittleEndian<qint32>(b + 22), 3);
    EXPECT_EQ(qFromLittleEndian<quint16>(b + 28), 24);
    EXPECT_EQ(qFromLittleEndian<quint32>(b + 30), 0u);
    EXPECT_EQ(file.size(), 54 + 24 * 3);

    // Qt's own reader agrees, whatever the name says.
    QImageReader reader(path, "bmp");
    const QImage byQt = reader.read();
    ASSERT_FALSE(byQt.isNull());
    const QImage ours = photo::LoadPicture(path);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(byQt.pixel(x, y), capture.pixel(x, y));
            EXPECT_EQ(ours.pixel(x, y), capture.pixel(x, y));
        }
}

TEST(PictureFile, FormatComesFromTheContent)
{
    QTemporaryDir folder;
    const QString jpegNamedBmp = folder.filePath(QStringLiteral("photo.bmp"));
    QByteArray jpeg;
    ASSERT_EQ(photo::encodeJpeg(gradientImage(33, 21), 90, 254, &jpeg), photo::JpegStatus::Ok);
    writeBytes(jpegNamedBmp, jpeg);
    EXPECT_EQ(photo::detectPictureFormat(jpegNamedBmp), photo::PictureFormat::Jpeg);
    const QImage loaded = photo::LoadPicture(jpegNamedBmp);
    EXPECT_EQ(loaded.size(), QSize(33, 21));
    EXPECT_EQ(photo::dotsPerInch(loaded), 254);

    const QString png = folder.filePath(QStringLiteral("photo.jpg"));
    ASSERT_TRUE(gradientImage(5, 4).save(png, "PNG"));
    EXPECT_EQ(photo::detectPictureFormat(png), photo::PictureFormat::Png);
    EXPECT_EQ(photo::LoadPicture(png).size(), QSize(5, 4));
}

TEST(PictureFile, MissingFilesAndNonPicturesAreErrors)
{
    QTemporaryDir folder;
    try {
        photo::LoadPicture(folder.filePath(QStringLiteral("gone.jpg")));
        FAIL();
    } catch (const photo::PhotoError &error) {
        EXPECT_EQ(error.number(), photo::kFileNotFound);
        EXPECT_TRUE(error.description().contains(QStringLiteral("gone.jpg")));
    }
    const QString text = folder.filePath(QStringLiteral("notes.jpg"));
    writeBytes(text, "not a picture at all");
    EXPECT_THROW(photo::LoadPicture(text), photo::PhotoError);
    const QString broken = folder.filePath(QStringLiteral("broken.jpg"));
    writeBytes(broken, QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(100, '\x01'));
    EXPECT_THROW(photo::LoadPicture(broken), photo::PhotoError);
    const QString emptyFile = folder.filePath(QStringLiteral("empty.jpg"));
    writeBytes(emptyFile, QByteArray());
    EXPECT_THROW(photo::LoadPicture(emptyFile), photo::PhotoError);
}

TEST(PictureFile, AtomicWriteReplacesOrLeavesTheTargetWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("file.jpg"));
    writeBytes(path, "old");
    ASSERT_TRUE(photo::writeFileAtomically(path, "new content"));
    EXPECT_EQ(readBytes(path), QByteArray("new content"));

    QString reason;
    EXPECT_FALSE(
        photo::writeFileAtomically(folder.filePath(QStringLiteral("none/x.jpg")), "x", &reason));
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_THROW(photo::SaveBitmap(QImage(), path), photo::PhotoError);
    EXPECT_EQ(readBytes(path), QByteArray("new content"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("file.jpg")});
}
