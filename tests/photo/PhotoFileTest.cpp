// The bytes of photo files: the bitmap and JPEG codecs, the format told by the content, and the
// registry photo's DPI and size steps.
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"

#include <QtEndian>

#include <gtest/gtest.h>

#include <utility>

using namespace lumo::photo;
using namespace Qt::StringLiterals;
using namespace phototest;

TEST(RegistryPhoto, ThresholdsOfTheSizeStep)
{
    // Below 55000 bytes the file is left as it is; from there on one pass at 80 makes it small,
    // keeping the resolution. The JPEG is padded after its end marker, where decoders stop.
    QByteArray jpeg;
    ASSERT_EQ(encodeJpeg(gradientImage(200, 200), 95, 96, &jpeg), JpegStatus::Ok);
    ASSERT_LT(jpeg.size(), 54999);
    for (qsizetype length : {54999, 55000, 57000, 60000}) {
        const QByteArray file = jpeg + QByteArray(length - jpeg.size(), '\0');
        const RegistryPhoto photo = compressRegistryPhoto(file);
        EXPECT_EQ(photo.sizeStepPasses, length < 55000 ? 0 : 1) << length;
        EXPECT_EQ(photo.bytes == file, length < 55000) << length;
        EXPECT_LT(photo.bytes.size(), 55000) << length;
        EXPECT_EQ(jfifDensity(photo.bytes)[1], 96) << length;
    }

    // Noise stays large: five passes, then the step gives up without a message.
    const RegistryPhoto photo = compressRegistryPhoto(encodeBitmap(noiseImage(600, 600)));
    EXPECT_EQ(photo.sizeStepPasses, 5);
    EXPECT_GT(photo.bytes.size(), 60000);
    EXPECT_EQ(jfifDensity(photo.bytes)[0], 0) << "a JPEG, with no resolution made up";
    EXPECT_TRUE(photo.messages.isEmpty());
}

TEST(RegistryPhoto, TheDpiStepThenTheSizeStepOnTheFileItMade)
{
    // The noise stays large enough for the size step after the DPI step or without it; the
    // gradient is small enough to skip it either way.
    for (const BgrImage &capture : {noiseImage(300, 369), gradientImage(120, 100)}) {
        QByteArray dpiStep;
        ASSERT_EQ(
            encodeJpeg(resample(capture, 260, 320, ResampleKernel::Reference), 255, 254, &dpiStep),
            JpegStatus::Ok);
        EXPECT_EQ(makeRegistryPhoto(capture, true, false).bytes, dpiStep);
        EXPECT_EQ(makeRegistryPhoto(capture, false, false).bytes, encodeBitmap(capture));
        for (const bool adjustDpi : {true, false}) {
            const RegistryPhoto photo = makeRegistryPhoto(capture, adjustDpi, true);
            const RegistryPhoto expected =
                compressRegistryPhoto(adjustDpi ? dpiStep : encodeBitmap(capture));
            EXPECT_EQ(photo.bytes, expected.bytes) << capture.width() << " dpi " << adjustDpi;
            EXPECT_EQ(photo.sizeStepPasses, expected.sizeStepPasses);
            EXPECT_EQ(photo.sizeStepPasses > 0, capture.width() == 300);
            EXPECT_TRUE(photo.messages.isEmpty());
        }
    }
}

TEST(RegistryPhoto, ACaptureTooWideForTheResamplerStaysABitmap)
{
    const BgrImage wide = gradientImage(kMaxResampleSide + 1, 1);
    const RegistryPhoto photo = makeRegistryPhoto(wide, true, false);
    EXPECT_EQ(photo.messages, QStringList{u"错误的图像文件"_s});
    EXPECT_TRUE(photo.dpiStepSkipped);
    EXPECT_EQ(photo.bytes, encodeBitmap(wide));
}

TEST(Bitmap, AnOrdinaryUncompressed24BitFileThatReadsBackInEveryRowOrder)
{
    const BgrImage capture = gradientImage(7, 3);
    const QByteArray file = encodeBitmap(capture);
    // "BM", 126 bytes, pixels at 54; 40-byte header, 7 x 3 (bottom-up), 1 plane, 24 bits,
    // uncompressed, 72 bytes of pixels, 3780 x 3780 dots per metre.
    EXPECT_EQ(file.left(54).toHex(),
              QByteArray("424d7e000000000000003600000028000000070000000300000001001800"
                         "0000000048000000c40e0000c40e00000000000000000000"));
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
    QByteArray huge = file; // declaring 100000 x 3 pixels: refused by the size, before any pixel
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    EXPECT_TRUE(decodeBitmap(huge, &error).isEmpty());
    EXPECT_TRUE(error.contains(u"100000 × 3"_s)) << error.toStdString();
}

TEST(Jpeg, DensityAndQualityOfTheDpiStep)
{
    const BgrImage photo = noiseImage(260, 320);
    QByteArray best, q255;
    ASSERT_EQ(encodeJpeg(photo, 100, 254, &best), JpegStatus::Ok);
    ASSERT_EQ(encodeJpeg(photo, 255, 254, &q255), JpegStatus::Ok);
    EXPECT_EQ(q255, best) << "quality above the scale is the best";
    EXPECT_EQ(jfifDensity(best), (std::array{1, 254, 254}));
    QString error;
    const BgrImage back = decodeJpeg(best, &error);
    EXPECT_EQ((std::array{back.width(), back.height(), dotsPerInchOf(back.dotsPerMeterX())}),
              (std::array{260, 320, 254}));
    EXPECT_EQ(encodeJpeg(BgrImage(), 80, 254, &q255), JpegStatus::InvalidParameter);
    // The same file, its frame header claiming 20000 x 20000 pixels: refused before any pixel.
    EXPECT_TRUE(decodePicture(claiming(best, 20000, 20000), &error).isEmpty());
    EXPECT_TRUE(error.contains(u"20000 × 20000"_s)) << error.toStdString();
}

TEST(Jpeg, MissingOrCorruptDataIsRefusedNotPaintedGrey)
{
    QByteArray photo, corrupt, marker;
    ASSERT_EQ(encodeJpeg(noiseImage(260, 320), 90, 254, &photo), JpegStatus::Ok);
    const qsizetype scan = photo.indexOf("\xFF\xDA") + 100;
    corrupt = QByteArray(photo).replace(scan, 40, QByteArray(40, '\0'));
    marker = QByteArray(photo).insert(scan, "\xFF\xD0", 2); // a restart marker out of place
    for (const QByteArray &bytes : {photo.left(photo.size() / 2), corrupt, marker}) {
        QString decodeError, verifyError;
        EXPECT_TRUE(decodePicture(bytes, &decodeError).isEmpty());
        EXPECT_FALSE(verifyPicture(bytes, &verifyError));
        EXPECT_TRUE(decodeError.contains(u"Premature end"_s) || decodeError.contains(u"Corrupt"_s))
            << decodeError.toStdString();
        EXPECT_EQ(verifyError, decodeError);
    }
    EXPECT_TRUE(verifyPicture(photo, nullptr));
}

TEST(PictureFile, FormatComesFromTheContent)
{
    QString error;
    for (const QByteArray &notAPicture :
         {QByteArray(), QByteArray("\xFF\xD8\xFF\xE0", 4) + QByteArray(100, '\x01'),
          QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(100, '\0')}) {
        error.clear();
        EXPECT_TRUE(decodePicture(notAPicture, &error).isEmpty());
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_TRUE(error.contains(u"PNG"_s));
}
