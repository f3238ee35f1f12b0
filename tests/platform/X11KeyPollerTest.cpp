// The key poller on the X server, with keys typed by xdotool into another window.
#include "platform/X11KeyPoller.h"

#include <QLineEdit>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void xdotool(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("xdotool"), arguments);
    ASSERT_TRUE(process.waitForFinished(5000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

class X11KeyPollerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(poller.isAvailable()) << poller.unavailableReason().toStdString();
        focused.show();
        focused.activateWindow();
        focused.setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&focused));
        poller.poll(); // forget what came before
    }

    // Lets the X server deliver what xdotool sent.
    HotKeySet pollSoon()
    {
        QTest::qWait(100);
        return poller.poll();
    }

    X11KeyPoller poller;
    QLineEdit focused; // the program that has the keyboard focus
};

} // namespace

TEST_F(X11KeyPollerTest, ATapBetweenTwoPollsIsSeenOnceAndNotTaken)
{
    xdotool({QStringLiteral("key"), QStringLiteral("w")});
    const HotKeySet keys = pollSoon();
    EXPECT_TRUE(contains(keys, HotKey::W));
    EXPECT_EQ(keys.count(), 1u);
    EXPECT_FALSE(contains(pollSoon(), HotKey::W)) << "released: not pressed again";
    QTest::qWait(50);
    EXPECT_EQ(focused.text(), QStringLiteral("w")) << "the focused program still got the key";
}

TEST_F(X11KeyPollerTest, AHeldKeyCountsOnEveryPoll)
{
    xdotool({QStringLiteral("keydown"), QStringLiteral("d")});
    EXPECT_TRUE(contains(pollSoon(), HotKey::D));
    EXPECT_TRUE(contains(pollSoon(), HotKey::D));
    xdotool({QStringLiteral("keyup"), QStringLiteral("d")});
    poller.poll();
    EXPECT_FALSE(contains(pollSoon(), HotKey::D));
}

TEST_F(X11KeyPollerTest, EveryHotKeyAndNothingElse)
{
    const std::pair<const char *, HotKey> keys[] = {
        {"F11", HotKey::F11},
        {"s", HotKey::S},
        {"a", HotKey::A},
        {"q", HotKey::Q},
        {"e", HotKey::E},
        {"f", HotKey::F},
        {"Up", HotKey::Up},
        {"Down", HotKey::Down},
        {"Left", HotKey::Left},
        {"Right", HotKey::Right},
        {"Caps_Lock", HotKey::CapsLock},
    };
    for (const auto &[name, key] : keys) {
        xdotool({QStringLiteral("key"), QString::fromLatin1(name)});
        const HotKeySet seen = pollSoon();
        EXPECT_TRUE(contains(seen, key)) << name;
        EXPECT_EQ(seen.count(), 1u) << name;
    }
    xdotool({QStringLiteral("key"), QStringLiteral("Caps_Lock")}); // leave the lock off
    pollSoon();
    xdotool({QStringLiteral("key"), QStringLiteral("x"), QStringLiteral("space"),
             QStringLiteral("Return")});
    EXPECT_TRUE(pollSoon().none());
}
