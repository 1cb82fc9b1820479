#include "CoreFixture.h"

#include "DRUXClient/DruxClient.h"
#include "DRUXClient/DruxClient_Userid.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {
// The message of the one failure line that `function` logged, or nothing.
QString failureOf(const QString& function)
{
    const auto lines = logOf(function);
    const bool one = lines.size() == 1 &&
                     lines[0].operation == ZubHostTesting::LogOperation::Error &&
                     lines[0].file == "UpdateProxy/DRUXClient" && lines[0].line > 0;
    return one ? lines[0].message : QString();
}

Json::Value busyFirst(int checks)
{
    Json::Value scenario = offeringUpdate({updateRecord(), updateRecord("Other")});
    scenario["check"]["busyChecks"] = checks;
    return scenario;
}
} // namespace

using DruxClientWrapperTest = CoreFixture;

TEST_F(DruxClientWrapperTest, BusyCheckPausesAndGivesUpAtItsBound)
{
    use(busyFirst(3));
    DruxClient product;
    ASSERT_EQ(product.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfo> list;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(product.checkUpdate(list), 1);
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_EQ(journalCount("DruxClient2.CheckUpdate"), 4);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].appname, "Other");

    use(busyFirst(1000));
    DruxClient_Userid user;
    ASSERT_EQ(user.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfoUserid> none;
    clock.start();
    EXPECT_EQ(user.checkUpdate("user", "tenant", none), 0);
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_EQ(journalCount("DruxClientUserid.CheckUpdateForUser"), 50);
    const auto lines = logOf("DruxClient_Userid::checkUpdate");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].message,
              QString("DruxClient CheckUpdate still busy after 50 checks, giving up\n"));
    EXPECT_EQ(lines[1].message, QString("DruxClient CheckUpdate failed: 8\n"));
}

TEST_F(DruxClientWrapperTest, CheckOutcomesReachTheHostLog)
{
    Json::Value scenario;
    scenario["check"]["hasUpdate"] = 0;
    scenario["check"]["reason"] = "up to date";
    use(scenario);
    DruxClient product;
    ASSERT_EQ(product.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfo> list;
    EXPECT_EQ(product.checkUpdate(list), 0);
    const auto notices = logOf("DruxClient::checkUpdate");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].operation, ZubHostTesting::LogOperation::Info);
    EXPECT_EQ(notices[0].message,
              QString("DruxClient Mirn6_QualityControl(64): can not update: up to date\n"));

    // A list that is not empty on entry: the platform is not asked.
    ZubHostTesting::clearDebugLog();
    list.resize(1);
    EXPECT_EQ(product.checkUpdate(list), 0);
    EXPECT_EQ(journalCount("CheckUpdate"), 1);
    EXPECT_EQ(failureOf("DruxClient::checkUpdate"), QString("DruxClient CheckUpdate failed: 8\n"));

    // Before start the client refuses with 3; the platform's own code keeps its sign.
    scenario["check"] = Json::Value();
    scenario["check"]["status"] = 1;
    scenario["check"]["code"] = -5;
    use(scenario);
    DruxClient_Userid user;
    std::vector<DRUX::DruxUpdateInfoUserid> records;
    ZubHostTesting::clearDebugLog();
    EXPECT_EQ(user.checkUpdate("", "", records), 0);
    EXPECT_EQ(failureOf("DruxClient_Userid::checkUpdate"),
              QString("DruxClient CheckUpdate failed: 3\n"));
    ZubHostTesting::clearDebugLog();
    ASSERT_EQ(user.start(kComponent, 32), 0);
    EXPECT_EQ(user.checkUpdate("", "", records), 0);
    EXPECT_EQ(failureOf("DruxClient_Userid::checkUpdate"),
              QString("DruxClient CheckUpdate failed: -5\n"));
}

TEST_F(DruxClientWrapperTest, UserCheckChoosesItsCallByTheStrings)
{
    use(offeringUpdate());
    DruxClient_Userid user;
    ASSERT_EQ(user.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfoUserid> plain;
    std::vector<DRUX::DruxUpdateInfoUserid> forUser;
    EXPECT_EQ(user.checkUpdate("", "", plain), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser"), 0);
    EXPECT_EQ(user.checkUpdate("", "tenant 7", forUser), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser user1=\"\" user2=\"tenant 7\""), 1);
    EXPECT_EQ(journalCount("DruxClientUserid.CheckUpdate"), 2);
}

TEST_F(DruxClientWrapperTest, StartAndStopFailuresNameTheirFlavour)
{
    Json::Value scenario;
    scenario["start"]["status"] = 1;
    scenario["start"]["code"] = 12;
    use(scenario);
    DruxClient product;
    DruxClient_Userid user;
    EXPECT_EQ(product.start(kComponent, 64), 12);
    EXPECT_EQ(user.start(kComponent, 64), 12);
    EXPECT_EQ(product.stop(), 3);
    EXPECT_EQ(user.stop(), 3);
    EXPECT_EQ(failureOf("DruxClient::start"), QString("DruxClient Start failed: 12\n"));
    EXPECT_EQ(failureOf("DruxClient_Userid::start"),
              QString("DruxClientUserid Start failed: 12\n"));
    EXPECT_EQ(failureOf("DruxClient::stop"), QString("DruxClient Stop failed: 3\n"));
    EXPECT_EQ(failureOf("DruxClient_Userid::stop"), QString("DruxClientUserid Stop failed: 3\n"));
}

TEST_F(DruxClientWrapperTest, RefusedUpdateTellsTheUserWhy)
{
    const std::pair<Json::Value, QString> refusals[] = {{6, "请重新检查！"},
                                                        {7, "没有可升级的版本！"},
                                                        {8, "已有升级中的任务！"},
                                                        {15, "本机未安装此版本！"},
                                                        {16, "已经升级到此版本！"},
                                                        {9, "升级失败（9）！"},
                                                        {Json::Value(), "升级失败（-1）！"}};
    for (const auto& [code, text] : refusals) {
        Json::Value scenario = offeringUpdate();
        scenario["doUpdate"]["status"] = 1;
        scenario["doUpdate"]["code"] = code;
        use(scenario);
        ZubHostTesting::clearMessageBoxes();
        ZubHostTesting::clearDebugLog();
        DruxClient product;
        std::vector<DRUX::DruxUpdateInfo> list;
        ASSERT_EQ(product.start(kComponent, 64), 0);
        ASSERT_EQ(product.checkUpdate(list), 1);
        product.doUpdata(list[0], nullptr);
        EXPECT_EQ(messageBoxes(), QStringList{text});
        EXPECT_EQ(
            failureOf("DruxClient::doUpdata"),
            QString("DruxClient DoUpdate failed: %1\n").arg(code.isNull() ? -1 : code.asInt()));
        EXPECT_EQ(list[0].canUpdate, 1);
    }
}

TEST_F(DruxClientWrapperTest, RefusedUpdateReleasesItsSinkExactlyOnce)
{
    // Refused by the client's own checks (not started), then by the platform
    // with a code that looks the same.
    Json::Value scenario = offeringUpdate();
    scenario["doUpdate"]["status"] = 1;
    scenario["doUpdate"]["code"] = 3;
    use(scenario);
    DruxClient_Userid user;
    DRUX::DruxUpdateInfoUserid info;
    info.appname = kComponent;
    info.bits = 64;
    testing::internal::CaptureStdout();
    user.doUpdata(info, nullptr);
    ASSERT_EQ(user.start(kComponent, 64), 0);
    user.doUpdata(info, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "kill myself\ndestroy notifier\nkill myself\ndestroy notifier\n");
    EXPECT_EQ(journalCount("DruxClientUserid.DoUpdate"), 1);
    EXPECT_EQ(messageBoxes(), QStringList({"升级失败（3）！", "升级失败（3）！"}));
}
