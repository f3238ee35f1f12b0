// The hot keys: what each key does to the frame and the class, F11, and keys during a command.
#include "session/KeyCommands.h"
#include "tests/session/SessionFixture.h"

#include <QSignalSpy>

using lumo::platform::HotKey;

namespace {

class KeyTest : public SessionTest
{
protected:
    void SetUp() override
    {
        start();
        importClass(3, true);
        session->setPhotoWidth(u"300"_s);
        keyCommands =
            std::make_unique<session::KeyCommands>(*session, keys, [] { return QPoint(500, 400); });
    }

    void tick(std::initializer_list<HotKey> pressed)
    {
        keys.press(pressed);
        keyCommands->tick();
    }

    frame::FrameModel &frame() { return session->frame(); }

    FakeKeyPoller keys;
    std::unique_ptr<session::KeyCommands> keyCommands;
};

} // namespace

TEST_F(KeyTest, MoveKeysStepTheFrameAndBringItToTheFront)
{
    session->setMoveStep(u"2"_s);
    frame().setLeft(3000);
    frame().setTop(3000);
    QSignalSpy raised(&frame(), &frame::FrameModel::raiseRequested);
    tick({HotKey::W});
    EXPECT_EQ(frame().top(), 2970);
    tick({HotKey::S, HotKey::A});
    EXPECT_EQ(frame().top(), 3000);
    EXPECT_EQ(frame().left(), 2970);
    for (int i = 0; i < 10; ++i) // D held for a second
        tick({HotKey::D});
    EXPECT_EQ(frame().left(), 3270);
    EXPECT_EQ(raised.count(), 13);
}

TEST_F(KeyTest, ZoomKeysSizeTheFrameAroundItsCentre)
{
    QSignalSpy windowWidth(session.get(), &session::ClassSession::windowWidthChanged);
    tick({HotKey::Q});
    EXPECT_EQ(session->settings().photoWidth, u"290"_s);
    EXPECT_EQ(frame().photoSize(), (frame::PhotoSize{290, 356}));
    EXPECT_EQ(frame().left(), 75);
    EXPECT_EQ(frame().top(), 75);
    tick({HotKey::E});
    tick({HotKey::E});
    EXPECT_EQ(session->settings().photoWidth, u"310"_s);
    EXPECT_EQ(frame().left(), 0) << "E stops at the screen's edge";
    EXPECT_EQ(windowWidth.count(), 3);
    EXPECT_EQ(windowWidth.first().first().toInt(), -150);

    session->setSwitches({true, true, false, true}); // size locked
    tick({HotKey::Q, HotKey::E});
    EXPECT_EQ(session->settings().photoWidth, u"310"_s);
    session->setSwitches({});
    session->setPhotoWidth(u"600"_s);
    tick({HotKey::E});
    EXPECT_EQ(session->settings().photoWidth, u"600"_s) << "E stops at the widest photo";
    session->setPhotoWidth(u"15"_s);
    tick({HotKey::Q});
    EXPECT_EQ(session->settings().photoWidth, u"15"_s) << "Q stops at the narrowest";

    session->setPhotoWidth(u"300"_s);
    tick({HotKey::F});
    EXPECT_EQ(frame().left(), 500 * 15 - 300 * 15 / 2);
    EXPECT_EQ(frame().top(), 400 * 15 - 369 * 15 / 2.0);
}

TEST_F(KeyTest, F11SwitchesTheOtherKeysOffAndOn)
{
    frame().setTop(3000);
    tick({HotKey::F11, HotKey::W});
    EXPECT_TRUE(session->switches().hotKeysOff);
    EXPECT_EQ(dialogs.messages.last(), u"热键己关闭,恢复再次按F11"_s);
    EXPECT_EQ(dialogs.titles.last(), u"关闭热键"_s);
    EXPECT_EQ(frame().top(), 3000) << "keys are off in the same tick";
    tick({HotKey::W, HotKey::Q, HotKey::CapsLock, HotKey::Down});
    EXPECT_EQ(frame().top(), 3000);
    EXPECT_EQ(session->currentIndex(), 1);
    tick({HotKey::F11});
    EXPECT_FALSE(session->switches().hotKeysOff);
    EXPECT_EQ(dialogs.messages.last(), u"热键打开"_s);
}

TEST_F(KeyTest, ArrowKeysAndCapsLockRunTheCommands)
{
    tick({HotKey::CapsLock});
    EXPECT_EQ(session->currentIndex(), 2);
    tick({HotKey::Right});
    EXPECT_EQ(session->currentIndex(), 3);
    tick({HotKey::Left});
    EXPECT_EQ(speech.spoken.last(), u"学生3"_s);
    tick({HotKey::Down});
    EXPECT_EQ(session->currentIndex(), 4);
    tick({HotKey::Up});
    EXPECT_EQ(session->currentIndex(), 3);
    EXPECT_EQ(dialogs.messages.last(), u"现在是浏览模式,不再自动拍照,自动保存!"_s);
}

TEST_F(KeyTest, CommandKeysActOncePerPressAndNotWhileTheOperatorTypes)
{
    tick({HotKey::CapsLock, HotKey::D});
    for (int poll = 0; poll < 3; ++poll) { // both held a moment longer
        keys.hold({HotKey::CapsLock, HotKey::D});
        keyCommands->tick();
    }
    EXPECT_EQ(session->currentIndex(), 2) << "one press, one photo";
    EXPECT_EQ(camera.captured.size(), 1);
    EXPECT_EQ(frame().left(), 4 * 45) << "the frame keys repeat while held";

    bool typing = true;
    session::KeyCommands typingCommands(*session, keys, {}, [&] { return typing; });
    keys.press({HotKey::CapsLock, HotKey::W, HotKey::F11});
    typingCommands.tick();
    EXPECT_EQ(session->currentIndex(), 2);
    EXPECT_EQ(frame().top(), 0);
    EXPECT_TRUE(session->switches().hotKeysOff) << "F11 still works";
}

TEST_F(KeyTest, AKeyDuringACommandWaitsForTheCommandToEnd)
{
    int nestedPolls = -1;
    speech.whileSpeaking = [&] {
        keys.press({HotKey::CapsLock});
        const int before = keys.polls;
        keyCommands->tick(); // the key timer fires while the prompt is spoken
        nestedPolls = keys.polls - before;
    };
    tick({HotKey::CapsLock});
    EXPECT_EQ(nestedPolls, 0);
    EXPECT_EQ(session->currentIndex(), 2) << "one press, one capture";
    EXPECT_EQ(camera.captured.size(), 1);

    speech.whileSpeaking = nullptr;
    keyCommands->tick(); // the press made during the announcement is seen afterwards
    EXPECT_EQ(session->currentIndex(), 3);

    // Nor does a key act while a message box of the archive or the import is open.
    dialogs.whileShown = [&] {
        keys.press({HotKey::Right});
        keyCommands->tick();
    };
    session->importClass();
    EXPECT_EQ(session->currentIndex(), 1);
}
