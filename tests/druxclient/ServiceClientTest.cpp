// The update client's own answers, which the plug-in's requests never draw
// out (the fault matrix has what a host can see): bad arguments, calls out of
// order, and the user check's texts. Both flavours share
// one template, so the user flavour stands for both.
#include "CoreScenario.h"

#include <libdruxclient/DruxClientUserid.h>

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::HasSubstr;
using testing::Not;

namespace {

// Counts its releases; the platform never gets it here.
class CountingSink final : public DRUX::DruxNotify
{
public:
    int notifyResult(unsigned int, const char*, const char*, int, int) override { return 0; }
    int notifyStage(unsigned int, const char*, const char*, int, int, int) override { return 0; }
    int release() override { return ++releases; }

    int releases = 0;
};

class ServiceClient : public testing::Test
{
protected:
    ServiceClient() { CoreScenario::clearJournal(); }

    CoreScenario scenario;
    CountingSink sink;
    unsigned int hasUpdate = 0;
    std::string reason;
    std::vector<DRUX::DruxUpdateInfoUserid> list = std::vector<DRUX::DruxUpdateInfoUserid>(1);
};

TEST_F(ServiceClient, BadArgumentsAnswer2AndCallsBeforeStartAnswer3)
{
    DRUX::DruxClientUserid client;
    EXPECT_EQ(client.start("Mirn6_QualityControl", 16), 2);
    EXPECT_EQ(client.checkUpdate(nullptr, reason, list), 2);
    EXPECT_EQ(client.checkUpdate(&hasUpdate, reason, list), 3);
    EXPECT_EQ(client.doUpdate(list[0], 64, &sink), 3);
    EXPECT_EQ(client.stop(), 3);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_THAT(CoreScenario::journal(), Not(HasSubstr(".Start")));

    ASSERT_EQ(client.start("Mirn6_QualityControl", 64), 0);
    EXPECT_EQ(client.doUpdate(list[0], 64, nullptr), 2);
    EXPECT_EQ(client.doUpdate(list[0], 16, &sink), 2);
    EXPECT_EQ(sink.releases, 0);
    EXPECT_THAT(CoreScenario::journal(), Not(HasSubstr(".DoUpdate")));
}

// The record's name and the bits given go to the platform, not what start
// stored; the proxy the platform refused releases the sink before the call returns.
TEST_F(ServiceClient, UpdateSendsTheRecordsNameAndTheGivenBits)
{
    scenario.write(R"({"doUpdate": {"status": 1, "code": 8}})");
    DRUX::DruxClientUserid client;
    ASSERT_EQ(client.start("Mirn6_QualityControl", 64), 0);
    list[0].appname = "Other";
    EXPECT_EQ(client.doUpdate(list[0], 32, &sink), 8);
    EXPECT_EQ(sink.releases, 1);
    EXPECT_THAT(CoreScenario::journal(),
                HasSubstr("DruxClientUserid.DoUpdate appname=\"Other\" bits=32 "));
}

TEST_F(ServiceClient, RefusedStartOrStopLeavesTheClientNotStarted)
{
    scenario.write(R"({"start": {"status": 1, "code": null}})");
    DRUX::DruxClientUserid refusedStart;
    EXPECT_EQ(refusedStart.start("Mirn6_QualityControl", 64), -1);
    EXPECT_EQ(refusedStart.checkUpdate(&hasUpdate, reason, list), 3);

    scenario.write(R"({"check": {"status": 1, "code": 6}, "stop": {"status": 1, "code": 9}})");
    DRUX::DruxClientUserid refusedStop;
    ASSERT_EQ(refusedStop.start("Mirn6_QualityControl", 64), 0);
    // A failed check still empties the caller's list.
    EXPECT_EQ(refusedStop.checkUpdate(&hasUpdate, reason, list), 6);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(refusedStop.stop(), 9);
    EXPECT_EQ(refusedStop.checkUpdate(&hasUpdate, reason, list), 3);
    EXPECT_EQ(refusedStop.stop(), 3);
    EXPECT_EQ(refusedStop.start("Mirn6_QualityControl", 32), 0);
    EXPECT_THAT(CoreScenario::journal(),
                HasSubstr("DruxClientUserid.Start appname=\"Mirn6_QualityControl\" bits=32\n"));
}

// A name as the suite passes it, in the ANSI code page; the journal is UTF-8.
TEST_F(ServiceClient, UserCheckSendsBothStringsFromTheAnsiPage)
{
    scenario.write(R"({"checkForUser": {"hasUpdate": 1, "list": [{"appname": "ForUser"}]},
                       "check": {"code": 16}})");
    DRUX::DruxClientUserid client;
    ASSERT_EQ(client.start("Mirn6_QualityControl", 64), 0);
    char name[8] = {};
    WideCharToMultiByte(CP_ACP, 0, L"\u5f20", -1, name, sizeof name - 1, nullptr, nullptr);
    EXPECT_EQ(client.checkUpdate("zhang.san", name, &hasUpdate, reason, list), 0);
    EXPECT_THAT(CoreScenario::journal(),
                HasSubstr("CheckUpdateForUser user1=\"zhang.san\" user2=\"\xe5\xbc\xa0\"\n"));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].appname, "ForUser");
    EXPECT_EQ(client.checkUpdate(&hasUpdate, reason, list), 16);
}

// A flag without a list text: the platform's code and no record; two empty
// user strings still make the user check.
TEST_F(ServiceClient, FlaggedCheckWithoutAListAnswersThePlatformsCode)
{
    scenario.write(R"({"check": {"hasUpdate": 1, "list": null, "code": 5},
                       "checkForUser": {"hasUpdate": 1, "list": null, "code": 0}})");
    DRUX::DruxClientUserid client;
    ASSERT_EQ(client.start("Mirn6_QualityControl", 64), 0);
    EXPECT_EQ(client.checkUpdate(&hasUpdate, reason, list), 5);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(client.checkUpdate("", "", &hasUpdate, reason, list), 0);
    EXPECT_EQ(hasUpdate, 1u);
    EXPECT_TRUE(list.empty());
    EXPECT_THAT(CoreScenario::journal(), HasSubstr("CheckUpdateForUser user1=\"\" user2=\"\"\n"));
}

// The core made no service: check, update and stop answer 1, and the sink
// stays the caller's.
TEST_F(ServiceClient, WithoutAServiceEveryCallAnswers1)
{
    scenario.write(R"({"user": {"create": "0x80004005"}})");
    DRUX::DruxClientUserid client;
    EXPECT_EQ(client.checkUpdate(&hasUpdate, reason, list), 1);
    EXPECT_EQ(client.doUpdate(DRUX::DruxUpdateInfoUserid{}, 64, &sink), 1);
    EXPECT_EQ(client.stop(), 1);
    EXPECT_EQ(sink.releases, 0);
}

} // namespace
