#include <MirnMessageBox.h>
#include <PevMessageBox.h>
#include "ZubHostTesting.h"
#include "QtPrinters.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <thread>

using ZubHostTesting::MessageBoxKind;

class MessageBoxTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ZubHostTesting::clearMessageBoxes();
        // A box that blocks would hang the test: close it and fail instead.
        QTimer::singleShot(3000, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a message box blocked";
                modal->close();
            }
        });
    }
    void TearDown() override
    {
        ZubHostTesting::recordMessageBoxes(false);
        ZubHostTesting::setMessageBoxCallback({});
    }
};

TEST_F(MessageBoxTest, RecordedBoxesKeepKindTextAndOrderAndPrintThem)
{
    ZubHostTesting::recordMessageBoxes(true);
    testing::internal::CaptureStderr();
    PevMessageBox::tip("组件升级失败", nullptr, false);
    MirnMessageBox::tip("second", nullptr, false, "detail");
    const std::string err = testing::internal::GetCapturedStderr();

    const auto boxes = ZubHostTesting::messageBoxTexts();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].box, MessageBoxKind::Pev);
    EXPECT_EQ(boxes[0].text, QString("组件升级失败"));
    EXPECT_EQ(boxes[1].box, MessageBoxKind::Mirn);
    EXPECT_EQ(boxes[1].detail, QString("detail"));
    EXPECT_NE(err.find("[PevMessageBox] 组件升级失败\n"), std::string::npos) << err;
    EXPECT_NE(err.find("[MirnMessageBox] second\n"), std::string::npos) << err;
}

TEST_F(MessageBoxTest, ScreenlessSessionAndOtherThreadsNeverBlock)
{
    ASSERT_EQ(QGuiApplication::platformName(), QString("offscreen"));
    qunsetenv("ZUB_MESSAGEBOX");
    PevMessageBox::tip("gui thread", nullptr, false);
    std::thread([] { MirnMessageBox::tip("worker thread", nullptr, false, QString()); }).join();
    EXPECT_EQ(ZubHostTesting::messageBoxTexts().size(), 2u);
}

TEST_F(MessageBoxTest, CallbackRunsBeforeTheCallReturns)
{
    ZubHostTesting::recordMessageBoxes(true);
    std::vector<QString> seen;
    bool returned = false;
    ZubHostTesting::setMessageBoxCallback([&](const ZubHostTesting::MessageBoxRecord& record) {
        EXPECT_FALSE(returned);
        seen.push_back(record.text);
    });
    PevMessageBox::tip("one", nullptr, false);
    returned = true;
    ZubHostTesting::setMessageBoxCallback({});
    PevMessageBox::tip("two", nullptr, false);
    EXPECT_EQ(seen, std::vector<QString>{"one"});
}
