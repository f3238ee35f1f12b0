#include "photo/RegistryPhoto.h"
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/PictureFile.h"
#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"

#include <gtest/gtest.h>

using namespace lumo::photo;
using namespace Qt::StringLiterals;
using namespace phototest;

namespace {

// A JPEG of the picture, padded after its end marker to exactly that many bytes; decoders stop
// at the end marker.
QByteArray jpegOfLength(const BgrImage &picture, qsizetype length)
{
    QByteArray bytes;
    EXPECT_EQ(encodeJpeg(picture, 95, 96, &bytes), JpegStatus::Ok);
    EXPECT_LE(bytes.size(), length);
    return bytes + QByteArray(length - bytes.size(), '\0');
}

// The steps as the save made them one file at a time: the capture written as a bitmap and read
// back, resampled by the reference kernel, encoded, then decoded and encoded again while large.
QByteArray composedSteps(const BgrImage &capture, bool adjustDpi, bool compress, int *passes)
{
    QString error;
    QByteArray bytes = encodeBitmap(capture);
    if (adjustDpi) {
        const BgrImage written = decodePicture(bytes, &error);
        EXPECT_EQ(
            encodeJpeg(resample(written, 260, 320, ResampleKernel::Reference), 255, 254, &bytes),
            JpegStatus::Ok);
    }
    *passes = 0;
    if (compress && bytes.size() >= 55000) {
        do {
            EXPECT_EQ(encodeJpeg(decodePicture(bytes, &error), 80, 0, &bytes), JpegStatus::Ok);
        } while (++*passes < 5 && bytes.size() > 60000);
    }
    return bytes;
}

} // namespace

TEST(RegistryPhoto, ThresholdsOfTheSizeStep)
{
    const BgrImage small = gradientImage(200, 200);
    const QByteArray justBelow = jpegOfLength(small, 54999);
    RegistryPhoto photo = compressRegistryPhoto(justBelow);
    EXPECT_EQ(photo.sizeStepPasses, 0);
    EXPECT_EQ(photo.bytes, justBelow);

    for (qsizetype length : {55000, 57000, 60000}) {
        photo = compressRegistryPhoto(jpegOfLength(small, length));
        EXPECT_EQ(photo.sizeStepPasses, 1) << length;
        EXPECT_LT(photo.bytes.size(), 55000) << length;
        EXPECT_EQ(jfifDensity(photo.bytes).x, 96) << "the resolution is kept";
    }

    // Noise stays large: five passes, then the step gives up without a message.
    photo = compressRegistryPhoto(encodeBitmap(noiseImage(600, 600)));
    EXPECT_EQ(photo.sizeStepPasses, 5);
    EXPECT_GT(photo.bytes.size(), 60000);
    EXPECT_TRUE(isJpegFile(photo.bytes));
    EXPECT_TRUE(photo.messages.isEmpty());
}

TEST(RegistryPhoto, SameBytesAsTheStepsComposedOneAfterAnother)
{
    const BgrImage captures[] = {gradientImage(300, 369), noiseImage(300, 369),
                                 gradientImage(120, 100)};
    int sizeStepsRun[2] = {0, 0};
    int sizeStepsSkipped[2] = {0, 0};
    for (const BgrImage &capture : captures) {
        for (bool adjustDpi : {true, false}) {
            for (bool compress : {true, false}) {
                int passes = 0;
                const QByteArray expected = composedSteps(capture, adjustDpi, compress, &passes);
                const RegistryPhoto photo = makeRegistryPhoto(capture, adjustDpi, compress);
                ASSERT_EQ(photo.bytes, expected)
                    << capture.width() << " dpi " << adjustDpi << " compress " << compress;
                EXPECT_EQ(photo.sizeStepPasses, passes);
                EXPECT_TRUE(photo.messages.isEmpty());
                if (compress)
                    ++(passes > 0 ? sizeStepsRun : sizeStepsSkipped)[adjustDpi];
            }
        }
    }
    for (int adjustDpi : {0, 1}) {
        EXPECT_GT(sizeStepsRun[adjustDpi], 0) << adjustDpi;
        EXPECT_GT(sizeStepsSkipped[adjustDpi], 0) << adjustDpi;
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
