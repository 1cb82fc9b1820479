#include "ModalDialog.h"

#include "ZubProgressForm/ZubProgressForm.h"

#include <ZubCustomTitleDialog.h>

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <gtest/gtest.h>

class ProgressFormTest : public testing::Test
{
protected:
    ~ProgressFormTest() override { delete m_form.titleDialog(); }

    void show(bool modal, const QString& title = QString("组件升级中"))
    {
        m_form.showProgress(title, QString("软件升级中, 请稍后..."), modal, true, nullptr);
    }

    ZubProgressForm m_form{nullptr};
    QSignalSpy m_closed{&m_form, &ZubProgressForm::onNotifyFormClose};
};

TEST_F(ProgressFormTest, PercentIsClampedAndTheLabelFollowsTheBar)
{
    show(false, QString("another title"));
    const ProgressView view(m_form.titleDialog());
    ASSERT_NE(view.bar, nullptr);
    EXPECT_EQ(view.title->text(), QString("组件升级中"));
    EXPECT_EQ(view.content->text(), QString("软件升级中, 请稍后..."));
    struct Step
    {
        int given;
        int shown;
        int x;
    };
    const Step steps[] = {{0, 1, 23},    {50, 50, 221},   {93, 93, 394},  {94, 94, 398},
                          {97, 97, 398}, {100, 100, 398}, {250, 100, 398}};
    for (const Step& step : steps) {
        m_form.updateProgress(QString("组件下载中, 请稍后..."), step.given);
        EXPECT_EQ(view.percent->text(), QString("%1%").arg(step.shown)) << step.given;
        EXPECT_EQ(view.bar->value(), step.shown) << step.given;
        EXPECT_EQ(view.percent->pos(), QPoint(step.x, 5)) << step.given;
    }
    EXPECT_EQ(view.content->text(), QString("组件下载中, 请稍后..."));
}

TEST_F(ProgressFormTest, ModalRunEndsWithTheRequestedCode)
{
    QImage midway;
    ModalScript script([&](QWidget* window) {
        m_form.updateProgress(QString("组件下载中, 请稍后..."), 62);
        midway = window->grab().toImage();
        m_form.endProgress(1);
    });
    show(true);
    ASSERT_EQ(m_closed.count(), 1);
    EXPECT_EQ(m_closed.at(0).at(0).toInt(), 1);

    // The bar's style sheet paints its chunk up to the value and not beyond.
    ASSERT_FALSE(midway.isNull());
    const QProgressBar* bar = m_form.titleDialog()->findChild<QProgressBar*>();
    const QPoint origin = bar->mapTo(m_form.titleDialog(), QPoint(0, bar->height() / 2));
    EXPECT_EQ(midway.pixelColor(origin + QPoint(404 * 30 / 100, 0)), QColor("#4499ff"));
    EXPECT_EQ(midway.pixelColor(origin + QPoint(404 * 90 / 100, 0)), QColor("#ffffff"));
    const QByteArray shot = qgetenv("UPDATEPROXY_SCREENSHOT");
    if (!shot.isEmpty())
        midway.save(QString::fromLocal8Bit(shot));
}

// Before the first window and after a non-modal end, the slots find no window
// and leave everything alone.
TEST_F(ProgressFormTest, SlotsWithoutAWindowDoNothing)
{
    m_form.updateProgress(QString("组件下载中, 请稍后..."), 50);
    m_form.endProgress(1);
    EXPECT_EQ(m_form.titleDialog(), nullptr);
    show(false);
    m_form.endProgress(0);
    EXPECT_EQ(m_form.titleDialog(), nullptr);
    m_form.updateProgress(QString("组件下载中, 请稍后..."), 60);
    m_form.endProgress(1);
    EXPECT_EQ(m_closed.count(), 0);
}

TEST(ProgressFormIcons, CloseIconsAre16By16RgbaPngs)
{
    for (const char* state : {"default", "hover", "press"}) {
        QFile icon(QString(":/ProgressForm/Icons/ProgressForm/close_%1.png").arg(state));
        ASSERT_TRUE(icon.open(QIODevice::ReadOnly)) << state;
        const QByteArray head = icon.read(26);
        // The signature, then the header chunk's width, height, bit depth and colour type (RGBA).
        EXPECT_EQ(head.left(8), QByteArray("\x89PNG\r\n\x1a\n", 8)) << state;
        EXPECT_EQ(head.mid(16), QByteArray("\0\0\0\x10\0\0\0\x10\x08\x06", 10)) << state;
    }
}
