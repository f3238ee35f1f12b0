// Lumo's own camera view (a picture file served as the camera) and the watched folder, with the
// real lumo program; and the camera view on a Wayland compositor.
#include "settings/LumoSettings.h"
#include "tests/e2e/EndToEnd.h"

#include <QBuffer>

namespace {

QColor patternAt(int x, int y)
{
    return QColor((x * 7) % 256, (y * 3) % 256, ((x + y) / 5) % 256);
}

// A 1280 x 720 camera picture with a known colour in every pixel.
QImage cameraPicture()
{
    QImage picture(1280, 720, QImage::Format_RGB32);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            picture.setPixelColor(x, y, patternAt(x, y));
    return picture;
}

class SourcesEndToEnd : public ClassSessionEndToEnd
{
protected:
    void useSource(settings::PhotoSourceKind source)
    {
        ASSERT_TRUE(settings::writeLumoSettings(folder.filePath(u"config/lumo.ini"_s),
                                                {source, {}, {}, dropFolder()}, nullptr));
        QDir(folder.path()).mkdir(u"drop"_s);
        ASSERT_TRUE(cameraPicture().save(cameraFile()));
    }
    QString dropFolder() const { return folder.filePath(u"drop"_s); }
    QString cameraFile() const { return folder.filePath(u"camera.png"_s); }
};

} // namespace

TEST_F(SourcesEndToEnd, TheBuiltInCameraTakesTheCameraPixelsUnderTheFrame)
{
    useSource(settings::PhotoSourceKind::Camera);
    startLumo({u"--camera-file"_s, cameraFile()});
    importClass();
    ASSERT_TRUE(waitUntil([] { return !windowNamed(u"Lumo 摄像头"_s).isEmpty(); }));
    EXPECT_TRUE(windowNamed(u"相框"_s).isEmpty()) << "no frame over other programs";
    QTest::qWait(500);
    const double scale = 1280.0 / windowGeometry(windowNamed(u"Lumo 摄像头"_s)).width();

    key("Caps_Lock");
    // The backup is written after the photo.
    ASSERT_TRUE(waitUntil([&] {
        return QFileInfo::exists(photoOf(kStudent1)) && QFileInfo::exists(backupOf(kStudent1));
    }));
    QString error;
    const photo::BgrImage crop = photo::readPictureFile(backupOf(kStudent1), &error);
    ASSERT_EQ(crop.width(), qRound(300 * scale))
        << "the camera's own pixels" << error.toStdString();
    int wrong = 0;
    for (int y = 0; y < qMin(crop.height(), 720); ++y) {
        for (int x = 0; x < crop.width(); ++x) {
            const std::uint8_t *pixel = crop.row(y) + 3 * x;
            wrong += QColor(pixel[2], pixel[1], pixel[0]) != patternAt(x, y);
        }
    }
    EXPECT_EQ(wrong, 0) << "the backup is the camera picture under the frame";
    QByteArray expected;
    ASSERT_EQ(photo::encodeJpeg(photo::resample(crop, 260, 320), 100, 254, &expected),
              photo::JpegStatus::Ok);
    EXPECT_TRUE(readBytes(photoOf(kStudent1)) == expected);
}

TEST_F(SourcesEndToEnd, PicturesDroppedIntoTheWatchedFolderBecomePhotos)
{
    useSource(settings::PhotoSourceKind::Folder);
    startLumo();
    importClass();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(cameraPicture().save(&buffer, "JPEG"));

    // A tethering program writes the picture in two goes: only the whole picture is taken.
    QFile dropped(QDir(dropFolder()).filePath(u"IMG_0001.JPG"_s));
    ASSERT_TRUE(dropped.open(QIODevice::WriteOnly));
    dropped.write(jpeg.left(jpeg.size() / 2));
    dropped.flush();
    QTest::qWait(1500);
    EXPECT_FALSE(QFileInfo::exists(photoOf(kStudent1)));
    dropped.write(jpeg.mid(jpeg.size() / 2));
    dropped.close();
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(photoOf(kStudent1)); }));

    writeBytes(QDir(dropFolder()).filePath(u"IMG_0002.JPG"_s), jpeg);
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(photoOf(kStudent2)); }));
    ::kill(pid_t(lumo.processId()), SIGTERM);
    ASSERT_TRUE(lumo.waitForFinished(15000));
    roster::RosterTable marked;
    ASSERT_TRUE(roster::importRoster(workbook(), marked).ok);
    EXPECT_EQ(marked.photoMark(1), roster::kPhotoTakenMark);
    EXPECT_EQ(marked.photoMark(2), roster::kPhotoTakenMark);
}

// On a Wayland compositor (weston, headless) the camera view shows the picture with the frame's
// lines drawn over it (the main window may lie over the inner box).
TEST_F(SourcesEndToEnd, OnWaylandTheCameraViewShowsTheFrame)
{
    useSource(settings::PhotoSourceKind::Camera);
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment wayland = QProcessEnvironment::systemEnvironment();
    wayland.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
    wayland.insert(u"HOME"_s, folder.path());
    QProcess weston;
    weston.setProcessEnvironment(wayland);
    weston.start(u"weston"_s, {u"--backend=headless-backend.so"_s, u"--use-pixman"_s, u"--debug"_s,
                               u"--socket=lumo-test"_s, u"--width=1024"_s, u"--height=768"_s,
                               u"--idle-time=0"_s});
    ASSERT_TRUE(weston.waitForStarted());
    ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(runtime.filePath(u"lumo-test"_s)); }));
    wayland.remove(u"DISPLAY"_s);
    wayland.insert(u"WAYLAND_DISPLAY"_s, u"lumo-test"_s);
    lumo.setProcessEnvironment(wayland);
    lumo.start(folder.filePath(u"lumo"_s), {u"--camera-file"_s, cameraFile()});
    ASSERT_TRUE(lumo.waitForStarted());
    QTest::qWait(4000);
    ASSERT_EQ(lumo.state(), QProcess::Running) << lumo.readAllStandardError().toStdString();

    QProcess screenshot;
    screenshot.setProcessEnvironment(wayland);
    screenshot.setWorkingDirectory(folder.path());
    screenshot.start(u"weston-screenshooter"_s, {});
    ASSERT_TRUE(screenshot.waitForFinished(10000));
    const QStringList shots = QDir(folder.path()).entryList({u"wayland-screenshot*.png"_s});
    ASSERT_EQ(shots.size(), 1);
    const QImage screen(folder.filePath(shots.first()));
    int green = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            green += (screen.pixel(x, y) & 0xFFFFFF) == 0x00FF00;
    EXPECT_GT(green, 300) << "the frame's outer border and centre line";

    ::kill(pid_t(lumo.processId()), SIGTERM);
    EXPECT_TRUE(lumo.waitForFinished(15000));
    EXPECT_EQ(lumo.exitCode(), 0);
    weston.terminate();
    weston.waitForFinished();
}
