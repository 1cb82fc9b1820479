// Both update clients against the real stand-in core, loaded through the
// registry as the plug-in loads it; the core's behaviour comes from a scenario.
#include "CoreScenario.h"
#include "LogLines.h"
#include "RecordingSink.h"

#include <libdruxclient/DruxClient2.h>
#include <libdruxclient/DruxClientUserid.h>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

namespace {

struct Product
{
    using Client = DRUX::DruxClient2;
    using Record = DRUX::DruxUpdateInfo;
    static constexpr const char* kName = "DruxClient2";
    static constexpr const char* kSection = "product";
};

struct User
{
    using Client = DRUX::DruxClientUserid;
    using Record = DRUX::DruxUpdateInfoUserid;
    static constexpr const char* kName = "DruxClientUserid";
    static constexpr const char* kSection = "user";
};

const char* const kOffer =
    R"([{"appname":"Mirn6_QualityControl","version":"6.2.1.7","bits":64,"fsize":1024},{"appname":"Next"}])";

bool journalHas(const std::string& line)
{
    return CoreScenario::journal().find(line + "\n") != std::string::npos;
}

template <class Flavour>
class ServiceClient : public testing::Test
{
protected:
    using Client = typename Flavour::Client;
    using Record = typename Flavour::Record;

    void SetUp() override { CoreScenario::clearJournal(); }

    // Scenario for this flavour's own section (the other flavour stays default).
    std::unique_ptr<Client> connect(const std::string& section)
    {
        scenario.write(std::string("{\"") + Flavour::kSection + "\": " + section + "}");
        return std::make_unique<Client>();
    }

    std::unique_ptr<Client> started(const std::string& section)
    {
        std::unique_ptr<Client> client = connect(section);
        EXPECT_EQ(client->start("Mirn6_QualityControl", 64), 0);
        return client;
    }

    std::string call(const char* operation) const
    {
        return std::string(Flavour::kName) + "." + operation;
    }

    CoreScenario scenario;
    std::shared_ptr<SinkLog> sinkLog = std::make_shared<SinkLog>();
    unsigned int hasUpdate = 0;
    std::string reason;
    std::vector<Record> list = std::vector<Record>(1);
};

using Flavours = testing::Types<Product, User>;
TYPED_TEST_SUITE(ServiceClient, Flavours);

TYPED_TEST(ServiceClient, WithoutServiceEveryOperationAnswers1)
{
    DebugCapture capture;
    auto client = this->connect(R"({"create": "0x80004005"})");
    const std::string name = TypeParam::kName;
    EXPECT_EQ(countLogged(capture, name + " ctor"), 1);
    EXPECT_EQ(countLogged(capture, "create I" + name + " failed, ret 0x80004005"), 1);

    EXPECT_EQ(client->start("Mirn6_QualityControl", 64), 1);
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 1);
    auto* sink = new RecordingSink(this->sinkLog);
    EXPECT_EQ(client->doUpdate(this->list[0], 64, sink), 1);
    EXPECT_EQ(client->stop(), 1);
    EXPECT_EQ(this->list.size(), 1u);
    // The sink stays the caller's.
    EXPECT_EQ(this->sinkLog->releases(), 0);
    sink->release();
}

TYPED_TEST(ServiceClient, BeforeStartOperationsAnswer3AndTouchNothing)
{
    DebugCapture capture;
    auto client = this->connect("{}");
    EXPECT_EQ(countLogged(capture, std::string("create I") + TypeParam::kName + " from qorcore OK"),
              1);

    EXPECT_EQ(client->start("Mirn6_QualityControl", 16), 2);
    EXPECT_EQ(client->checkUpdate(nullptr, this->reason, this->list), 2);
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 3);
    auto* sink = new RecordingSink(this->sinkLog);
    EXPECT_EQ(client->doUpdate(this->list[0], 64, sink), 3);
    EXPECT_EQ(client->stop(), 3);
    EXPECT_EQ(this->list.size(), 1u);
    EXPECT_EQ(this->sinkLog->releases(), 0);
    sink->release();
    EXPECT_FALSE(journalHas(this->call("Start") + " appname=\"Mirn6_QualityControl\" bits=16"));

    // The service is released once; the destructor's line goes to the debugger only.
    client.reset();
    const std::string journal = CoreScenario::journal();
    const std::string release = this->call("Release") + "\n";
    ASSERT_NE(journal.find(release), std::string::npos);
    EXPECT_EQ(journal.find(release, journal.find(release) + 1), std::string::npos);
    EXPECT_TRUE(capture.contains(std::string(" ") + TypeParam::kName + " dtor\n"));
    EXPECT_EQ(countLogged(capture, std::string(TypeParam::kName) + " dtor"), 0);
}

TYPED_TEST(ServiceClient, ChecksAnswerWithTheListTheReasonOrThePlatformCode)
{
    auto offering =
        this->started(std::string(R"({"check": {"hasUpdate": 1, "list": )") + kOffer + "}}");
    EXPECT_TRUE(journalHas(this->call("Start") + " appname=\"Mirn6_QualityControl\" bits=64"));
    EXPECT_EQ(offering->checkUpdate(&this->hasUpdate, this->reason, this->list), 0);
    EXPECT_EQ(this->hasUpdate, 1u);
    ASSERT_EQ(this->list.size(), 2u);
    EXPECT_EQ(this->list[0].version, "6.2.1.7");
    EXPECT_EQ(this->list[1].appname, "Next");

    auto current = this->started(R"({"check": {"code": 16, "reason": "already at 6.2.1.7"}})");
    EXPECT_EQ(current->checkUpdate(&this->hasUpdate, this->reason, this->list), 16);
    EXPECT_EQ(this->hasUpdate, 0u);
    EXPECT_EQ(this->reason, "already at 6.2.1.7");
    EXPECT_TRUE(this->list.empty());

    // A failed call still empties the caller's list first.
    this->list.resize(1);
    auto failing = this->started(R"({"check": {"status": 1, "code": 6}})");
    EXPECT_EQ(failing->checkUpdate(&this->hasUpdate, this->reason, this->list), 6);
    EXPECT_TRUE(this->list.empty());

    auto listless = this->started(R"({"check": {"hasUpdate": 1, "code": 5, "list": null}})");
    EXPECT_EQ(listless->checkUpdate(&this->hasUpdate, this->reason, this->list), 5);
    EXPECT_TRUE(this->list.empty());

    auto garbled = this->started(R"({"check": {"hasUpdate": 1, "list": "[{\"bits\": \"64\"}]"}})");
    EXPECT_EQ(garbled->checkUpdate(&this->hasUpdate, this->reason, this->list), 7);
    EXPECT_TRUE(this->list.empty());
}

TYPED_TEST(ServiceClient, BusyPlatformAnswers8UntilItIsFree)
{
    auto client = this->started(
        std::string(R"({"check": {"busyChecks": 2, "hasUpdate": 1, "list": )") + kOffer + "}}");
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 8);
    EXPECT_TRUE(this->list.empty());
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 8);
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 0);
    EXPECT_EQ(this->list.size(), 2u);
}

TYPED_TEST(ServiceClient, UpdateGuardsKeepTheSinkAndTheCoreUntouched)
{
    auto client = this->started("{}");
    EXPECT_EQ(client->doUpdate(this->list[0], 64, nullptr), 2);
    auto* sink = new RecordingSink(this->sinkLog);
    EXPECT_EQ(client->doUpdate(this->list[0], 16, sink), 2);
    EXPECT_EQ(this->sinkLog->releases(), 0);
    sink->release();
    EXPECT_TRUE(journalHas(this->call("Start") + " appname=\"Mirn6_QualityControl\" bits=64"));
    EXPECT_EQ(CoreScenario::journal().find(".DoUpdate"), std::string::npos);
}

TYPED_TEST(ServiceClient, RefusedUpdateReleasesTheSinkOnceBeforeReturning)
{
    DebugCapture capture;
    auto client = this->started(R"({"doUpdate": {"status": 1, "code": 8}})");
    this->list[0].appname = "Mirn6_QualityControl";
    EXPECT_EQ(client->doUpdate(this->list[0], 64, new RecordingSink(this->sinkLog)), 8);
    EXPECT_EQ(this->sinkLog->releases(), 1);
    EXPECT_EQ(countLogged(capture, "KaNotifyProxy dtor"), 1);
    // The platform that refused keeps no reference and never releases.
    const std::string journal = CoreScenario::journal();
    const size_t update =
        journal.find(this->call("DoUpdate") + " appname=\"Mirn6_QualityControl\" bits=64 sink=");
    ASSERT_NE(update, std::string::npos);
    EXPECT_EQ(journal.find(" Release\n", update), std::string::npos);
}

TYPED_TEST(ServiceClient, AcceptedUpdateReportsOnTheCoreThreadsThenReleasesOnce)
{
    auto client = this->started(R"({"doUpdate": {"code": 99, "reports": [
        {"thread": 1, "stage": 1, "percent": 40, "text1": "\u8d28\u91cf\u63a7\u5236", "text2": "6.2.1.7"},
        {"thread": 2, "stage": 1, "percent": 100, "text2": null},
        {"thread": 1, "stage": 2, "delayMs": 5},
        {"thread": 2, "stage": 3},
        {"thread": 1, "stage": 4, "bits": 64},
        {"thread": 2, "result": 0, "error": 0}]}})");
    this->list[0].appname = "Mirn6_QualityControl_Other";
    // The record's name and the given bits go to the platform, not what start stored.
    EXPECT_EQ(client->doUpdate(this->list[0], 32, new RecordingSink(this->sinkLog)), 0);
    ASSERT_TRUE(this->sinkLog->waitForRelease(10000));
    EXPECT_TRUE(CoreScenario::journal().find(this->call("DoUpdate") +
                                             " appname=\"Mirn6_QualityControl_Other\" bits=32") !=
                std::string::npos);

    const std::vector<Received> reports = this->sinkLog->reports();
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_EQ(this->sinkLog->reportsBeforeRelease(), 6);
    EXPECT_EQ(this->sinkLog->releases(), 1);

    const int stages[] = {1, 1, 2, 3, 4, 0};
    for (size_t i = 0; i < reports.size(); ++i)
        EXPECT_EQ(reports[i].value, stages[i]) << i;
    EXPECT_EQ(reports[5].call, "result");
    EXPECT_EQ(reports[0].text1, std::optional<std::string>(ansiOf(L"\u8d28\u91cf\u63a7\u5236")));
    EXPECT_EQ(reports[0].text2, std::optional<std::string>("6.2.1.7"));
    EXPECT_EQ(reports[0].bits, 32);
    EXPECT_EQ(reports[0].percent, 40);
    EXPECT_EQ(reports[1].text1, std::optional<std::string>("Mirn6_QualityControl_Other"));
    EXPECT_EQ(reports[1].text2, std::nullopt);
    EXPECT_EQ(reports[4].bits, 64);

    // Script thread 1 and 2 are two threads of the core, neither of them ours.
    const DWORD first = reports[0].thread;
    const DWORD second = reports[1].thread;
    EXPECT_NE(first, second);
    EXPECT_NE(first, GetCurrentThreadId());
    EXPECT_NE(second, GetCurrentThreadId());
    for (size_t i = 0; i < reports.size(); ++i)
        EXPECT_EQ(reports[i].thread, i % 2 == 0 ? first : second) << i;
}

TYPED_TEST(ServiceClient, RefusedStopStillEndsTheRun)
{
    auto client = this->started(R"({"stop": {"status": 1, "code": 9}})");
    EXPECT_EQ(client->stop(), 9);
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 3);
    EXPECT_EQ(client->stop(), 3);
    EXPECT_EQ(client->start("Mirn6_QualityControl", 32), 0);
    EXPECT_EQ(client->stop(), 9);
}

TYPED_TEST(ServiceClient, RefusedStartKeepsTheClientNotStarted)
{
    auto client = this->connect(R"({"start": {"status": 1, "code": 15}})");
    EXPECT_EQ(client->start("Mirn6_QualityControl", 64), 15);
    EXPECT_EQ(client->checkUpdate(&this->hasUpdate, this->reason, this->list), 3);

    auto silent = this->connect(R"({"start": {"status": 1, "code": null}})");
    EXPECT_EQ(silent->start("Mirn6_QualityControl", 64), -1);
}

TEST(UserServiceClient, UserCheckSendsBothStringsEvenWhenEmpty)
{
    CoreScenario scenario(R"({"checkForUser": {"hasUpdate": 1, "list": [{"appname": "ForUser"}]},
                              "check": {"code": 16}})");
    CoreScenario::clearJournal();
    DRUX::DruxClientUserid client;
    ASSERT_EQ(client.start("Mirn6_QualityControl", 64), 0);
    unsigned int hasUpdate = 0;
    std::string reason;
    std::vector<DRUX::DruxUpdateInfoUserid> list;
    EXPECT_EQ(client.checkUpdate("", "", &hasUpdate, reason, list), 0);
    EXPECT_TRUE(journalHas("DruxClientUserid.CheckUpdateForUser user1=\"\" user2=\"\""));
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].appname, "ForUser");

    // A name as the suite passes it, in the ANSI code page; the journal is UTF-8.
    EXPECT_EQ(client.checkUpdate("zhang.san", ansiOf(L"\u5f20"), &hasUpdate, reason, list), 0);
    EXPECT_TRUE(journalHas(
        "DruxClientUserid.CheckUpdateForUser user1=\"zhang.san\" user2=\"\xe5\xbc\xa0\""));

    EXPECT_EQ(client.checkUpdate(&hasUpdate, reason, list), 16);
    EXPECT_TRUE(journalHas("DruxClientUserid.CheckUpdate"));
}

} // namespace
