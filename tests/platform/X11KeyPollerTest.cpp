// The key poller on the X server, with keys typed by xdotool into another program's window.
#include "platform/x11/X11KeyPoller.h"
#include "tests/support/ProgramRun.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace lumo::platform;

namespace {

class X11KeyPollerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(poller.isAvailable()) << poller.unavailableReason().toStdString();
        focused.show();
        focused.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&focused));
        poller.poll(); // forget what came before
    }

    // Runs "xdotool ARGUMENTS" (key, keydown or keyup and keys), if any, then polls a moment later.
    KeyPoll pollAfter(const QString &arguments = {})
    {
        if (!arguments.isEmpty() && runProgram("xdotool", arguments.split(' '), 5000).exitCode != 0)
            ADD_FAILURE() << "xdotool " << arguments.toStdString();
        QTest::qWait(100);
        return poller.poll();
    }

    static HotKeySet only(HotKey key) { return HotKeySet().set(std::size_t(key)); }

    X11KeyPoller poller;
    QLineEdit focused; // the program that has the keyboard focus
};

} // namespace

TEST_F(X11KeyPollerTest, ATapBetweenTwoPollsIsPressedOnceAndNotTaken)
{
    const KeyPoll tap = pollAfter("key w");
    EXPECT_EQ(tap.pressed, only(HotKey::W));
    EXPECT_TRUE(tap.held.none());
    EXPECT_TRUE(pollAfter().pressed.none()) << "released: not pressed again";
    EXPECT_EQ(focused.text(), "w") << "the focused program still got the key";

    // Also while the focused program holds the keyboard, as an open menu does.
    focused.grabKeyboard();
    EXPECT_EQ(pollAfter("key a").pressed, only(HotKey::A));
    focused.releaseKeyboard();
}

TEST_F(X11KeyPollerTest, AHeldKeyIsPressedOnlyWhenItWentDownAndHeldOnEveryPoll)
{
    // Held past the auto-repeat delay; then released and pressed again between two polls.
    const std::pair<QString, bool> steps[] = {
        {"keydown d", true}, {"sleep 0.8", false}, {"", false}, {"keyup d keydown d", true}};
    for (const auto &[arguments, pressed] : steps) {
        const KeyPoll poll = pollAfter(arguments);
        EXPECT_EQ(poll.pressed, pressed ? only(HotKey::D) : HotKeySet()) << arguments.toStdString();
        EXPECT_EQ(poll.held, only(HotKey::D)) << arguments.toStdString();
    }
    EXPECT_EQ(X11KeyPoller().poll().pressed, only(HotKey::D)) << "down, its press not seen";
    EXPECT_TRUE(pollAfter("keyup d").held.none());
}

TEST_F(X11KeyPollerTest, EveryHotKeyAndNothingElse)
{
    // In the order of HotKey.
    const QStringList names =
        QString("F11 w s a d Caps_Lock q e f Up Down Left Right Home").split(' ');
    ASSERT_EQ(names.size(), qsizetype(HotKey::Count));
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(pollAfter("key " + names[i]).pressed, only(HotKey(i))) << names[i].toStdString();
    pollAfter("key Caps_Lock"); // leave the lock off
    EXPECT_TRUE(pollAfter("key x space Return 1 F10 End").pressed.none());
}
