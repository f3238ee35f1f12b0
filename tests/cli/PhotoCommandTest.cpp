// "lumo-cli photo" as a script runs it; what the steps make is proven by the photo tests.
#include "photo/BitmapCodec.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace lumo::photo;

namespace {
ProgramRun photo(const QStringList &arguments)
{
    return runProgram(LUMO_CLI_PATH, QStringList{"photo"} + arguments);
}
} // namespace

TEST(LumoCliPhoto, EachCommandOnTheFilesOfAFolder)
{
    QTemporaryDir folder;
    const QString capture = folder.filePath("11010520080101123X.JPG");
    const QString other = folder.filePath("other.bmp"), text = folder.filePath("notes.jpg");
    const BgrImage picture = phototest::gradientImage(300, 369);
    const QByteArray bitmap = encodeBitmap(picture);
    writeBytes(capture, bitmap);
    writeBytes(other, bitmap);
    writeBytes(text, "no picture");

    const ProgramRun before = photo({"check", folder.path()}); // its .jpg files, in any case
    EXPECT_EQ(before.exitCode, 1);
    EXPECT_EQ(before.out.count(u'\n'), 2) << before.out.toStdString();
    EXPECT_TRUE(before.out.contains("BMP, 300 x 369 px, 96 dpi")) << before.out.toStdString();
    EXPECT_TRUE(before.out.contains("notes.jpg: unreadable"));

    // resample writes the resampler's output without loss, 260 x 320 unless told otherwise.
    EXPECT_EQ(photo({"resample", other, other + ".bmp"}).exitCode, 0);
    EXPECT_EQ(photo({"resample", other, other + ".png", "--size", "33x44"}).exitCode, 0);
    EXPECT_EQ(photo({"resample", text, other + ".bmp"}).exitCode, 1);
    EXPECT_EQ(readBytes(other + ".bmp"), encodeBitmap(resample(picture, 260, 320)));
    // The PNG as Qt's own reader sees it.
    const QImage png = QImage(other + ".png").convertToFormat(QImage::Format_BGR888);
    EXPECT_EQ(BgrImage::fromRows(png.constBits(), png.bytesPerLine(), 33, 44),
              resample(picture, 33, 44));

    // Without the DPI step only the size step runs; without both nothing changes.
    EXPECT_EQ(photo({"convert", "--no-dpi", "--no-compress", other}).exitCode, 0);
    EXPECT_EQ(readBytes(other), bitmap);
    EXPECT_EQ(photo({"convert", "--no-dpi", other}).exitCode, 0);
    EXPECT_EQ(readBytes(other), compressRegistryPhoto(bitmap).bytes);

    // A file that is no picture, or none at all, fails by name; the others are converted.
    ProgramRun converted = photo({"convert", capture, text, other, folder.filePath("gone.jpg")});
    EXPECT_EQ(converted.exitCode, 1);
    EXPECT_TRUE(converted.err.contains("notes.jpg") && converted.err.contains("gone.jpg"));
    EXPECT_EQ(readBytes(text), QByteArray("no picture"));
    EXPECT_EQ(readBytes(capture), makeRegistryPhoto(picture, true, true).bytes);
    const ProgramRun after = photo({"check", capture, other});
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_EQ(after.out, converted.out.replace("\n", ": ok\n"));
}

TEST(LumoCliPhoto, WrongArgumentsExitWithTwoAndEachCommandTellsItsUsage)
{
    for (const char *wrong : {"check /nonexistent/gone.jpg", "convert", "frobnicate",
                              "resample in.jpg out.gif", "resample in.jpg out.bmp --size 0x5"})
        EXPECT_EQ(photo(QString(wrong).split(' ')).exitCode, 2) << wrong;
    for (const QString command : {"convert", "check", "resample"})
        EXPECT_TRUE(photo({command, "--help"}).out.startsWith("usage: lumo-cli photo " + command));
}
