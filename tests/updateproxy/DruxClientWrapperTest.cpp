#include "CoreFixture.h"
#include "StageLog.h"

#include "DRUXClient/DruxClient.h"
#include "DRUXClient/DruxClient_Userid.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{
const QString kSourceFile("UpdateProxy/DRUXClient");

Json::Value busyFor(int checks, const Json::Value& then)
{
    Json::Value check = then;
    check["busyChecks"] = checks;
    return check;
}

// The one failure line logged by `function`, or an empty message.
QString failureOf(const std::vector<ZubHostTesting::DebugLogEntry>& lines)
{
    if (lines.size() != 1 || lines[0].operation != ZubHostTesting::LogOperation::Error ||
        lines[0].file != kSourceFile || lines[0].line <= 0)
        return QString();
    return lines[0].message;
}

int count(const std::string& text, const std::string& part)
{
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++found;
    return found;
}
} // namespace

class DruxClientWrapperTest : public CoreFixture
{
};

TEST_F(DruxClientWrapperTest, BusyCheckIsAskedAgainAfterAPause)
{
    Json::Value scenario;
    scenario["check"] = busyFor(3, offering({updateRecord(), updateRecord("Other")}));
    use(scenario);
    DruxClient client;
    ASSERT_EQ(client.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfo> list;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(client.checkUpdate(list), 1);
    EXPECT_GE(clock.elapsed(), 290);
    EXPECT_EQ(journalCount("DruxClient2.CheckUpdate"), 4);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].appname, kComponent);
    EXPECT_EQ(list[1].appname, "Other");
    EXPECT_TRUE(ZubHostTesting::debugLogEntries().empty());
}

TEST_F(DruxClientWrapperTest, BusyCheckGivesUpAtItsBound)
{
    Json::Value scenario;
    scenario["check"] = busyFor(1000, offering({updateRecord()}));
    use(scenario);
    DruxClient_Userid client;
    ASSERT_EQ(client.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfoUserid> list;
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(client.checkUpdate("user", "tenant", list), 0);
    EXPECT_LT(clock.elapsed(), 8000);
    EXPECT_EQ(journalCount("DruxClientUserid.CheckUpdateForUser"), 50);
    const auto lines = logOf("DruxClient_Userid::checkUpdate");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].message, QString("DruxClient CheckUpdate still busy after 50 checks, giving up\n"));
    EXPECT_EQ(lines[1].message, QString("DruxClient CheckUpdate failed: 8\n"));
    EXPECT_TRUE(list.empty());
}

TEST_F(DruxClientWrapperTest, CheckWithAFilledListAsksNothing)
{
    use(offeringUpdate());
    DruxClient client;
    ASSERT_EQ(client.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfo> list(1);
    list[0].appname = "kept";
    EXPECT_EQ(client.checkUpdate(list), 0);
    EXPECT_EQ(journalCount("CheckUpdate"), 0);
    EXPECT_EQ(failureOf(logOf("DruxClient::checkUpdate")), QString("DruxClient CheckUpdate failed: 8\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].appname, "kept");
}

TEST_F(DruxClientWrapperTest, CheckOutcomesReachTheHostLog)
{
    // Nothing to install: a notice with the client's name, bits and the reason.
    Json::Value scenario;
    scenario["check"]["hasUpdate"] = 0;
    scenario["check"]["reason"] = "up to date";
    use(scenario);
    {
        DruxClient client;
        ASSERT_EQ(client.start(kComponent, 64), 0);
        std::vector<DRUX::DruxUpdateInfo> list;
        EXPECT_EQ(client.checkUpdate(list), 0);
        const auto lines = logOf("DruxClient::checkUpdate");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].operation, ZubHostTesting::LogOperation::Info);
        EXPECT_EQ(lines[0].message, QString("DruxClient Mirn6_QualityControl(64): can not update: up to date\n"));
        EXPECT_EQ(lines[0].file, kSourceFile);
    }

    // A failed check keeps the sign of its code; one before start gets 3.
    ZubHostTesting::clearDebugLog();
    scenario["check"] = Json::Value();
    scenario["check"]["status"] = 1;
    scenario["check"]["code"] = -5;
    use(scenario);
    DruxClient_Userid client;
    std::vector<DRUX::DruxUpdateInfoUserid> list;
    EXPECT_EQ(client.checkUpdate("", "", list), 0);
    EXPECT_EQ(failureOf(logOf("DruxClient_Userid::checkUpdate")), QString("DruxClient CheckUpdate failed: 3\n"));
    ZubHostTesting::clearDebugLog();
    ASSERT_EQ(client.start(kComponent, 32), 0);
    EXPECT_EQ(client.checkUpdate("", "", list), 0);
    EXPECT_EQ(failureOf(logOf("DruxClient_Userid::checkUpdate")), QString("DruxClient CheckUpdate failed: -5\n"));
}

TEST_F(DruxClientWrapperTest, UserCheckChoosesItsCallByTheStrings)
{
    use(offeringUpdate());
    DruxClient_Userid client;
    ASSERT_EQ(client.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfoUserid> plain;
    EXPECT_EQ(client.checkUpdate("", "", plain), 1);
    EXPECT_EQ(journalCount("DruxClientUserid.CheckUpdate"), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser"), 0);
    std::vector<DRUX::DruxUpdateInfoUserid> forUser;
    EXPECT_EQ(client.checkUpdate("", "tenant 7", forUser), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser user1=\"\" user2=\"tenant 7\""), 1);
    EXPECT_EQ(forUser.size(), 1u);
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
    EXPECT_EQ(user.start(kComponent, 16), 2);
    EXPECT_EQ(product.stop(), 3);
    EXPECT_EQ(user.stop(), 3);

    EXPECT_EQ(failureOf(logOf("DruxClient::start")), QString("DruxClient Start failed: 12\n"));
    EXPECT_EQ(failureOf(logOf("DruxClient::stop")), QString("DruxClient Stop failed: 3\n"));
    EXPECT_EQ(failureOf(logOf("DruxClient_Userid::stop")), QString("DruxClientUserid Stop failed: 3\n"));
    const auto userStarts = logOf("DruxClient_Userid::start");
    ASSERT_EQ(userStarts.size(), 2u);
    EXPECT_EQ(userStarts[0].message, QString("DruxClientUserid Start failed: 12\n"));
    EXPECT_EQ(userStarts[1].message, QString("DruxClientUserid Start failed: 2\n"));
}

TEST_F(DruxClientWrapperTest, RefusedUpdateTellsTheUserWhy)
{
    const std::vector<std::pair<Json::Value, QString>> refusals = {
        {6, "请重新检查！"},        {7, "没有可升级的版本！"}, {8, "已有升级中的任务！"},
        {15, "本机未安装此版本！"}, {16, "已经升级到此版本！"}, {9, "升级失败（9）！"},
        {Json::Value(), "升级失败（-1）！"}};
    for (const auto& [code, text] : refusals) {
        Json::Value scenario = offeringUpdate();
        scenario["doUpdate"]["status"] = 1;
        scenario["doUpdate"]["code"] = code;
        use(scenario);
        ZubHostTesting::clearMessageBoxes();
        ZubHostTesting::clearDebugLog();
        DruxClient client;
        ASSERT_EQ(client.start(kComponent, 64), 0);
        std::vector<DRUX::DruxUpdateInfo> list;
        ASSERT_EQ(client.checkUpdate(list), 1);
        client.doUpdata(list[0], nullptr);
        EXPECT_EQ(messageBoxes(), QStringList{text});
        const int shown = code.isNull() ? -1 : code.asInt();
        EXPECT_EQ(failureOf(logOf("DruxClient::doUpdata")), QString("DruxClient DoUpdate failed: %1\n").arg(shown));
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
    DruxClient_Userid client;
    DRUX::DruxUpdateInfoUserid info;
    info.appname = kComponent;
    info.bits = 64;
    info.canUpdate = 1;
    testing::internal::CaptureStdout();
    client.doUpdata(info, nullptr);
    ASSERT_EQ(client.start(kComponent, 64), 0);
    client.doUpdata(info, nullptr);
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(count(printed, "kill myself\n"), 2);
    EXPECT_EQ(count(printed, "destroy notifier\n"), 2);
    EXPECT_EQ(journalCount("DruxClientUserid.DoUpdate"), 1);
    EXPECT_EQ(messageBoxes(), QStringList({"升级失败（3）！", "升级失败（3）！"}));
}

TEST_F(DruxClientWrapperTest, AcceptedUpdateReportsFromThePlatformThreads)
{
    Json::Value scenario = offeringUpdate();
    scenario["doUpdate"]["reports"].append(stageReport(1, 30, 1));
    scenario["doUpdate"]["reports"].append(stageReport(2, 100, 2));
    scenario["doUpdate"]["reports"].append(stageReport(4, 0, 1));
    scenario["doUpdate"]["reports"].append(resultReport(0, 2));
    use(scenario);
    StageLog receiver;
    DruxClient_Userid client;
    ASSERT_EQ(client.start(kComponent, 64), 0);
    std::vector<DRUX::DruxUpdateInfoUserid> list;
    ASSERT_EQ(client.checkUpdate("user", "tenant", list), 1);
    client.doUpdata(list[0], &receiver);
    EXPECT_EQ(list[0].canUpdate, 0);
    ASSERT_TRUE(waitForSinkReleases());
    const std::vector<std::pair<int, int>> expected = {{1, 30}, {2, 100}, {4, 0}};
    EXPECT_EQ(receiver.reports(), expected);
    EXPECT_TRUE(messageBoxes().isEmpty());
    EXPECT_TRUE(logOf("DruxClient_Userid::doUpdata").empty());
}
