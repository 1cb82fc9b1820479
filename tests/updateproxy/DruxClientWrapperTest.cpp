#include "CoreFixture.h"

#include "DRUXClient/DruxClient_Userid.h"

#include <gtest/gtest.h>

namespace {
// The message of the one failure line that `function` logged, or nothing.
QString failureOf(const QString& function)
{
    std::vector<ZubHostTesting::DebugLogEntry> lines;
    for (const ZubHostTesting::DebugLogEntry& entry : ZubHostTesting::debugLogEntries()) {
        if (entry.function == function)
            lines.push_back(entry);
    }
    const bool one = lines.size() == 1 &&
                     lines[0].operation == ZubHostTesting::LogOperation::Error &&
                     lines[0].file == "UpdateProxy/DRUXClient" && lines[0].line > 0;
    return one ? lines[0].message : QString();
}
} // namespace

// What the host's requests never meet (the fault matrix has the rest): a
// check before start or into a list that is not empty, a check without user
// strings, and an update that the client refuses before the platform.
using DruxClientWrapperTest = CoreFixture;

TEST_F(DruxClientWrapperTest, ChecksTheControllerNeverMakes)
{
    use(offeringUpdate());
    DruxClient_Userid user;
    std::vector<DRUX::DruxUpdateInfoUserid> list;
    EXPECT_EQ(user.checkUpdate("", "", list), 0);
    EXPECT_EQ(failureOf("DruxClient_Userid::checkUpdate"),
              QString("DruxClient CheckUpdate failed: 3\n"));
    ZubHostTesting::clearDebugLog();

    ASSERT_EQ(user.start(kComponent, 64), 0);
    EXPECT_EQ(user.checkUpdate("", "", list), 1);
    EXPECT_EQ(journalCount("DruxClientUserid.CheckUpdate"), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser"), 0);
    EXPECT_EQ(user.checkUpdate("", "tenant 7", list), 0);
    EXPECT_EQ(failureOf("DruxClient_Userid::checkUpdate"),
              QString("DruxClient CheckUpdate failed: 8\n"));
    list.clear();
    EXPECT_EQ(user.checkUpdate("", "tenant 7", list), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser user1=\"\" user2=\"tenant 7\""), 1);
}

// Before start the sink is refused before the platform and released once;
// once started, the accepted update marks the record done.
TEST_F(DruxClientWrapperTest, UpdateRefusedBeforeStartAndAcceptedAfter)
{
    DruxClient_Userid user;
    DRUX::DruxUpdateInfoUserid info;
    info.appname = kComponent;
    info.bits = 64;
    info.canUpdate = 1;
    testing::internal::CaptureStdout();
    user.doUpdata(info, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "kill myself\ndestroy notifier\n");
    EXPECT_EQ(info.canUpdate, 1);
    EXPECT_EQ(journalCount("DoUpdate"), 0);
    ASSERT_EQ(ZubHostTesting::messageBoxTexts().size(), 1u);
    EXPECT_EQ(ZubHostTesting::messageBoxTexts()[0].text, QString("升级失败（3）！"));

    ASSERT_EQ(user.start(kComponent, 64), 0);
    user.doUpdata(info, nullptr);
    EXPECT_EQ(info.canUpdate, 0);
    EXPECT_TRUE(waitForSinkReleases());
}
