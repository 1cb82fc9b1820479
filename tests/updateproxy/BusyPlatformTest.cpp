#include "ChildProcess.h"
#include "CoreFixture.h"

#include "ZubDRUXClient/ZubUpdateController.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using BusyPlatformTest = CoreFixture;

namespace {
Json::Value busyChecks(int count)
{
    Json::Value scenario;
    scenario["user"]["start"]["status"] = 1;
    scenario["user"]["start"]["code"] = 15;
    scenario["check"]["busyChecks"] = count;
    scenario["check"]["hasUpdate"] = 0;
    return scenario;
}
} // namespace

// While the platform answers busy, the request waits between its checks with
// the GUI thread's events going on: timers tick, and a second request that
// comes in meanwhile is answered by the busy controller without a client.
TEST_F(BusyPlatformTest, TheGuiThreadKeepsItsEventsBetweenBusyChecks)
{
    use(busyChecks(5));
    ZubUpdateController controller(nullptr, nullptr);
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(10);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    int secondRequests = 0;
    QTimer::singleShot(150, [&] {
        EXPECT_TRUE(controller.checkAndUpdate(QString(kComponent), false));
        ++secondRequests;
    });

    EXPECT_TRUE(controller.checkAndUpdate(QString(kComponent), true));

    EXPECT_EQ(secondRequests, 1);
    EXPECT_EQ(journalCount("DruxClient2.Start"), 1);
    EXPECT_EQ(journalCount("DruxClient2.CheckUpdate"), 6);
    // Five pauses of 100 ms: a thread that slept through them would have
    // ticked once per check at most.
    EXPECT_GT(ticks, 20);
}

// A host without a QCoreApplication: its thread has no event dispatcher, so
// the pauses sleep, and a platform busy for good still meets the bound of 50
// checks about five seconds apart.
TEST(BusyPlatformWithoutApplication, SilentRequestEndsWithinItsBound)
{
    ChildProcess host(ChildProcess::selfPath(),
                      ChildProcess::testArguments("BusyPlatformChild.DISABLED_silentRequest"),
                      {{"ZUB_TEST_WITHOUT_APPLICATION", "1"}});
    const std::optional<int> exitCode = host.wait(30000);
    ASSERT_TRUE(exitCode.has_value()) << "still pausing after 30 s";
    EXPECT_EQ(*exitCode, 0);
}

using BusyPlatformChild = CoreFixture;

TEST_F(BusyPlatformChild, DISABLED_silentRequest)
{
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    use(busyChecks(1000000));
    ZubUpdateController controller(nullptr, nullptr);
    QElapsedTimer took;
    took.start();
    EXPECT_TRUE(controller.checkAndUpdate(QString(kComponent), true));
    EXPECT_EQ(journalCount("DruxClient2.CheckUpdate"), 50);
    EXPECT_GE(took.elapsed(), 4900);
}
