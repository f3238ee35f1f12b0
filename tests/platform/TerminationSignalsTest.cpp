// SIGTERM and SIGINT arrive as a Qt signal on the event loop, in the order they came.
#include "platform/desktop/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

using lumo::platform::TerminationSignals;

TEST(TerminationSignals, TermAndIntReachTheEventLoop)
{
    TerminationSignals termination;
    QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 2; }, 2000));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
    EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
}
