#include "CoreFixture.h"
#include "HostMocks.h"
#include "ModalScript.h"
#include "ProgressView.h"

#include "ZubDRUXClient/ZubUpdateController.h"

#include <ZubCustomTitleDialog.h>

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

using testing::NiceMock;
using testing::Return;
using testing::ReturnRef;

namespace {
const QString kName(kComponent);

// Stage reports that start well after the dialog is up.
Json::Value withReports(Json::Value scenario, const std::vector<int>& stages)
{
    for (const int stage : stages) {
        Json::Value report;
        report["stage"] = stage;
        report["percent"] = 40;
        report["delayMs"] = 150;
        scenario["doUpdate"]["reports"].append(report);
    }
    return scenario;
}

int titleWindows()
{
    int windows = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        windows += qobject_cast<ZubCustomTitleDialog*>(widget) ? 1 : 0;
    return windows;
}
} // namespace

class UpdateControllerTest : public CoreFixture
{
protected:
    UpdateControllerTest()
    {
        ON_CALL(m_zub, getHostObject()).WillByDefault(Return(&m_hostObject));
        ON_CALL(m_hostObject, getText()).WillByDefault(ReturnRef(m_user1));
        ON_CALL(m_tov, getText()).WillByDefault([this] { return m_user2; });
    }

    // The controller reads the scenario when it creates its clients.
    std::unique_ptr<ZubUpdateController> controllerFor(const Json::Value& scenario)
    {
        use(scenario);
        return std::make_unique<ZubUpdateController>(&m_tov, &m_zub);
    }

    QString m_user1 = "user-1";
    QString m_user2 = "tenant-2";
    NiceMock<MockHostObject> m_hostObject;
    NiceMock<MockZubService> m_zub;
    NiceMock<MockTovService> m_tov;
};

TEST_F(UpdateControllerTest, UpdateEndingWellClosesTheDialogWithSuccess)
{
    auto controller = controllerFor(withReports(offeringUpdate(), {1, 2, 3, 4}));
    ModalScript script([&](QWidget* window) {
        // Later stages may already have moved the label past the download's 40 %.
        EXPECT_TRUE(waitUntil(
            [&] { return ProgressView(window).percent->text().chopped(1).toInt() >= 40; }));
    });
    EXPECT_TRUE(controller->checkAndUpdate(kName, false));
    EXPECT_TRUE(script.ran());
    EXPECT_EQ(journalCount("DruxClientUserid.Start appname=\"Mirn6_QualityControl\" bits=64"), 1);
    EXPECT_EQ(journalCount("CheckUpdateForUser user1=\"user-1\" user2=\"tenant-2\""), 1);
    EXPECT_EQ(journalCount("DruxClientUserid.DoUpdate appname=\"Mirn6_QualityControl\" bits=64"),
              1);
    EXPECT_EQ(journalCount("DruxClientUserid.Stop"), 1);
    EXPECT_EQ(journalCount("DruxClient2.Start"), 0);
    EXPECT_EQ(titleWindows(), 0);
    EXPECT_TRUE(waitForSinkReleases());
}

TEST_F(UpdateControllerTest, DialogClosedBeforeTheInstallEndsMeansFailure)
{
    auto controller = controllerFor(withReports(offeringUpdate(), {1}));
    bool nestedResult = false;
    ModalScript script([&](QWidget* window) {
        // A request from the dialog's own event loop finds the run busy.
        nestedResult = controller->checkAndUpdate(kName, false);
        static_cast<ZubCustomTitleDialog*>(window)->getTitleBarFrame()->getCloseButton()->click();
    });
    EXPECT_FALSE(controller->checkAndUpdate(kName, false));
    EXPECT_TRUE(nestedResult);
    EXPECT_EQ(journalCount(".Start"), 1);
    EXPECT_EQ(titleWindows(), 0);

    // Idle again: the next request runs, with the user strings of its time.
    m_user2 = "tenant-3";
    EXPECT_TRUE(controller->checkAndUpdate(kName, true));
    EXPECT_EQ(journalCount("user2=\"tenant-3\""), 1);
    EXPECT_TRUE(waitForSinkReleases(2));
}

TEST_F(UpdateControllerTest, SilentRunStopsAtOnceAndOutlivesNothing)
{
    auto controller = controllerFor(withReports(offeringUpdate(), {1, 2, 3, 4}));
    ModalScript script([](QWidget*) {});
    EXPECT_TRUE(controller->checkAndUpdate(kName, true));
    const std::string journal = CoreScenario::journal();
    EXPECT_LT(journal.find("DruxClientUserid.DoUpdate"), journal.find("DruxClientUserid.Stop"));
    EXPECT_EQ(journal.find("NotifyStage"), std::string::npos);

    // The host may drop the plug-in while the update still reports.
    controller.reset();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(waitForSinkReleases());
    QTest::qWait(50);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("destroy notifier"), std::string::npos);
    EXPECT_FALSE(script.ran());
}

TEST_F(UpdateControllerTest, UserFlavourThatStartedNeverFallsBack)
{
    Json::Value failing;
    failing["check"]["status"] = 1;
    failing["check"]["code"] = 5;
    Json::Value nothing;
    nothing["check"]["hasUpdate"] = 0;
    for (const Json::Value& scenario : {failing, nothing})
        EXPECT_TRUE(controllerFor(scenario)->checkAndUpdate(kName, false));
    EXPECT_EQ(journalCount("DruxClientUserid.Stop"), 2);
    EXPECT_EQ(journalCount("DruxClient2.Start"), 0);
}

TEST_F(UpdateControllerTest, UserFlavourThatCannotStartFallsBackToTheProduct)
{
    Json::Value refused = offeringUpdate();
    refused["user"]["start"]["status"] = 1;
    refused["user"]["start"]["code"] = 4;
    Json::Value missing = offeringUpdate();
    missing["user"]["create"] = "0x80004005";
    for (const Json::Value& scenario : {refused, missing})
        EXPECT_TRUE(controllerFor(scenario)->checkAndUpdate(kName, true));
    EXPECT_EQ(journalCount("DruxClient2.Start appname=\"Mirn6_QualityControl\" bits=64"), 2);
    EXPECT_EQ(journalCount("DruxClient2.DoUpdate appname=\"Mirn6_QualityControl\" bits=64"), 2);
    EXPECT_EQ(journalCount("DruxClient2.Stop"), 2);
    EXPECT_EQ(journalCount("DruxClientUserid.Check"), 0);
    EXPECT_TRUE(waitForSinkReleases(2));
}

TEST_F(UpdateControllerTest, MissingHostReferenceSkipsTheCheck)
{
    use(offeringUpdate());
    EXPECT_CALL(m_tov, getText()).Times(0);
    EXPECT_CALL(m_zub, getHostObject()).Times(0);
    EXPECT_TRUE(ZubUpdateController(&m_tov, nullptr).checkAndUpdate(kName, false));
    EXPECT_TRUE(ZubUpdateController(nullptr, &m_zub).checkAndUpdate(kName, false));
    EXPECT_EQ(journalCount("DruxClientUserid.Start"), 2);
    EXPECT_EQ(journalCount("DruxClientUserid.Stop"), 2);
    EXPECT_EQ(journalCount("Check"), 0);
    EXPECT_EQ(journalCount("DruxClient2.Start"), 0);
}

TEST_F(UpdateControllerTest, OnlyAPassingFirstRecordIsInstalled)
{
    const std::vector<Json::Value> lists[] = {
        {updateRecord("Other"), updateRecord()},
        {updateRecord("mirn6_qualitycontrol")},
        {updateRecord(kComponent, 1)},
        {updateRecord(kComponent, 0, 0)},
    };
    for (const auto& records : lists)
        EXPECT_TRUE(controllerFor(offeringUpdate(records))->checkAndUpdate(kName, false));
    EXPECT_EQ(journalCount("CheckUpdateForUser"), 4);
    EXPECT_EQ(journalCount("DoUpdate"), 0);
}
