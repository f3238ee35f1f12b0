#include "photo/Cimage.h"
#include "photo/JpegWriter.h"
#include "photo/PictureFile.h"
#include "photo/ResizeImage.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace phototest;

namespace {

ProgramRun lumoCli(const QStringList &arguments)
{
    return runProgram(QStringLiteral(LUMO_CLI_PATH), arguments);
}

} // namespace

TEST(LumoCliPhoto, ConvertMakesRegistryPhotosThatCheckAccepts)
{
    QTemporaryDir folder;
    const QString capture = folder.filePath(QStringLiteral("11010520080101123X.jpg"));
    const QString noisy = folder.filePath(QStringLiteral("noisy.JPG"));
    photo::SaveBitmap(gradientImage(300, 369), capture);
    photo::SaveBitmap(noiseImage(780, 960), noisy);

    ProgramRun before = lumoCli({QStringLiteral("photo"), QStringLiteral("check"), folder.path()});
    EXPECT_EQ(before.exitCode, 1);
    EXPECT_TRUE(before.out.contains(QStringLiteral("BMP, 300 x 369 px")))
        << before.out.toStdString();

    ProgramRun converted =
        lumoCli({QStringLiteral("photo"), QStringLiteral("convert"), capture, noisy});
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    const QImage photo = photo::LoadPicture(capture);
    EXPECT_EQ(photo.size(), QSize(260, 320));
    EXPECT_EQ(jfifDensity(readBytes(capture)).x, 254);

    ProgramRun after = lumoCli({QStringLiteral("photo"), QStringLiteral("check"), folder.path()});
    // Noise stays above 60000 bytes after five passes; the smooth capture fits.
    EXPECT_EQ(after.exitCode, QFileInfo(noisy).size() > 60000 ? 1 : 0) << after.out.toStdString();
    EXPECT_TRUE(
        after.out.contains(QStringLiteral("11010520080101123X.jpg: JPEG, 260 x 320 px, 254 dpi")))
        << after.out.toStdString();
    ProgramRun single = lumoCli({QStringLiteral("photo"), QStringLiteral("check"), capture});
    EXPECT_EQ(single.exitCode, 0) << single.out.toStdString();
    EXPECT_TRUE(single.out.trimmed().endsWith(QStringLiteral("ok")));
}

TEST(LumoCliPhoto, ConvertWithoutTheDpiStepOnlyCompresses)
{
    QTemporaryDir folder;
    const QString capture = folder.filePath(QStringLiteral("a.jpg"));
    photo::SaveBitmap(gradientImage(300, 369), capture);
    ProgramRun run = lumoCli(
        {QStringLiteral("photo"), QStringLiteral("convert"), QStringLiteral("--no-dpi"), capture});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(isJpegFile(readBytes(capture)));
    EXPECT_EQ(photo::LoadPicture(capture).size(), QSize(300, 369));

    const QString other = folder.filePath(QStringLiteral("b.jpg"));
    photo::SaveBitmap(gradientImage(300, 369), other);
    run = lumoCli({QStringLiteral("photo"), QStringLiteral("convert"), QStringLiteral("--no-dpi"),
                   QStringLiteral("--no-compress"), other});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(isBitmapFile(readBytes(other)));
}

TEST(LumoCliPhoto, MissingAndUnreadableFilesFailClearly)
{
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("notes.jpg"));
    writeBytes(text, "no picture");
    const QString missing = folder.filePath(QStringLiteral("gone.jpg"));

    ProgramRun run = lumoCli({QStringLiteral("photo"), QStringLiteral("convert"), text, missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("notes.jpg"))) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("gone.jpg")));
    EXPECT_EQ(readBytes(text), QByteArray("no picture"));
    EXPECT_FALSE(QFileInfo::exists(missing));

    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("check"), missing}).exitCode, 2);
    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("check"), text}).exitCode, 1);
    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("resample"), missing,
                       folder.filePath(QStringLiteral("o.bmp"))})
                  .exitCode,
              1);
    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("convert")}).exitCode, 2);
    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("frobnicate")}).exitCode, 2);
    for (const QString &command :
         {QStringLiteral("convert"), QStringLiteral("check"), QStringLiteral("resample")}) {
        ProgramRun help = lumoCli({QStringLiteral("photo"), command, QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("usage: lumo-cli photo ") + command));
    }
}

TEST(LumoCliPhoto, ResampleWritesTheResamplerOutputLosslessly)
{
    QTemporaryDir folder;
    const QString in = folder.filePath(QStringLiteral("in.jpg"));
    const QImage source = noiseImage(90, 70, 3);
    photo::SaveBitmap(source, in);
    photo::Cimage sourceImage;
    ASSERT_TRUE(sourceImage.LoadPicture(source));
    const QImage expected =
        photo::ResizeImage(sourceImage, 33, 44, photo::ResampleKernel::Reference).toImage();

    for (const QString &name : {QStringLiteral("out.bmp"), QStringLiteral("out.png")}) {
        const QString out = folder.filePath(name);
        ProgramRun run = lumoCli({QStringLiteral("photo"), QStringLiteral("resample"), in, out,
                                  QStringLiteral("--size"), QStringLiteral("33x44")});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QImage written = photo::LoadPicture(out).convertToFormat(QImage::Format_BGR888);
        ASSERT_EQ(written.size(), QSize(33, 44));
        for (int y = 0; y < 44; ++y)
            ASSERT_EQ(QByteArray(reinterpret_cast<const char *>(written.constScanLine(y)), 99),
                      QByteArray(reinterpret_cast<const char *>(expected.constScanLine(y)), 99))
                << name.toStdString() << " row " << y;
    }
    ProgramRun defaultSize = lumoCli({QStringLiteral("photo"), QStringLiteral("resample"), in,
                                      folder.filePath(QStringLiteral("d.bmp"))});
    EXPECT_EQ(defaultSize.exitCode, 0);
    EXPECT_EQ(photo::LoadPicture(folder.filePath(QStringLiteral("d.bmp"))).size(), QSize(260, 320));
    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("resample"), in,
                       folder.filePath(QStringLiteral("d.gif"))})
                  .exitCode,
              2);
    EXPECT_EQ(lumoCli({QStringLiteral("photo"), QStringLiteral("resample"), in,
                       folder.filePath(QStringLiteral("d.bmp")), QStringLiteral("--size"),
                       QStringLiteral("0x5")})
                  .exitCode,
              2);
}
