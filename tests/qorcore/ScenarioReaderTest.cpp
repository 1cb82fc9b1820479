#include <Scenario.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using qorcore::Report;
using qorcore::Scenario;
using qorcore::TextSpec;

class ScenarioReading : public testing::Test
{
protected:
    bool read(const std::string& text)
    {
        error.clear();
        scenario = Scenario();
        return qorcore::parseScenario(text, scenario, error);
    }

    Scenario scenario;
    std::string error;
};

TEST_F(ScenarioReading, AnEmptyScenarioSucceedsEverywhere)
{
    ASSERT_TRUE(read("{}")) << error;
    EXPECT_EQ(scenario.loader.classObject, S_OK);
    EXPECT_FALSE(scenario.loader.nullClassObject);
    for (const qorcore::FlavourPlan* plan : {&scenario.product, &scenario.user}) {
        EXPECT_EQ(plan->create, S_OK);
        EXPECT_EQ(plan->start.status, S_OK);
        EXPECT_EQ(plan->check.hasUpdate, 0u);
        EXPECT_EQ(plan->check.list.kind, TextSpec::Kind::Default);
        EXPECT_TRUE(plan->update.reports.empty());
    }
    EXPECT_FALSE(scenario.repository.enabled);
}

TEST_F(ScenarioReading, FlavourSectionsOverrideTheSharedOperations)
{
    ASSERT_TRUE(read(R"({
        "start": {"status": 1, "code": 5},
        "check": {"hasUpdate": 1, "list": [{"appname": "A", "bits": 64}], "busyChecks": 2},
        "user": {"create": "0x80004005", "start": {"status": 0}, "checkForUser": {"code": null, "status": 2}},
        "product": {"stop": {"status": -2147467259, "code": 9}}
    })"))
        << error;
    EXPECT_EQ(scenario.product.start.status, 1);
    EXPECT_EQ(scenario.product.start.code, 5);
    EXPECT_EQ(scenario.user.start.status, 0);
    EXPECT_EQ(scenario.user.create, E_FAIL);
    EXPECT_EQ(scenario.product.stop.status, E_FAIL);
    EXPECT_EQ(scenario.user.stop.status, S_OK);

    // The list may be written as JSON; it is sent as its compact text.
    EXPECT_EQ(scenario.product.check.list.kind, TextSpec::Kind::Given);
    EXPECT_EQ(scenario.product.check.list.utf8, R"([{"appname":"A","bits":64}])");
    EXPECT_EQ(scenario.product.check.busyChecks, 2);
    // Without a check of its own, the user check is the shared one.
    EXPECT_EQ(scenario.user.check.busyChecks, 2);
    EXPECT_EQ(scenario.user.checkForUser.outcome.status, 2);
    EXPECT_FALSE(scenario.user.checkForUser.outcome.setsCode);
    EXPECT_EQ(scenario.user.checkForUser.busyChecks, 0);
}

TEST_F(ScenarioReading, TextsAreGivenNullOrLeftToTheCore)
{
    ASSERT_TRUE(read(R"({"check": {"reason": null, "list": "not json ["},
        "doUpdate": {"reports": [
            {"stage": 1, "percent": 40, "text1": "\u8d28\u91cf", "text2": null, "thread": 2, "delayMs": 5},
            {"result": 0, "error": 3, "bits": 32}]}})"))
        << error;
    EXPECT_EQ(scenario.product.check.reason.kind, TextSpec::Kind::Null);
    EXPECT_EQ(scenario.product.check.list.utf8, "not json [");

    const std::vector<Report>& reports = scenario.user.update.reports;
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0].kind, Report::Kind::Stage);
    EXPECT_EQ(reports[0].value, 1);
    EXPECT_EQ(reports[0].percent, 40);
    EXPECT_EQ(reports[0].thread, 2);
    EXPECT_EQ(reports[0].delayMs, 5);
    EXPECT_EQ(reports[0].text1.utf8, "\xe8\xb4\xa8\xe9\x87\x8f");
    EXPECT_EQ(reports[0].text2.kind, TextSpec::Kind::Null);
    EXPECT_FALSE(reports[0].hasBits);

    EXPECT_EQ(reports[1].kind, Report::Kind::Result);
    EXPECT_EQ(reports[1].thread, 1);
    EXPECT_EQ(reports[1].error, 3u);
    EXPECT_TRUE(reports[1].hasBits);
    EXPECT_EQ(reports[1].bits, 32);
    EXPECT_EQ(reports[1].text1.kind, TextSpec::Kind::Default);
}

// Each fault is named with where it is, and nothing escapes as an exception.
TEST_F(ScenarioReading, FaultsAreReportedWithTheirPlace)
{
    const struct
    {
        const char* text;
        const char* error;
    } cases[] = {
        {R"({"chek": {}})", "scenario: unknown key 'chek'"},
        {R"({"start": {"status": "ok"}})",
         "product.start.status: expected a status (a number or \"0x...\")"},
        {R"({"user": {"create": "0x1G"}})",
         "user.create: expected a status (a number or \"0x...\")"},
        {R"({"check": {"busyChecks": "2"}})", "product.check.busyChecks: expected an integer"},
        {R"({"check": {"reason": 5}})", "product.check.reason: expected a string or null"},
        {R"({"doUpdate": {"reports": {}}})", "product.doUpdate.reports: expected an array"},
        {R"({"doUpdate": {"reports": [{"percent": 5}]}})",
         "product.doUpdate.reports[0]: a report has either \"stage\" or \"result\""},
        {R"({"doUpdate": {"reports": [{"stage": 1, "result": 0}]}})",
         "product.doUpdate.reports[0]: a report has either \"stage\" or \"result\""},
        {R"({"doUpdate": {"reports": [{"stage": 1, "thread": 0}]}})",
         "product.doUpdate.reports[0].thread: expected 1 to 16"},
        {R"({"loader": {"nullClassObject": 1}})", "loader.nullClassObject: expected true or false"},
        {R"({"repository": {"packages": "p"}})",
         "repository: \"packages\" and \"modules\" name two folders"},
        {R"([])", "scenario: expected an object"},
    };
    for (const auto& fault : cases) {
        EXPECT_FALSE(read(fault.text)) << fault.text;
        EXPECT_EQ(error, fault.error) << fault.text;
    }
}

TEST_F(ScenarioReading, TextThatIsNotAScenarioIsRefusedWithTheReaderMessage)
{
    for (const std::string& text :
         {std::string("{"), std::string("{} trailing"), std::string(100000, '['),
          std::string(R"({"start": {}, "start": {}})")}) {
        EXPECT_FALSE(read(text)) << text.substr(0, 40);
        EXPECT_FALSE(error.empty()) << text.substr(0, 40);
    }
}

} // namespace
