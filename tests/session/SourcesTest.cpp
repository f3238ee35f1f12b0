// Photos from Lumo's own camera and from a watched folder.
#include "tests/session/SessionFixture.h"

#include <QFileInfo>
#include <QTest>

namespace {

class SourcesTest : public SessionTest
{
protected:
    void startWith(settings::PhotoSourceKind source)
    {
        session = std::make_unique<session::ClassSession>(
            session::ProgramFolders{program.path(), user.path(), home.path()},
            session::SessionServices{dialogs, camera, speech, sound, shell, &liveCamera, &watch});
        session->start();
        importClass(3);
        session->setLumoSettings({source, "cam0", QSize(), backup.path()});
        QObject::connect(&watch, &platform::FolderWatch::pictureArrived, session.get(),
                         &session::ClassSession::takeArrivedPicture);
    }

    FakeCamera liveCamera;
    FakeFolderWatch watch;
};

QImage cameraFrame()
{
    QImage frame(1280, 720, QImage::Format_RGB32);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            frame.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 40));
    return frame;
}

} // namespace

TEST_F(SourcesTest, TheCameraIsCroppedUnderTheFrameAtItsOwnResolution)
{
    startWith(settings::PhotoSourceKind::Camera);
    EXPECT_EQ(liveCamera.started, QByteArray("cam0"));
    EXPECT_TRUE(session->frame().isHidden()) << "no frame window over other programs";

    session->next(); // no frame yet: told, nothing saved, the student stays
    EXPECT_EQ(session->currentIndex(), 1);
    EXPECT_TRUE(dialogs.messages.last().startsWith(u"没有找到摄像头。"_s));

    liveCamera.frame = cameraFrame();
    session->setPreviewSize(QSize(640, 360)); // half the camera's width
    session->setPhotoWidth(u"300"_s);         // 300 x 369 preview pixels
    session->frame().setLeft(150);            // 10 px
    session->frame().setTop(300);             // 20 px
    session->takePhoto();
    const QImage photo = session->capturedPhoto();
    ASSERT_EQ(photo.size(), QSize(600, 738));
    EXPECT_EQ(photo.pixel(0, 0), liveCamera.frame.pixel(20, 40));
    EXPECT_EQ(photo.pixel(599, 679), liveCamera.frame.pixel(619, 719));
    EXPECT_EQ(qGray(photo.pixel(300, 700)), 0) << "below the camera's picture: black";
}

TEST_F(SourcesTest, PicturesArrivingInTheFolderAreSavedAndTheClassMovesOn)
{
    startWith(settings::PhotoSourceKind::Folder);
    EXPECT_EQ(watch.watchedFolder(), backup.path());
    watch.arrive(cameraFrame());
    EXPECT_EQ(session->currentIndex(), 2);
    EXPECT_EQ(QImage(photoOf(1)).size(), QSize(260, 320));

    // One arriving while a message box is open waits until it is closed.
    dialogs.whileShown = [&] { watch.arrive(cameraFrame()); };
    session->previous(); // the browse-mode message
    dialogs.whileShown = nullptr;
    EXPECT_EQ(session->currentIndex(), 1) << "back at student 1, the picture not taken yet";
    ASSERT_TRUE(QTest::qWaitFor([&] { return session->currentIndex() == 2; }));
    EXPECT_EQ(dialogs.questions.size(), 1) << "it replaces student 1's photo, as asked";

    session->setSwitches({});
    session->next(); // nothing to capture from a folder: told, the class waits
    EXPECT_TRUE(dialogs.messages.last().contains(backup.path()));

    session->shutDown();
    EXPECT_EQ(settings::readLumoSettings(program.filePath(u"config/lumo.ini"_s)),
              (settings::LumoSettings{settings::PhotoSourceKind::Folder, "cam0", QSize(),
                                      backup.path()}));
}
