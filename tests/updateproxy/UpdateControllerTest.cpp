#include "CoreFixture.h"
#include "FakeHost.h"
#include "ModalDialog.h"

#include "ZubDRUXClient/ZubUpdateController.h"

#include <ZubCustomTitleDialog.h>

#include <QApplication>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {
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
using UpdateControllerTest = CoreFixture;

TEST_F(UpdateControllerTest, DialogClosedBeforeTheInstallEndsMeansFailure)
{
    // A download report that comes well after the dialog is up.
    Json::Value scenario = offeringUpdate();
    scenario["doUpdate"]["reports"][0]["stage"] = 1;
    scenario["doUpdate"]["reports"][0]["delayMs"] = 150;
    use(scenario);
    FakeHost host;
    ZubUpdateController controller(host.getTovService(), host.getZubService());
    const QString name(kComponent);
    bool nestedResult = false;
    ModalScript script([&](QWidget* window) {
        // A request from the dialog's own event loop finds the run busy.
        nestedResult = controller.checkAndUpdate(name, false);
        static_cast<ZubCustomTitleDialog*>(window)->getTitleBarFrame()->getCloseButton()->click();
    });
    EXPECT_FALSE(controller.checkAndUpdate(name, false));
    EXPECT_TRUE(nestedResult);
    EXPECT_EQ(journalCount(".Start"), 1);
    EXPECT_EQ(titleWindows(), 0);

    // Idle again: the next request runs, with the user strings of its time.
    host.tovText = "tenant-3";
    EXPECT_TRUE(controller.checkAndUpdate(name, true));
    EXPECT_EQ(journalCount("user2=\"tenant-3\""), 1);
    EXPECT_TRUE(waitForSinkReleases(2));
    EXPECT_TRUE(platformThreadsEnded());
}
