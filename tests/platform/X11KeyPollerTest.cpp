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
    HotKeySet pollAfter(const QString &arguments = {})
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

TEST_F(X11KeyPollerTest, ATapBetweenTwoPollsIsSeenOnceAndNotTaken)
{
    EXPECT_EQ(pollAfter("key w"), only(HotKey::W));
    EXPECT_TRUE(pollAfter().none()) << "released: not pressed again";
    EXPECT_EQ(focused.text(), "w") << "the focused program still got the key";

    // Also while the focused program holds the keyboard, as an open menu does.
    focused.grabKeyboard();
    EXPECT_EQ(pollAfter("key a"), only(HotKey::A));
    focused.releaseKeyboard();
}

TEST_F(X11KeyPollerTest, AHeldKeyCountsOnEveryPoll)
{
    EXPECT_TRUE(contains(pollAfter("keydown d"), HotKey::D));
    EXPECT_TRUE(contains(pollAfter(), HotKey::D));
    pollAfter("keyup d"); // a repeat may still come in here
    EXPECT_FALSE(contains(pollAfter(), HotKey::D));
}

TEST_F(X11KeyPollerTest, EveryHotKeyAndNothingElse)
{
    // In the order of HotKey.
    const QStringList names = QString("F11 w s a d Caps_Lock q e f Up Down Left Right").split(' ');
    ASSERT_EQ(names.size(), qsizetype(HotKey::Count));
    for (qsizetype i = 0; i < names.size(); ++i)
        EXPECT_EQ(pollAfter("key " + names[i]), only(HotKey(i))) << names[i].toStdString();
    pollAfter("key Caps_Lock"); // leave the lock off
    EXPECT_TRUE(pollAfter("key x space Return 1 F10").none());
}
