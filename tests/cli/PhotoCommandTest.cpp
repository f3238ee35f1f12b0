// "lumo-cli photo" as a script runs it; what the steps make is proven by the photo tests.
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"
#include "tests/checks/FacePhotos.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

using namespace lumo::photo;

namespace {
ProgramRun photo(const QStringList &arguments)
{
    return runProgram(LUMO_CLI_PATH, QStringList{"photo"} + arguments);
}

// The baseline JPEG with its frame header claiming another size, and a progressive one if asked.
QByteArray claiming(QByteArray jpeg, quint16 width, quint16 height, bool progressive = false)
{
    const qsizetype frame = jpeg.indexOf("\xFF\xC0");
    jpeg[frame + 1] = progressive ? '\xC2' : '\xC0';
    qToBigEndian(height, jpeg.data() + frame + 5);
    qToBigEndian(width, jpeg.data() + frame + 7);
    return jpeg;
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

TEST(LumoCliPhoto, EveryInputEndsCleanlyWithin256MiBOfAddressSpace)
{
    // The 50-megapixel picture is allowed and converted; every other file is refused by name and
    // left as it was, without a crash or a wait.
    QTemporaryDir folder;
    QByteArray registry, allowed;
    ASSERT_EQ(encodeJpeg(phototest::gradientImage(260, 320), 90, 254, &registry), JpegStatus::Ok);
    ASSERT_EQ(encodeJpeg(phototest::gradientImage(10000, 5000), 90, 0, &allowed), JpegStatus::Ok);
    QByteArray bitmap = encodeBitmap(phototest::gradientImage(100, 100));
    qToLittleEndian<qint32>(10000, bitmap.data() + 18); // 10000 x 5000 declared, 100 x 100 there
    qToLittleEndian<qint32>(5000, bitmap.data() + 22);
    const QMap<QString, QByteArray> refused = {
        {"truncated.jpg", registry.left(registry.size() / 2)},
        {"claims20000.jpg", claiming(registry, 20000, 20000)},
        {"claims50mp.jpg", claiming(registry, 10000, 5000)},        // its data ends after 260 x 320
        {"progressive.jpg", claiming(registry, 10000, 5000, true)}, // 150 MB of coefficients
        {"claims50mp.bmp", bitmap}};
    for (const auto &[name, bytes] : refused.asKeyValueRange())
        writeBytes(folder.filePath(name), bytes);
    ASSERT_EQ(mkfifo(QFile::encodeName(folder.filePath("pipe.jpg")).constData(), 0600), 0);
    writeBytes(folder.filePath("allowed.jpg"), allowed);

    const auto limited = [](const QString &command, const QString &file) {
        return runProgram("prlimit", {"--as=268435456", LUMO_CLI_PATH, "photo", command, file},
                          20000);
    };
    for (const QString &file : {folder.filePath("pipe.jpg"), QString("/dev/zero")}) // not read
        for (const QString command : {"check", "convert"})
            EXPECT_EQ(limited(command, file).exitCode, 1) << file.toStdString();
    for (const auto &[name, bytes] : refused.asKeyValueRange()) {
        const ProgramRun check = limited("check", folder.filePath(name));
        const ProgramRun convert = limited("convert", folder.filePath(name));
        EXPECT_EQ(std::pair(check.exitCode, convert.exitCode), std::pair(1, 1))
            << name.toStdString();
        EXPECT_TRUE(check.out.startsWith(folder.filePath(name) + ": unreadable: ") &&
                    convert.err.startsWith(folder.filePath(name)))
            << check.out.toStdString() << convert.err.toStdString();
        EXPECT_EQ(readBytes(folder.filePath(name)), bytes) << name.toStdString();
    }
    EXPECT_EQ(limited("convert", folder.filePath("allowed.jpg")).exitCode, 0);
    EXPECT_TRUE(limited("check", folder.filePath("allowed.jpg")).out.endsWith(": ok\n"));
}

TEST(LumoCliPhoto, AFullDiskIsReportedWithTheSystemsReasonAfterTheKnownText)
{
    // A file-size limit of 1 KiB stands for the full disk: the file stays as it was.
    QTemporaryDir folder;
    const QString file = folder.filePath("photo.jpg");
    const QByteArray capture = encodeBitmap(phototest::gradientImage(300, 369));
    writeBytes(file, capture);
    const ProgramRun full =
        runProgram("/bin/bash", {"-c", "ulimit -f 1 && LC_ALL=C exec \"$0\" photo convert \"$1\"",
                                 LUMO_CLI_PATH, file});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_TRUE(full.err.contains("Cannot save the image. GDI+ Error:7 ") &&
                full.err.endsWith("File too large\n"))
        << full.err.toStdString();
    EXPECT_EQ(readBytes(file), capture);
}

TEST(LumoCliPhoto, CheckFramingPrintsWhatTheRegistryWouldReject)
{
    QTemporaryDir folder;
    const auto write = [&](const QString &name, const BgrImage &image) {
        QByteArray jpeg;
        encodeJpeg(image, 95, 254, &jpeg);
        writeBytes(folder.filePath(name), jpeg);
        return QDir::toNativeSeparators(folder.filePath(name));
    };
    const auto &photos = checkstest::facePhotos();
    const auto noFace = std::find_if(photos.begin(), photos.end(),
                                     [](const auto &p) { return p.fault == "no-face"; });
    const QString good = write("1.jpg", photos.front().image);
    const QString empty = write("2.jpg", noFace->image);

    EXPECT_EQ(photo({"check", "--framing", good}).exitCode, 0);
    const ProgramRun both = photo({"check", "--framing", folder.path()});
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_EQ(both.out, good + "\tok\n" + empty + "\tno-face\n");
    EXPECT_EQ(photo({"check", "--framing"}).exitCode, 2);
}

TEST(LumoCliPhoto, ConvertBestFillsTheSizeLimitWithQuality)
{
    QTemporaryDir folder;
    const QString registry = folder.filePath("a.jpg"), best = folder.filePath("b.jpg");
    const QByteArray capture = encodeBitmap(phototest::noiseImage(300, 369));
    writeBytes(registry, capture);
    writeBytes(best, capture);
    ASSERT_EQ(photo({"convert", registry}).exitCode, 0);
    ASSERT_EQ(photo({"convert", "--best", best}).exitCode, 0);
    EXPECT_LE(readBytes(best).size(), kCompressTargetBytes);
    EXPECT_GT(readBytes(best).size(), readBytes(registry).size());
}
