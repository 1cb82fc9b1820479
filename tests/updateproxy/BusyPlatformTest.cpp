#include "CoreFixture.h"

#include "ZubDRUXClient/ZubUpdateController.h"

#include <QTimer>
#include <gtest/gtest.h>

using BusyPlatformTest = CoreFixture;

// While the platform answers busy, the request waits between its checks with
// the GUI thread's events going on: timers tick, and a second request that
// comes in meanwhile is answered by the busy controller without a client.
TEST_F(BusyPlatformTest, TheGuiThreadKeepsItsEventsBetweenBusyChecks)
{
    Json::Value scenario;
    scenario["user"]["start"]["status"] = 1;
    scenario["user"]["start"]["code"] = 15;
    scenario["check"]["busyChecks"] = 5;
    scenario["check"]["hasUpdate"] = 0;
    use(scenario);
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
