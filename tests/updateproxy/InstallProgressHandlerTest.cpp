#include "ModalScript.h"
#include "ProgressView.h"

#include "ZubDRUXClient/ZubInstallProgressHandler.h"

#include <ZubHostTesting.h>

#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace
{
const int kFiveMinutes = 300000;

struct Report
{
    int stage;
    int percent;
};
} // namespace

// Reports come from a real foreign thread, as the platform sends them.
class InstallProgressHandlerTest : public testing::Test
{
protected:
    InstallProgressHandlerTest()
    {
        ZubHostTesting::recordMessageBoxes(true);
        ZubHostTesting::clearMessageBoxes();
    }
    ~InstallProgressHandlerTest() override
    {
        ZubHostTesting::setMessageBoxCallback(nullptr);
        ZubHostTesting::recordMessageBoxes(false);
    }

    void sendFromAnotherThread(const std::vector<Report>& reports)
    {
        std::thread platform([&] {
            for (const Report& report : reports)
                m_handler.notifyProgress(report.stage, report.percent);
        });
        platform.join();
    }

    // Waits until the queued reports have reached the dialog's text line.
    static bool shows(QWidget* window, const QString& text)
    {
        return waitUntil([&] { return ProgressView(window).content->text() == text; });
    }

    ZubInstallProgressHandler m_handler;
    QSignalSpy m_updates{&m_handler, &ZubInstallProgressHandler::onNotifyUpdateProgressForm};
    QSignalSpy m_ends{&m_handler, &ZubInstallProgressHandler::onNotifyEndProgerssForm};
    QSignalSpy m_timeouts{&m_handler, &ZubInstallProgressHandler::onNotifyStartTimeOut};
};

TEST_F(InstallProgressHandlerTest, ReportsWithoutADialogAreLost)
{
    sendFromAnotherThread({{1, 40}, {2, 0}, {3, 0}, {4, 0}});
    QTest::qWait(20);
    EXPECT_EQ(m_updates.count(), 0);
    EXPECT_EQ(m_ends.count(), 0);
    EXPECT_EQ(m_timeouts.count(), 0);
    EXPECT_FALSE(m_handler.watchdog()->isActive());
    EXPECT_EQ(m_handler.closeCode(), 1);
}

TEST_F(InstallProgressHandlerTest, StagesDriveTheDialogUntilTheInstallIsOver)
{
    QStringList percents;
    QPointer<QWidget> shown;
    ModalScript script([&](QWidget* window) {
        shown = window;
        sendFromAnotherThread({{1, 40}});
        ASSERT_TRUE(shows(window, "组件下载中, 请稍后..."));
        percents << ProgressView(window).percent->text();
        // Stages 2 and 3 show fixed values; 0 and 5 mean nothing here.
        sendFromAnotherThread({{2, 7}, {0, 80}, {5, 80}});
        ASSERT_TRUE(shows(window, "组件下载完成"));
        percents << ProgressView(window).percent->text();
        sendFromAnotherThread({{3, 3}});
        ASSERT_TRUE(shows(window, "组件安装中, 请稍后..."));
        percents << ProgressView(window).percent->text();
        EXPECT_TRUE(m_handler.watchdog()->isActive());
        EXPECT_EQ(m_handler.watchdog()->interval(), kFiveMinutes);
        sendFromAnotherThread({{4, 0}});
    });
    m_handler.showProgressForm();

    ASSERT_TRUE(script.ran());
    EXPECT_EQ(percents, QStringList({"40%", "95%", "99%"}));
    EXPECT_EQ(m_updates.count(), 3);
    ASSERT_EQ(m_ends.count(), 1);
    EXPECT_EQ(m_ends.at(0).at(0).toInt(), 1);
    EXPECT_EQ(m_handler.closeCode(), 1);
    // Stage 4 ends the dialog but leaves the watchdog to the caller.
    EXPECT_TRUE(m_handler.watchdog()->isActive());

    m_handler.closeProgressForm();
    EXPECT_FALSE(m_handler.watchdog()->isActive());
    EXPECT_TRUE(shown.isNull());
    // With the dialog gone, reports are dropped again.
    sendFromAnotherThread({{1, 50}, {4, 0}});
    EXPECT_EQ(m_updates.count(), 3);
    EXPECT_EQ(m_ends.count(), 1);
}

TEST_F(InstallProgressHandlerTest, SecondInstallStageRestartsTheWatchdog)
{
    // Timers this long fire on whole seconds, so the second stage comes
    // well over a second after the first.
    int remainingBefore = 0;
    int remainingAfter = 0;
    ModalScript script([&](QWidget*) {
        sendFromAnotherThread({{3, 0}});
        ASSERT_TRUE(waitUntil([&] { return m_handler.watchdog()->isActive(); }));
        QTest::qWait(1500);
        remainingBefore = m_handler.watchdog()->remainingTime();
        sendFromAnotherThread({{3, 0}});
        ASSERT_TRUE(waitUntil([&] { return m_timeouts.count() == 2; }));
        QTest::qWait(20);
        remainingAfter = m_handler.watchdog()->remainingTime();
        sendFromAnotherThread({{4, 0}});
    });
    m_handler.showProgressForm();
    ASSERT_TRUE(script.ran());
    EXPECT_LE(remainingBefore, kFiveMinutes - 1000);
    EXPECT_GE(remainingAfter, remainingBefore + 500);
    EXPECT_LE(remainingAfter, kFiveMinutes + 500);
}

TEST_F(InstallProgressHandlerTest, TimeoutTellsTheUserBeforeEndingWithZero)
{
    int endsWhileTheBoxWasUp = -1;
    ZubHostTesting::setMessageBoxCallback([&](const ZubHostTesting::MessageBoxRecord&) {
        endsWhileTheBoxWasUp = m_ends.count();
    });
    ModalScript script([&](QWidget*) {
        sendFromAnotherThread({{3, 0}});
        ASSERT_TRUE(waitUntil([&] { return m_handler.watchdog()->isActive(); }));
        // Five minutes later, as far as the handler can tell.
        m_handler.doTimeout();
    });
    m_handler.showProgressForm();

    ASSERT_TRUE(script.ran());
    const auto boxes = ZubHostTesting::messageBoxTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].box, ZubHostTesting::MessageBoxKind::Mirn);
    EXPECT_EQ(boxes[0].text, QString("组件升级失败，请重启电脑后重试"));
    EXPECT_EQ(endsWhileTheBoxWasUp, 0);
    ASSERT_EQ(m_ends.count(), 1);
    EXPECT_EQ(m_ends.at(0).at(0).toInt(), 0);
    EXPECT_EQ(m_handler.closeCode(), 0);
    EXPECT_FALSE(m_handler.watchdog()->isActive());
}

TEST_F(InstallProgressHandlerTest, WatchdogFiresThroughItsOwnTimer)
{
    // The connection from the timer itself, not only the slot.
    ZubHostTesting::clearMessageBoxes();
    m_handler.doStartTimer(kFiveMinutes);
    EXPECT_TRUE(m_handler.watchdog()->isActive());
    QMetaObject::invokeMethod(const_cast<QTimer*>(m_handler.watchdog()), "timeout");
    EXPECT_FALSE(m_handler.watchdog()->isActive());
    EXPECT_EQ(ZubHostTesting::messageBoxTexts().size(), 1u);
    EXPECT_EQ(m_ends.count(), 1);
}
