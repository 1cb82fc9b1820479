#include "CoreFixture.h"
#include "ModalDialog.h"

#include "ZubDRUXClient/ZubInstallProgressHandler.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <thread>
#include <utility>
#include <vector>

namespace {
const int kFiveMinutes = 300000;
} // namespace

// Reports come from a real foreign thread, as the platform sends them.
class InstallProgressHandlerTest : public CoreFixture
{
protected:
    // (stage, percent) reports, sent one after the other.
    void report(const std::vector<std::pair<int, int>>& reports)
    {
        std::thread platform([&] {
            for (const auto& [stage, percent] : reports)
                m_handler.notifyProgress(stage, percent);
        });
        platform.join();
    }

    // Waits until the queued reports have reached the dialog's text line.
    static bool shows(QWidget* window, const QString& text)
    {
        return QTest::qWaitFor([&] { return ProgressView(window).content->text() == text; });
    }

    bool watchdogRunning() const { return m_handler.watchdog()->isActive(); }
    int remaining() const { return m_handler.watchdog()->remainingTime(); }

    ZubInstallProgressHandler m_handler;
    QSignalSpy m_updates{&m_handler, &ZubInstallProgressHandler::onNotifyUpdateProgressForm};
    QSignalSpy m_ends{&m_handler, &ZubInstallProgressHandler::onNotifyEndProgerssForm};
};

// Reports before and after the dialog are dropped: a stage 3 starts no
// watchdog, and with nothing reported by a dialog the close code is 1.
TEST_F(InstallProgressHandlerTest, StagesDriveTheDialogUntilTheInstallIsOver)
{
    report({{1, 10}, {3, 0}, {4, 0}});
    QCoreApplication::sendPostedEvents();
    EXPECT_FALSE(watchdogRunning());
    EXPECT_EQ(m_handler.closeCode(), 1);
    QStringList percents;
    QPointer<QWidget> shown;
    ModalScript script([&](QWidget* window) {
        shown = window;
        report({{1, 40}});
        EXPECT_TRUE(shows(window, "组件下载中, 请稍后..."));
        percents << ProgressView(window).percent->text();
        // Stages 2 and 3 show fixed values; 0 and 5 mean nothing here.
        report({{2, 7}, {0, 80}, {5, 80}});
        EXPECT_TRUE(shows(window, "组件下载完成"));
        percents << ProgressView(window).percent->text();
        report({{3, 3}});
        EXPECT_TRUE(shows(window, "组件安装中, 请稍后..."));
        percents << ProgressView(window).percent->text();
        EXPECT_TRUE(watchdogRunning());
        EXPECT_EQ(m_handler.watchdog()->interval(), kFiveMinutes);
        // A second install stage restarts the watchdog. Timers this long fire
        // on whole seconds, so it comes well over a second after the first.
        EXPECT_TRUE(QTest::qWaitFor([&] { return remaining() <= kFiveMinutes - 1500; }, 10000));
        report({{3, 0}});
        EXPECT_TRUE(QTest::qWaitFor([&] { return remaining() > kFiveMinutes - 1000; }));
        EXPECT_LE(remaining(), kFiveMinutes + 500);
        report({{4, 0}});
    });
    m_handler.showProgressForm();

    EXPECT_EQ(percents, QStringList({"40%", "95%", "99%"}));
    EXPECT_EQ(m_updates.count(), 4);
    EXPECT_EQ(m_handler.closeCode(), 1);
    // Stage 4 ends the dialog but leaves the watchdog to the caller.
    EXPECT_TRUE(watchdogRunning());
    m_handler.closeProgressForm();
    EXPECT_FALSE(watchdogRunning());
    EXPECT_TRUE(shown.isNull());
    report({{1, 50}, {4, 0}});
    EXPECT_EQ(m_updates.count(), 4);
    EXPECT_EQ(m_ends.count(), 1);
}

TEST_F(InstallProgressHandlerTest, TimeoutTellsTheUserBeforeEndingWithZero)
{
    int endsWhileTheBoxWasUp = -1;
    ZubHostTesting::setMessageBoxCallback(
        [&](const ZubHostTesting::MessageBoxRecord&) { endsWhileTheBoxWasUp = m_ends.count(); });
    ModalScript script([&](QWidget*) {
        report({{3, 0}});
        EXPECT_TRUE(QTest::qWaitFor([&] { return watchdogRunning(); }));
        // Five minutes later, as far as the handler can tell.
        QMetaObject::invokeMethod(const_cast<QTimer*>(m_handler.watchdog()), "timeout");
    });
    m_handler.showProgressForm();

    const auto boxes = ZubHostTesting::messageBoxTexts();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].box, ZubHostTesting::MessageBoxKind::Mirn);
    EXPECT_EQ(boxes[0].text, QString("组件升级失败，请重启电脑后重试"));
    EXPECT_EQ(endsWhileTheBoxWasUp, 0);
    ASSERT_EQ(m_ends.count(), 1);
    EXPECT_EQ(m_ends.at(0).at(0).toInt(), 0);
    EXPECT_EQ(m_handler.closeCode(), 0);
    EXPECT_FALSE(watchdogRunning());
}

// A stage-3 report that passed the form test just as the run ended: its
// watchdog start is delivered after the dialog is gone and starts nothing,
// so no failure box comes five minutes later.
TEST_F(InstallProgressHandlerTest, WatchdogStartArrivingAfterTheRunStartsNothing)
{
    QSignalSpy starts(&m_handler, &ZubInstallProgressHandler::onNotifyStartTimeOut);
    ModalScript script([&](QWidget*) {
        report({{3, 0}});
        m_handler.closeProgressForm();
    });
    m_handler.showProgressForm();
    m_handler.closeProgressForm();
    QCoreApplication::sendPostedEvents(&m_handler, QEvent::MetaCall);

    EXPECT_EQ(starts.count(), 1);
    EXPECT_FALSE(watchdogRunning());
}
