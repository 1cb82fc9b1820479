#include <ZubCustomTitleDialog.h>
#include "QtPrinters.h"

#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

// The window as the progress dialog builds it: an application-modal,
// frameless inner dialog framed by the title window.
class TitleDialogTest : public testing::Test
{
protected:
    TitleDialogTest()
        : m_window(new ZubCustomTitleDialog(nullptr, Qt::WindowFlags(), false, false, true, nullptr,
                                            false, false, true))
        , m_inner(new QDialog(m_window, Qt::WindowFlags()))
        , m_closeFrame(m_window, &ZubCustomTitleFrame::closeFrame)
    {
        m_inner->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
        m_inner->setWindowModality(Qt::ApplicationModal);
        m_inner->setFixedSize(454, 104);
        m_window->addDialog(m_inner, QString());
        // The inner result at the moment the window reports its closing.
        QObject::connect(m_window, &ZubCustomTitleFrame::closeFrame,
                         [this] { m_resultsAtClose.push_back(m_inner->result()); });
    }
    ~TitleDialogTest() override { delete m_window; }

    // Runs the window modally; `whileShown` runs from inside its loop.
    int execWith(std::function<void()> whileShown)
    {
        QTimer::singleShot(0, m_window, std::move(whileShown));
        QTimer::singleShot(5000, m_window, [this] {
            ADD_FAILURE() << "dialogExec did not return";
            m_window->QDialog::done(-1);
        });
        return m_window->dialogExec();
    }

    ZubCustomTitleDialog* m_window;
    QDialog* m_inner;
    QSignalSpy m_closeFrame;
    std::vector<int> m_resultsAtClose;
};

TEST_F(TitleDialogTest, InnerDialogFinishingEndsTheModalRunOnce)
{
    const int result = execWith([this] {
        EXPECT_TRUE(m_window->isVisible());
        EXPECT_TRUE(m_inner->isVisible());
        m_inner->done(1);
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(m_resultsAtClose, std::vector<int>{1});
    EXPECT_FALSE(m_window->isVisible());

    // A late second finish of the inner dialog does not report a second closing.
    m_inner->done(0);
    EXPECT_EQ(m_closeFrame.count(), 1);
}

TEST_F(TitleDialogTest, CloseButtonRejectsTheInnerDialog)
{
    m_inner->setResult(7);
    const int result =
        execWith([this] { m_window->getTitleBarFrame()->getCloseButton()->click(); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(m_inner->result(), 0);
    EXPECT_EQ(m_resultsAtClose, std::vector<int>{0});
}

TEST_F(TitleDialogTest, WindowSurvivesItsRunAndCanRunAgain)
{
    QPointer<ZubCustomTitleDialog> alive(m_window);
    EXPECT_EQ(execWith([this] { m_inner->done(1); }), 1);
    ASSERT_FALSE(alive.isNull());
    EXPECT_EQ(execWith([this] {
                  m_inner->show();
                  m_inner->done(0);
              }),
              0);
    EXPECT_EQ(m_resultsAtClose, (std::vector<int>{1, 0}));
}

TEST_F(TitleDialogTest, NamedPartsForStyleSheetsAndEmbeddedInnerDialog)
{
    ZubCustomTitleBar* bar = m_window->getTitleBarFrame();
    EXPECT_EQ(m_window->findChild<QWidget*>("m_pTitleBar"), bar);
    EXPECT_EQ(bar->findChild<QLabel*>("m_pTitleLabel"), bar->getWindowTitleLabel());
    EXPECT_EQ(bar->findChild<QToolButton*>("m_pQueryClose"), bar->getCloseButton());
    EXPECT_TRUE(m_window->windowFlags() & Qt::FramelessWindowHint);

    EXPECT_EQ(m_window->innerDialog(), m_inner);
    EXPECT_FALSE(m_inner->isWindow());
    m_window->show();
    EXPECT_TRUE(m_inner->isVisible());
    EXPECT_GE(m_inner->geometry().top(), bar->geometry().bottom());
    EXPECT_GE(m_window->width(), 454);

    m_window->setWindowTitle("标题");
    EXPECT_EQ(bar->getWindowTitleLabel()->text(), QString("标题"));

    // Hiding a shown window without finishing it reports no closing.
    m_window->hide();
    EXPECT_EQ(m_closeFrame.count(), 0);
}
