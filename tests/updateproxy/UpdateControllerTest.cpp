#include "CoreFixture.h"
#include "FakeHost.h"
#include "ModalScript.h"

#include "ZubDRUXClient/ZubUpdateController.h"

#include <ZubCustomTitleDialog.h>

#include <QApplication>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {
const QString kName(kComponent);

// A download report that comes well after the dialog is up.
Json::Value withReport(Json::Value scenario)
{
    scenario["doUpdate"]["reports"][0]["stage"] = 1;
    scenario["doUpdate"]["reports"][0]["delayMs"] = 150;
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

// The user closes the dialog; the host's request from inside the dialog's own
// event loop. The fault matrix has every outcome a host can see from outside.
class UpdateControllerTest : public CoreFixture
{
protected:
    // The controller reads the scenario when it creates its clients.
    std::unique_ptr<ZubUpdateController> controllerFor(const Json::Value& scenario)
    {
        use(scenario);
        return std::make_unique<ZubUpdateController>(m_host.getTovService(),
                                                     m_host.getZubService());
    }

    FakeHost m_host;
};

TEST_F(UpdateControllerTest, DialogClosedBeforeTheInstallEndsMeansFailure)
{
    auto controller = controllerFor(withReport(offeringUpdate()));
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
    m_host.tovText = "tenant-3";
    EXPECT_TRUE(controller->checkAndUpdate(kName, true));
    EXPECT_EQ(journalCount("user2=\"tenant-3\""), 1);
    EXPECT_TRUE(waitForSinkReleases(2));
    EXPECT_TRUE(platformThreadsEnded());
}

// Found a crash once: the host dropped the plug-in while a silent update reported.
TEST_F(UpdateControllerTest, ReportsAfterTheControllerIsGoneAreHarmless)
{
    auto controller = controllerFor(withReport(offeringUpdate()));
    EXPECT_TRUE(controller->checkAndUpdate(kName, true));
    controller.reset();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(waitForSinkReleases());
    ASSERT_TRUE(platformThreadsEnded());
    EXPECT_NE(testing::internal::GetCapturedStdout().find("destroy notifier"), std::string::npos);
}
