#include "ModalScript.h"
#include "ProgressView.h"

#include "ZubProgressForm/ZubProgressForm.h"

#include <ZubCustomTitleDialog.h>

#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QResource>
#include <QSignalSpy>
#include <QToolButton>
#include <gtest/gtest.h>

namespace
{
const char* const kIconFolder = ":/ProgressForm/Icons/ProgressForm/";
} // namespace

class ProgressFormTest : public testing::Test
{
protected:
    ProgressFormTest() : m_closed(&m_form, &ZubProgressForm::onNotifyFormClose) {}
    ~ProgressFormTest() override { delete m_form.titleDialog(); }

    // Non-modal: shows the window and returns at once.
    ProgressView showFree(const QString& title = QString("组件升级中"))
    {
        m_form.showProgress(title, QString("软件升级中, 请稍后..."), false, true, nullptr);
        return ProgressView(m_form.titleDialog());
    }

    ZubProgressForm m_form{nullptr};
    QSignalSpy m_closed;
};

TEST_F(ProgressFormTest, BuildsTheWindowWithAFixedTitle)
{
    const ProgressView view = showFree(QString("another title"));
    ZubCustomTitleDialog* window = m_form.titleDialog();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    ASSERT_NE(view.title, nullptr);
    EXPECT_EQ(view.title->text(), QString("组件升级中"));
    EXPECT_EQ(view.title->geometry(), QRect(197, 21, 60, 17));
    EXPECT_FALSE(window->getTitleBarFrame()->getWindowTitleLabel()->isVisible());

    ASSERT_NE(view.bar, nullptr);
    ASSERT_NE(view.percent, nullptr);
    ASSERT_NE(view.content, nullptr);
    EXPECT_EQ(view.bar->parentWidget(), window->innerDialog());
    EXPECT_EQ(window->innerDialog()->size(), QSize(454, 104));
    EXPECT_EQ(view.bar->size(), QSize(404, 12));
    EXPECT_EQ(view.bar->maximum(), 100);
    EXPECT_FALSE(view.bar->isTextVisible());
    EXPECT_EQ(view.percent->text(), QString("0%"));
    EXPECT_EQ(view.percent->geometry(), QRect(19, 5, 36, 25));
    EXPECT_EQ(view.content->text(), QString("软件升级中, 请稍后..."));
}

TEST_F(ProgressFormTest, PercentIsClampedAndTheLabelFollowsTheBar)
{
    const ProgressView view = showFree();
    struct Step { int given; int shown; int x; };
    const Step steps[] = {{0, 1, 23},     {1, 1, 23},     {50, 50, 221},  {93, 93, 394},
                          {94, 94, 398},  {97, 97, 398},  {100, 100, 398}, {250, 100, 398},
                          {-5, 1, 23}};
    for (const Step& step : steps) {
        m_form.updateProgress(QString("组件下载中, 请稍后..."), step.given);
        EXPECT_EQ(view.percent->text(), QString("%1%").arg(step.shown)) << step.given;
        EXPECT_EQ(view.bar->value(), step.shown) << step.given;
        EXPECT_EQ(view.percent->pos(), QPoint(step.x, 5)) << step.given;
    }
    EXPECT_EQ(view.content->text(), QString("组件下载中, 请稍后..."));
}

TEST_F(ProgressFormTest, FreeRunEndsByDestroyingTheWindow)
{
    showFree();
    QPointer<ZubCustomTitleDialog> window(m_form.titleDialog());
    m_form.endProgress(0);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(m_form.titleDialog(), nullptr);
    // Late reports find no window and change nothing.
    m_form.updateProgress(QString("组件下载完成"), 95);
    m_form.endProgress(1);
    EXPECT_EQ(m_closed.count(), 0);
}

TEST_F(ProgressFormTest, SlotsBeforeAnyWindowDoNothing)
{
    m_form.updateProgress(QString("组件下载完成"), 95);
    m_form.endProgress(1);
    EXPECT_EQ(m_form.titleDialog(), nullptr);
    EXPECT_EQ(m_closed.count(), 0);
}

TEST_F(ProgressFormTest, ModalRunEndsWithTheRequestedCode)
{
    QImage midway;
    ModalScript script([&](QWidget* window) {
        EXPECT_EQ(window, m_form.titleDialog());
        m_form.updateProgress(QString("组件下载中, 请稍后..."), 62);
        midway = window->grab().toImage();
        m_form.endProgress(1);
    });
    m_form.showProgress(QString("组件升级中"), QString("软件升级中, 请稍后..."), true, true, nullptr);

    ASSERT_TRUE(script.ran());
    ASSERT_EQ(m_closed.count(), 1);
    EXPECT_EQ(m_closed.at(0).at(0).toInt(), 1);
    // The modal run leaves the window alive, closed, for its owner to free.
    ASSERT_NE(m_form.titleDialog(), nullptr);
    EXPECT_FALSE(m_form.titleDialog()->isVisible());

    // The bar's style sheet paints its chunk up to the value and not beyond.
    ASSERT_FALSE(midway.isNull());
    const QProgressBar* bar = m_form.titleDialog()->findChild<QProgressBar*>();
    const QPoint barOrigin = bar->mapTo(m_form.titleDialog(), QPoint(0, 0));
    const int y = barOrigin.y() + bar->height() / 2;
    EXPECT_EQ(midway.pixelColor(barOrigin.x() + 404 * 30 / 100, y), QColor("#4499ff"));
    EXPECT_EQ(midway.pixelColor(barOrigin.x() + 404 * 90 / 100, y), QColor("#ffffff"));
    const QByteArray shot = qgetenv("UPDATEPROXY_SCREENSHOT");
    if (!shot.isEmpty())
        midway.save(QString::fromLocal8Bit(shot));
}

TEST_F(ProgressFormTest, ClosingTheWindowReportsTheInnerResult)
{
    ModalScript script([](QWidget* window) {
        static_cast<ZubCustomTitleDialog*>(window)->getTitleBarFrame()->getCloseButton()->click();
    });
    m_form.showProgress(QString("组件升级中"), QString("软件升级中, 请稍后..."), true, true, nullptr);
    ASSERT_TRUE(script.ran());
    ASSERT_EQ(m_closed.count(), 1);
    EXPECT_EQ(m_closed.at(0).at(0).toInt(), 0);
}

TEST(ProgressFormResourcesTest, CloseIconsAreStoredAsPlainRgbaPngs)
{
    for (const char* name : {"close_default.png", "close_hover.png", "close_press.png"}) {
        const QString path = QString(kIconFolder) + name;
        QResource resource(path);
        ASSERT_TRUE(resource.isValid()) << name;
        EXPECT_EQ(resource.compressionAlgorithm(), QResource::NoCompression) << name;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        const QByteArray png = file.readAll();
        // IHDR: bit depth 8, colour type 6 (RGBA).
        ASSERT_GT(png.size(), 26) << name;
        EXPECT_EQ(png.mid(12, 4), QByteArray("IHDR")) << name;
        EXPECT_EQ(static_cast<int>(png.at(24)), 8) << name;
        EXPECT_EQ(static_cast<int>(png.at(25)), 6) << name;
        const QImage image = QImage::fromData(png, "PNG");
        EXPECT_EQ(image.size(), QSize(16, 16)) << name;
        EXPECT_TRUE(image.hasAlphaChannel()) << name;
    }
}
