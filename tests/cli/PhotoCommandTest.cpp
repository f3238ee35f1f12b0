#include "photo/BitmapCodec.h"
#include "photo/PictureFile.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::photo;
using namespace Qt::StringLiterals;
using namespace phototest;

namespace {

ProgramRun photoCommand(QStringList arguments)
{
    return runProgram(QStringLiteral(LUMO_CLI_PATH), QStringList{u"photo"_s} + arguments);
}

} // namespace

TEST(LumoCliPhoto, ConvertMakesTheSavesPhotoAndSaysWhatItMade)
{
    QTemporaryDir folder;
    const QString capture = folder.filePath(u"11010520080101123X.jpg"_s);
    const QString large = folder.filePath(u"large.JPG"_s);
    const QString other = folder.filePath(u"other.bmp"_s);
    const QByteArray bitmap = encodeBitmap(gradientImage(300, 369));
    writeBytes(capture, bitmap);
    writeBytes(large, encodeBitmap(gradientImage(780, 960)));
    writeBytes(other, bitmap);

    const ProgramRun before = photoCommand({u"check"_s, folder.path()});
    EXPECT_EQ(before.exitCode, 1);
    EXPECT_TRUE(before.out.contains(u"BMP, 300 x 369 px, 96 dpi"_s)) << before.out.toStdString();
    EXPECT_FALSE(before.out.contains(u"other.bmp"_s)) << "a folder stands for its .jpg files";

    ProgramRun converted = photoCommand({u"convert"_s, capture, large});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_EQ(readBytes(capture), makeRegistryPhoto(gradientImage(300, 369), true, true).bytes);
    const ProgramRun after = photoCommand({u"check"_s, capture, large});
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_EQ(after.out, converted.out.replace(u'\n', u": ok\n"_s));
    EXPECT_TRUE(after.out.contains(u"JPEG, 260 x 320 px, 254 dpi"_s));

    // Without the DPI step only the size step runs; without both nothing changes.
    EXPECT_EQ(photoCommand({u"convert"_s, u"--no-dpi"_s, u"--no-compress"_s, other}).exitCode, 0);
    EXPECT_EQ(readBytes(other), bitmap);
    EXPECT_EQ(photoCommand({u"convert"_s, u"--no-dpi"_s, other}).exitCode, 0);
    EXPECT_EQ(readBytes(other), compressRegistryPhoto(bitmap).bytes);
}

TEST(LumoCliPhoto, ResampleWritesTheResamplerOutputLosslessly)
{
    QTemporaryDir folder;
    const QString in = folder.filePath(u"in.jpg"_s);
    const BgrImage source = noiseImage(90, 70, 3);
    writeBytes(in, encodeBitmap(source));
    const BgrImage expected = resample(source, 33, 44, ResampleKernel::Reference);
    const QString bmp = folder.filePath(u"out.bmp"_s);
    const QString png = folder.filePath(u"out.png"_s);
    for (const QString &out : {bmp, png})
        ASSERT_EQ(photoCommand({u"resample"_s, in, out, u"--size"_s, u"33x44"_s}).exitCode, 0);
    QString error;
    EXPECT_EQ(readPictureFile(bmp, &error), expected);
    const QImage written = QImage(png).convertToFormat(QImage::Format_BGR888); // Qt's PNG reader
    EXPECT_EQ(BgrImage::fromRows(written.constBits(), written.bytesPerLine(), 33, 44), expected);
    EXPECT_EQ(photoCommand({u"resample"_s, in, bmp}).exitCode, 0);
    EXPECT_EQ(readPictureFile(bmp, &error).width(), 260);
}

TEST(LumoCliPhoto, MissingAndUnreadableFilesAndWrongArgumentsFailClearly)
{
    QTemporaryDir folder;
    const QString text = folder.filePath(u"notes.jpg"_s);
    writeBytes(text, "no picture");
    const QString missing = folder.filePath(u"gone.jpg"_s);
    const ProgramRun run = photoCommand({u"convert"_s, text, missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(u"notes.jpg"_s) && run.err.contains(u"gone.jpg"_s))
        << run.err.toStdString();
    EXPECT_EQ(readBytes(text), QByteArray("no picture"));
    EXPECT_EQ(photoCommand({u"check"_s, text}).exitCode, 1);
    EXPECT_EQ(photoCommand({u"resample"_s, missing, folder.filePath(u"o.bmp"_s)}).exitCode, 1);

    for (const QStringList &wrong : {QStringList{u"check"_s, missing},
                                     {u"convert"_s},
                                     {u"frobnicate"_s},
                                     {u"resample"_s, text, u"o.gif"_s},
                                     {u"resample"_s, text, u"o.bmp"_s, u"--size"_s, u"0x5"_s}})
        EXPECT_EQ(photoCommand(wrong).exitCode, 2) << wrong.join(u' ').toStdString();
    for (const QString &command : {u"convert"_s, u"check"_s, u"resample"_s})
        EXPECT_TRUE(photoCommand({command, u"--help"_s})
                        .out.startsWith(u"usage: lumo-cli photo "_s + command));
}
