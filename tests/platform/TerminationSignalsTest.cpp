#include "platform/TerminationSignals.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <gtest/gtest.h>

TEST(TerminationSignals, TermAndIntReachTheEventLoop)
{
    TerminationSignals termination;
    QSignalSpy spy(&termination, &TerminationSignals::terminationRequested);
    std::raise(SIGTERM);
    std::raise(SIGINT);
    ASSERT_TRUE(spy.wait(2000) || spy.count() > 0);
    QTest::qWait(50);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), SIGTERM);
    EXPECT_EQ(spy.at(1).at(0).toInt(), SIGINT);
}
