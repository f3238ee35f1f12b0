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

    // Sends the keys (xdotool key, keydown or keyup), then polls once the X server delivered them.
    HotKeySet pollAfter(const QString &action, const QString &keys)
    {
        const ProgramRun run =
            runProgram(QStringLiteral("xdotool"), QStringList{action} + keys.split(u' '), 5000);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        QTest::qWait(100);
        return poller.poll();
    }

    X11KeyPoller poller;
    QLineEdit focused; // the program that has the keyboard focus
};

} // namespace

TEST_F(X11KeyPollerTest, ATapBetweenTwoPollsIsSeenOnceAndNotTaken)
{
    const HotKeySet keys = pollAfter(QStringLiteral("key"), QStringLiteral("w"));
    EXPECT_TRUE(contains(keys, HotKey::W));
    EXPECT_EQ(keys.count(), 1u);
    QTest::qWait(100);
    EXPECT_TRUE(poller.poll().none()) << "released: not pressed again";
    EXPECT_EQ(focused.text(), QStringLiteral("w")) << "the focused program still got the key";

    // Also while the focused program holds the keyboard, as an open menu does.
    focused.grabKeyboard();
    EXPECT_TRUE(contains(pollAfter(QStringLiteral("key"), QStringLiteral("a")), HotKey::A));
    focused.releaseKeyboard();
}

TEST_F(X11KeyPollerTest, AHeldKeyCountsOnEveryPoll)
{
    EXPECT_TRUE(contains(pollAfter(QStringLiteral("keydown"), QStringLiteral("d")), HotKey::D));
    QTest::qWait(100);
    EXPECT_TRUE(contains(poller.poll(), HotKey::D));
    pollAfter(QStringLiteral("keyup"), QStringLiteral("d")); // a repeat may still come in here
    QTest::qWait(100);
    EXPECT_FALSE(contains(poller.poll(), HotKey::D));
}

TEST_F(X11KeyPollerTest, EveryHotKeyAndNothingElse)
{
    // In the order of HotKey.
    const QStringList names =
        QStringLiteral("F11 w s a d Caps_Lock q e f Up Down Left Right").split(u' ');
    ASSERT_EQ(names.size(), qsizetype(HotKey::Count));
    for (qsizetype i = 0; i < names.size(); ++i) {
        const HotKeySet seen = pollAfter(QStringLiteral("key"), names[i]);
        EXPECT_TRUE(seen.test(std::size_t(i))) << names[i].toStdString();
        EXPECT_EQ(seen.count(), 1u) << names[i].toStdString();
    }
    pollAfter(QStringLiteral("key"), QStringLiteral("Caps_Lock")); // leave the lock off
    EXPECT_TRUE(pollAfter(QStringLiteral("key"), QStringLiteral("x space Return 1 F10")).none());
}
