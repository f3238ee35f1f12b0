// "lumo-cli photo" as a script runs it; what the steps make is proven by the photo tests.
#include "photo/BitmapCodec.h"
#include "photo/JpegCodec.h"
#include "photo/RegistryPhoto.h"
#include "photo/Resampler.h"
#include "tests/checks/FacePhotos.h"
#include "tests/photo/PhotoTestImages.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

    // Its .jpg files, in any case, with every measured field of a photo.
    const ProgramRun before = photo({"check", "--json", folder.path()});
    EXPECT_EQ(before.exitCode, 1);
    const QJsonArray objects = QJsonDocument::fromJson(before.outBytes).array();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0].toObject(),
              (QJsonObject{{"path", capture},
                           {"readable", true},
                           {"format", "BMP"},
                           {"width", 300},
                           {"height", 369},
                           {"dpiX", 96},
                           {"dpiY", 96},
                           {"bytes", bitmap.size()},
                           {"fits", false},
                           {"problems", QJsonArray{"format", "pixel-size", "dpi", "bytes"}}}));
    EXPECT_EQ(objects[1]["problems"], QJsonArray{"unreadable"});
    EXPECT_FALSE(objects[1]["error"].toString().isEmpty());

    // A folder without photos: nothing checked is no success.
    QTemporaryDir empty;
    const ProgramRun none = photo({"check", empty.path()});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("no photo was checked")) << none.err.toStdString();

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

    // A file that does not exist is a usage error: nothing is converted. A file that is no
    // picture fails by name; the others are converted.
    const ProgramRun gone = photo({"convert", capture, folder.filePath("gone.jpg")});
    EXPECT_EQ(gone.exitCode, 2);
    EXPECT_TRUE(gone.err.contains("gone.jpg does not exist"));
    EXPECT_EQ(readBytes(capture), bitmap);
    ProgramRun converted = photo({"convert", capture, text, other});
    EXPECT_EQ(converted.exitCode, 1);
    EXPECT_TRUE(converted.err.contains("notes.jpg"));
    EXPECT_EQ(readBytes(text), QByteArray("no picture"));
    EXPECT_EQ(readBytes(capture), makeRegistryPhoto(picture, true, true).bytes);
    const ProgramRun after = photo({"check", capture, other});
    EXPECT_EQ(after.exitCode, 0);
    EXPECT_EQ(after.out, converted.out.replace("\n", ": ok\n"));
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
    using phototest::claiming;
    const QMap<QString, QByteArray> refused = {
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
        EXPECT_TRUE(check.out == folder.filePath(name) + ": unreadable\n" &&
                    convert.err.contains(folder.filePath(name)))
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
        return folder.filePath(name);
    };
    const auto &photos = checkstest::facePhotos();
    const QString good = write("1.jpg", photos.front().image);
    const auto noFace =
        std::ranges::find_if(photos, [](const auto &p) { return p.fault == "no-face"; });
    const QString empty = write("2.jpg", noFace->image);
    const ProgramRun both = photo({"check", "--framing", folder.path()});
    EXPECT_EQ(both.exitCode, 1);
    EXPECT_EQ(both.out, good + "\tok\n" + empty + "\tno-face\n");
    const ProgramRun json = photo({"check", "--framing", "--json", good});
    EXPECT_EQ(json.exitCode, 0);
    const QJsonValue verdict = QJsonDocument::fromJson(json.outBytes).array()[0];
    EXPECT_EQ(verdict["codes"], QJsonArray());
    EXPECT_GT(verdict["face"]["width"].toDouble(), 0) << json.out.toStdString();

    EXPECT_EQ(photo({"check", "--framing"}).exitCode, 2);
    QTemporaryDir none;
    EXPECT_EQ(photo({"check", "--framing", none.path()}).exitCode, 1);
}

TEST(LumoCliPhoto, NamesThatAreNotUtf8AreConvertedCheckedAndPrintedAsTheirBytes)
{
    // A folder and a photo named in GBK ("照片/张三.jpg"), as a USB stick from Windows holds them.
    QTemporaryDir root;
    const QByteArray folder = "\xD5\xD5\xC6\xAC", file = folder + "/\xD5\xC5\xC8\xFD.jpg";
    const QByteArray rootBytes = QFile::encodeName(root.path()) + '/';
    ASSERT_EQ(::mkdir((rootBytes + folder).constData(), 0700), 0);
    writeBytes(root.filePath("1.jpg"), encodeBitmap(phototest::gradientImage(300, 369)));
    ASSERT_EQ(::rename((rootBytes + "1.jpg").constData(), (rootBytes + file).constData()), 0);
    // The shell passes the names as bytes (QProcess would pass UTF-8).
    const auto run = [&](const QString &command, const QString &pattern) {
        return runProgram("/bin/sh",
                          {"-c", "cd \"$1\" && exec \"$0\" photo " + command + ' ' + pattern,
                           LUMO_CLI_PATH, root.path()});
    };
    const ProgramRun converted = run("convert", "*/*.jpg");
    EXPECT_EQ(converted.exitCode, 0) << converted.err.toStdString();
    EXPECT_TRUE(converted.outBytes.startsWith(file + ": JPEG, 260 x 320 px, 254 dpi, "))
        << converted.outBytes.toStdString();
    const ProgramRun checked = run("check", "*");
    EXPECT_EQ(checked.exitCode, 0) << checked.err.toStdString();
    EXPECT_EQ(checked.outBytes, QByteArray(converted.outBytes).replace("\n", ": ok\n"));
    // In JSON a byte that is not UTF-8 is "\udcXX", as Python's surrogateescape reads it (the
    // GBK bytes of 片 happen to be the UTF-8 of Ƭ).
    const ProgramRun json = run("check --json", "*/*");
    EXPECT_TRUE(json.out.contains(R"("path": "\udcd5\udcd5Ƭ/\udcd5\udcc5\udcc8\udcfd.jpg")"))
        << json.out.toStdString();
}

TEST(LumoCliPhoto, ConvertBestSearchesTheQualityThatFillsTheSizeLimit)
{
    QTemporaryDir folder;
    const QString file = folder.filePath("a.jpg");
    const BgrImage capture = phototest::noiseImage(300, 369);
    writeBytes(file, encodeBitmap(capture));
    ASSERT_EQ(photo({"convert", "--best", file}).exitCode, 0);
    EXPECT_EQ(readBytes(file), makeRegistryPhoto(capture, true, true, Quality::Best).bytes);
}
