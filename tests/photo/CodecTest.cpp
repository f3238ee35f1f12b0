#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "tests/photo/PhotoTestImages.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace lumo::photo;
using namespace Qt::StringLiterals;
using namespace phototest;

TEST(Bitmap, AnOrdinaryUncompressed24BitFileThatReadsBackInEveryRowOrder)
{
    const BgrImage capture = gradientImage(7, 3);
    const QByteArray file = encodeBitmap(capture);
    // "BM", 126 bytes, pixels at 54; 40-byte header, 7 x 3 (bottom-up), 1 plane, 24 bits,
    // uncompressed, 72 bytes of pixels, 3780 x 3780 dots per metre.
    EXPECT_EQ(file.left(54).toHex(),
              QByteArray("424d7e000000000000003600000028000000070000000300000001001800"
                         "0000000048000000c40e0000c40e00000000000000000000"));
    EXPECT_EQ(file.mid(54 + 2 * 24, 21),
              QByteArray(reinterpret_cast<const char *>(capture.row(0)), 21));
    QString error;
    EXPECT_EQ(decodeBitmap(file, &error), capture);

    QByteArray topDown = file.left(54); // the same rows top-down, as a negative height says
    qToLittleEndian<qint32>(-3, topDown.data() + 22);
    QByteArray wide = file.left(54); // 32 bits a pixel, the fourth byte unused
    wide[28] = 32;
    for (int y = 0; y < 3; ++y) {
        topDown += file.mid(54 + 24 * (2 - y), 24);
        for (int x = 0; x < 7; ++x)
            wide += QByteArray(reinterpret_cast<const char *>(capture.row(2 - y)) + 3 * x, 3) + 'x';
    }
    EXPECT_EQ(decodeBitmap(topDown, &error), capture);
    EXPECT_EQ(decodeBitmap(wide, &error), capture);

    wide[28] = 8; // palettes are refused by name
    EXPECT_TRUE(decodeBitmap(wide, &error).isEmpty());
    EXPECT_TRUE(error.contains(u"8 位"_s)) << error.toStdString();
    EXPECT_TRUE(decodeBitmap(file.left(100), &error).isEmpty()) << "truncated";
}

TEST(Jpeg, DensityAndQualityOfTheDpiStep)
{
    const BgrImage photo = noiseImage(260, 320);
    QByteArray best, q255, q90;
    ASSERT_EQ(encodeJpeg(photo, 100, 254, &best), JpegStatus::Ok);
    ASSERT_EQ(encodeJpeg(photo, 255, 254, &q255), JpegStatus::Ok);
    ASSERT_EQ(encodeJpeg(photo, 90, 254, &q90), JpegStatus::Ok);
    EXPECT_EQ(q255, best) << "quality above the scale is the best";
    EXPECT_GT(best.size(), q90.size());
    EXPECT_EQ(jfifDensity(best), (JfifDensity{1, 254, 254}));
    QString error;
    const BgrImage back = decodeJpeg(best, &error);
    EXPECT_EQ(back.width(), 260);
    EXPECT_EQ(back.height(), 320);
    EXPECT_EQ(dotsPerInchOf(back.dotsPerMeterX()), 254);

    // Without a dpi the image's own resolution goes in, or none.
    ASSERT_EQ(encodeJpeg(noiseImage(40, 30), 80, -3, &q90), JpegStatus::Ok);
    EXPECT_EQ(jfifDensity(q90).unit, 0);
    EXPECT_EQ(encodeJpeg(BgrImage(), 80, 254, &q90), JpegStatus::InvalidParameter);
    EXPECT_EQ(jpegFailureText(JpegStatus::InvalidParameter),
              u"Cannot save the image. GDI+ Error:2"_s);
}

TEST(PictureFile, FormatComesFromTheContentAndHugeSizesAreRefusedUpFront)
{
    QByteArray jpeg;
    ASSERT_EQ(encodeJpeg(noiseImage(120, 120), 75, 254, &jpeg), JpegStatus::Ok);
    QString error;
    EXPECT_EQ(decodePicture(encodeBitmap(gradientImage(5, 4)), &error).width(), 5);
    for (const QByteArray &notAPicture :
         {QByteArray("not a picture at all"), QByteArray(),
          QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(100, '\x01'),
          QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(100, '\0')}) {
        error.clear();
        EXPECT_TRUE(decodePicture(notAPicture, &error).isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(error.contains(u"PNG"_s));

    // A real JPEG of a few kilobytes whose frame header claims 20000 x 20000 pixels, and a
    // bitmap header claiming 100000 x 100000.
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    ASSERT_GT(frame, 0);
    qToBigEndian<quint16>(20000, jpeg.data() + frame + 5);
    qToBigEndian<quint16>(20000, jpeg.data() + frame + 7);
    EXPECT_TRUE(decodePicture(jpeg, &error).isEmpty());
    EXPECT_TRUE(error.contains(u"20000 × 20000"_s)) << error.toStdString();
    QByteArray bitmap = encodeBitmap(gradientImage(4, 4));
    qToLittleEndian<qint32>(100000, bitmap.data() + 18);
    qToLittleEndian<qint32>(-100000, bitmap.data() + 22);
    EXPECT_TRUE(decodePicture(bitmap, &error).isEmpty());
    EXPECT_TRUE(error.contains(u"100000 × 100000"_s)) << error.toStdString();
}
