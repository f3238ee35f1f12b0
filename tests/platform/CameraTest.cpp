// The file camera through Qt Multimedia's GStreamer back end, on a clip made here and on a picture
// file; what cannot be played is told. The computer's camera where there is none.
#include "platform/camera/FileCamera.h"
#include "platform/camera/QtCamera.h"
#include "tests/support/ProgramRun.h"
#include "tests/support/TestFiles.h"

#include <QMediaDevices>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

using namespace lumo::platform;

TEST(FileCamera, PlaysAClipOnInALoopInTheClipsOwnPixels)
{
    QTemporaryDir folder;
    const QString clip = folder.filePath("bars.avi"); // half a second, Motion JPEG as webcams send
    const ProgramRun made = runProgram(
        "gst-launch-1.0", {"-q", "videotestsrc", "num-buffers=15", "pattern=smpte", "!",
                           "video/x-raw,width=1280,height=720,framerate=30/1", "!", "jpegenc", "!",
                           "avimux", "!", "filesink", "location=" + clip});
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    // Served under a name that is not UTF-8 ("条纹.avi" in GBK), as from a Windows USB stick.
    const QByteArray gbkClip = QFile::encodeName(folder.path()) + "/\xcc\xf5\xce\xc6.avi";
    ASSERT_EQ(::rename(QFile::encodeName(clip).constData(), gbkClip.constData()), 0);
    FileCamera camera(gbkClip, clip);
    ASSERT_EQ(camera.devices().size(), 1);
    QSignalSpy frames(&camera, &LiveCamera::frameArrived);
    camera.start(camera.devices().constFirst().id);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames.size() > 30; }, 10000)) << frames.size();

    const QImage frame = camera.latestFrame();
    ASSERT_EQ(frame.size(), QSize(1280, 720));
    // The colour bars across the top in their order; below the first and the last, blue and white.
    const QList<QColor> bars = {Qt::white,   Qt::yellow, Qt::cyan, Qt::green,
                                Qt::magenta, Qt::red,    Qt::blue};
    const auto near = [&](int x, int y, QColor colour) {
        const QColor seen = frame.pixelColor(x, y);
        return std::max({qAbs(seen.red() - colour.red()), qAbs(seen.green() - colour.green()),
                         qAbs(seen.blue() - colour.blue())}) < 40;
    };
    for (int bar = 0; bar < 7; ++bar)
        EXPECT_TRUE(near(91 + bar * 1280 / 7, 180, bars[bar])) << bar;
    EXPECT_TRUE(near(91, 500, Qt::blue) && near(1188, 500, Qt::white));
    EXPECT_TRUE(camera.problem().isEmpty());

    camera.stop();
    EXPECT_TRUE(camera.latestFrame().isNull());
    const qsizetype stoppedAt = frames.size();
    QTest::qWait(300);
    EXPECT_EQ(frames.size(), stoppedAt);
    ::unlink(gbkClip.constData()); // QTemporaryDir removes only names Qt can decode
}

TEST(FileCamera, ShowsAPictureFileAgainAndAgainPixelForPixel)
{
    QTemporaryDir folder;
    QImage picture(640, 480, QImage::Format_RGB32);
    for (int at = 0; at < 640 * 480; ++at)
        picture.setPixel(at % 640, at / 640, qRgb(at % 640 % 256, at / 640 % 256, at % 251));
    const QString file = folder.filePath("student.png");
    ASSERT_TRUE(picture.save(file));
    const QByteArray gbkFile = QFile::encodeName(folder.path()) + "/\xd5\xc5\xc8\xfd.png";
    ASSERT_EQ(::rename(QFile::encodeName(file).constData(), gbkFile.constData()), 0);
    FileCamera camera(gbkFile, file);
    QSignalSpy frames(&camera, &LiveCamera::frameArrived);
    camera.start({});
    EXPECT_TRUE(QTest::qWaitFor([&] { return frames.size() >= 5; }, 2000));
    EXPECT_EQ(camera.latestFrame(), picture);
    EXPECT_EQ(frames.last().at(0).value<QImage>(), picture);
    ::unlink(gbkFile.constData()); // QTemporaryDir removes only names Qt can decode
}

TEST(FileCamera, SaysWhyAMissingOrDamagedFileShowsNothing)
{
    QTemporaryDir folder;
    const QByteArray noise(20000, '\xa7');
    writeBytes(folder.filePath("noise.avi"), noise);
    writeBytes(folder.filePath("cut.png"), "\x89PNG\r\n\x1A\n" + noise);
    writeBytes(folder.filePath("empty.mp4"), {});
    for (const char *name : {"missing.avi", "noise.avi", "cut.png", "empty.mp4"}) {
        const QString file = folder.filePath(name);
        FileCamera camera(file);
        QSignalSpy frames(&camera, &LiveCamera::frameArrived);
        camera.start({});
        EXPECT_TRUE(QTest::qWaitFor([&] { return !camera.problem().isEmpty(); }, 5000))
            << file.toStdString();
        EXPECT_TRUE(camera.problem().contains(name));
        EXPECT_TRUE(frames.isEmpty() && camera.latestFrame().isNull());
    }
}

TEST(QtCamera, WithoutACameraSaysSoOnceAndKeepsLookingForOne)
{
    if (!QMediaDevices::videoInputs().isEmpty())
        GTEST_SKIP() << "this computer has a camera";
    QtCamera camera;
    EXPECT_TRUE(camera.devices().isEmpty());
    QSignalSpy problems(&camera, &LiveCamera::problemChanged);
    for (const QByteArray &device : {QByteArray(), QByteArray("/dev/video7")}) {
        camera.start(device, QSize(1280, 720));
        EXPECT_TRUE(camera.problem().startsWith("没有找到摄像头"))
            << camera.problem().toStdString();
        EXPECT_TRUE(camera.latestFrame().isNull());
    }
    QTest::qWait(4500); // past the retries
    EXPECT_EQ(problems.size(), 1);
    camera.stop();
    EXPECT_TRUE(camera.problem().isEmpty());
}
