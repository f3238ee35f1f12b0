// The photo checks in the class session: the verdict under each photo just taken, spoken with
// the voice on, the live framing guide, and the best-quality switch.
#include "tests/checks/FacePhotos.h"
#include "tests/session/SessionFixture.h"

#include "photo/RegistryPhoto.h"
#include "session/PictureConversion.h"

#include <QFile>
#include <QPainter>
#include <QTest>

namespace {

QImage qImageOf(const photo::BgrImage &image)
{
    return QImage(image.bits(), image.width(), image.height(), image.stride(),
                  QImage::Format_BGR888)
        .copy();
}

const checkstest::FacePhoto &photoWith(const QString &fault)
{
    for (const checkstest::FacePhoto &photo : checkstest::facePhotos()) {
        if (photo.fault == fault)
            return photo;
    }
    throw std::logic_error("no such test photo");
}

class PhotoChecksTest : public SessionTest
{
protected:
    void startChecking(bool checkPhotos, bool bestQuality = false)
    {
        start();
        session->setPhotoWidth(u"260"_s); // 260 x 320 screen pixels
        settings::LumoSettings options = session->lumoSettings();
        options.checkPhotos = checkPhotos;
        options.bestQuality = bestQuality;
        session->setLumoSettings(options);
    }

    // Waits until the live guide shows what the checks made of the picture now shown.
    bool guideSettles(const std::function<bool(const frame::FramingGuideShape &)> &settled)
    {
        return QTest::qWaitFor([&] { return settled(session->frame().guide()); }, 5000);
    }
};

} // namespace

TEST_F(PhotoChecksTest, EachPhotoGetsItsVerdictAndABadOneIsSpokenBeforeTheNextCall)
{
    startChecking(true);
    importClass(4, true);
    camera.shown = qImageOf(photoWith(QString()).image);
    session->next();
    EXPECT_EQ(session->pane().newer.verdict, (session::PhotoVerdictText{u"照片合格"_s, true}));
    EXPECT_FALSE(speech.spoken.join(u'|').contains(u"请重拍"_s));

    speech.spoken.clear();
    camera.shown = qImageOf(photoWith(u"head-small"_s).image);
    session->next();
    const session::PhotoVerdictText small{u"请重拍：头部太小"_s, false, true};
    EXPECT_EQ(session->pane().newer.verdict, small);
    EXPECT_EQ(session->pane().older.verdict.text, u"照片合格"_s) << "the verdicts move along";
    ASSERT_EQ(speech.spoken.size(), 2);
    EXPECT_EQ(speech.spoken.first(), small.text) << "told while the student is at the camera";
    EXPECT_TRUE(QFile::exists(photoOf(2))) << "the operator decides: the photo is kept";

    // Home retakes the previous student: the new photo's verdict replaces the old one.
    speech.spoken.clear();
    camera.shown = qImageOf(photoWith(QString()).image);
    session->retakePrevious();
    EXPECT_EQ(session->pane().newer.verdict.text, u"照片合格"_s);
    EXPECT_EQ(speech.spoken, QStringList{u"学生2，照片已重拍"_s});

    session->previous(); // the verdicts stay with their students
    EXPECT_EQ(session->pane().newer.verdict.text, u"照片合格"_s);
    EXPECT_EQ(session->pane().newer.name, u"学生1"_s);
}

TEST_F(PhotoChecksTest, WithTheChecksOffNothingIsJudgedOrWatched)
{
    startChecking(false);
    importClass(3, true);
    camera.shown = qImageOf(photoWith(u"head-small"_s).image);
    session->next();
    EXPECT_TRUE(session->pane().newer.verdict.text.isEmpty());
    EXPECT_FALSE(speech.spoken.join(u'|').contains(u"请重拍"_s));
    QTest::qWait(300);
    EXPECT_EQ(camera.peeks, 0) << "no live guide either";
    EXPECT_FALSE(session->frame().guide().isShown());

    session->shutDown(); // the switch is kept
    EXPECT_FALSE(settings::readLumoSettings(program.filePath(u"config/lumo.ini"_s)).checkPhotos);
}

TEST_F(PhotoChecksTest, TheLiveGuideShowsWhetherTheHeadFitsAndGoesWithThePicture)
{
    startChecking(true);
    camera.shown = qImageOf(checkstest::framedFace(520, 640, 0.66));
    ASSERT_TRUE(guideSettles(
        [](const frame::FramingGuideShape &guide) { return guide.isShown() && guide.headFits; }));
    const frame::FramingGuideShape fits = session->frame().guide();
    EXPECT_TRUE(QRect(0, 0, 260, 320).contains(fits.face)) << "in the photo's pixels";
    EXPECT_LT(fits.headBandTop, fits.face.top());
    EXPECT_GT(fits.headBandBottom, fits.face.bottom());

    camera.shown = qImageOf(checkstest::framedFace(520, 640, 0.35));
    ASSERT_TRUE(guideSettles([](const frame::FramingGuideShape &guide) {
        return !guide.face.isEmpty() && !guide.headFits;
    })) << "a head far too small";

    camera.fails = true; // nothing to look at: no guide
    ASSERT_TRUE(
        guideSettles([](const frame::FramingGuideShape &guide) { return !guide.isShown(); }));

    camera.fails = false;
    ASSERT_TRUE(
        guideSettles([](const frame::FramingGuideShape &guide) { return guide.isShown(); }));
    settings::LumoSettings options = session->lumoSettings();
    options.checkPhotos = false;
    session->setLumoSettings(options);
    EXPECT_FALSE(session->frame().guide().isShown()) << "switched off: gone at once";
}

TEST_F(PhotoChecksTest, TheGuideWatchesLumosOwnCameraUnderTheFrame)
{
    FakeCamera liveCamera;
    session = std::make_unique<session::ClassSession>(
        session::ProgramFolders{program.path(), user.path(), home.path()},
        session::SessionServices{dialogs, camera, speech, sound, shell, &liveCamera, nullptr});
    session->start();
    session->setLumoSettings({settings::PhotoSourceKind::Camera, "cam0", QSize(), QString()});
    session->setPreviewSize(QSize(640, 480)); // half the camera's width
    session->setPhotoWidth(u"260"_s);
    session->frame().setLeft(1500); // 100 px
    session->frame().setTop(0);
    liveCamera.frame = QImage(1280, 960, QImage::Format_RGB32);
    liveCamera.frame.fill(Qt::darkGray);
    QPainter(&liveCamera.frame).drawImage(200, 0, qImageOf(checkstest::framedFace(520, 640, 0.66)));
    EXPECT_TRUE(guideSettles([](const frame::FramingGuideShape &guide) {
        return guide.headFits && QRect(0, 0, 260, 320).contains(guide.face);
    }));
    EXPECT_EQ(camera.peeks, 0) << "the screen is not looked at";
}

TEST_F(PhotoChecksTest, BestQualityWritesTheBestThatFitsAndOffKeepsTheUsualBytes)
{
    startChecking(false);
    importClass(3);
    camera.shown = qImageOf(photoWith(QString()).image);
    for (const int student : {1, 2}) {
        const bool best = student == 2;
        settings::LumoSettings options = session->lumoSettings();
        options.bestQuality = best;
        session->setLumoSettings(options);
        session->next();
        QFile written(photoOf(student));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        const photo::RegistryPhoto expected =
            photo::makeRegistryPhoto(session::toBgrImage(session->capturedPhoto()), true, true,
                                     best ? photo::Quality::Best : photo::Quality::Registry);
        const QByteArray bytes = written.readAll();
        EXPECT_EQ(bytes, expected.bytes) << "best: " << best;
        EXPECT_LE(bytes.size(), 60000);
    }
    session->shutDown(); // the switch is kept
    EXPECT_TRUE(settings::readLumoSettings(program.filePath(u"config/lumo.ini"_s)).bestQuality);
}
