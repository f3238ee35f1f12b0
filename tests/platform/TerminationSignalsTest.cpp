// SIGTERM and SIGINT arrive as a Qt signal on the event loop, in order; SIGUSR1 as a show request.
#include "platform/desktop/TerminationSignals.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

using lumo::platform::TerminationSignals;

TEST(TerminationSignals, TermAndIntReachTheEventLoopAndASecondStartAsksOnlyLumoToShow)
{
    TerminationSignals termination;
    QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
    QSignalSpy shown(&termination, &TerminationSignals::showRequested);
    std::raise(SIGTERM);
    ASSERT_TRUE(TerminationSignals::askToShow(QCoreApplication::applicationPid()));
    std::raise(SIGINT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 2 && !shown.isEmpty(); }, 2000));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
    EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
    EXPECT_EQ(shown.count(), 1);

    QProcess other; // another program, which the lock file may name after Lumo died
    other.start("sleep", {"10"});
    EXPECT_FALSE(TerminationSignals::askToShow(other.waitForStarted() ? other.processId() : 0));
}
