#include "ZubProgressForm.h"

#include "UpdateProxyConstants.h"

#include <ZubCustomTitleDialog.h>

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const char* const kFixedTitle = "组件升级中";

const int kBarWidth = 404;
const int kBarHeight = 12;
const int kPercentLabelX = 19;
const int kPercentLabelY = 5;
const int kPercentLabelWidth = 36;
const int kPercentLabelHeight = 25;
// Beyond this the label would leave the bar's right end.
const int kPercentLabelLastStep = 94;

// x of the percentage label for a value already clamped to 1..100.
int percentLabelX(int value)
{
    const int p = std::min(value, kPercentLabelLastStep);
    return static_cast<int>(static_cast<float>(p * kBarWidth) / 100.0) + kPercentLabelX;
}
} // namespace

ZubProgressForm::ZubProgressForm(QObject* parent)
    : QObject(parent)
    , m_bModal(false)
    , m_pContentLabel(nullptr)
    , m_pProgressBar(nullptr)
    , m_pPercentLabel(nullptr)
    , m_pShowWindow(nullptr)
    , m_pTitleDialog(nullptr)
{}

ZubProgressForm::~ZubProgressForm() = default;

void ZubProgressForm::showProgress(const QString& /*title*/, const QString& text, bool modal,
                                   bool dialogFlag, QWidget* parent)
{
    m_bModal = modal;
    endProgress(1);
    buildWindow(text, dialogFlag, parent);
    if (m_bModal)
        m_pTitleDialog->dialogExec();
    else
        m_pTitleDialog->show();
}

ZubCustomTitleDialog* ZubProgressForm::titleDialog() const
{
    return m_pTitleDialog;
}

void ZubProgressForm::buildWindow(const QString& text, bool dialogFlag, QWidget* parent)
{
    m_pTitleDialog = new ZubCustomTitleDialog(parent, Qt::WindowFlags(), false, false, dialogFlag,
                                              nullptr, false, false, true);
    ZubCustomTitleBar* titleBar = m_pTitleDialog->getTitleBarFrame();
    titleBar->setStyleSheet(g_strProgressTitleBarStyle);
    titleBar->getWindowTitleLabel()->hide();

    auto* titleLabel = new QLabel(QString(kFixedTitle), m_pTitleDialog);
    titleLabel->setStyleSheet(g_strProgressLabelStyle);
    titleLabel->setGeometry(197, 21, 60, 17);

    connect(m_pTitleDialog, &ZubCustomTitleDialog::closeFrame, this, &ZubProgressForm::onClose);

    buildContent(text);
    m_pTitleDialog->addDialog(m_pShowWindow, QString());
}

void ZubProgressForm::buildContent(const QString& text)
{
    m_pShowWindow = new QDialog(m_pTitleDialog, Qt::WindowFlags());
    m_pShowWindow->setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    m_pShowWindow->setWindowModality(Qt::ApplicationModal);
    m_pShowWindow->setFixedSize(454, 104);
    m_pShowWindow->setStyleSheet("QWidget#m_pShowWindow{background-color:#F5F5F5;}");

    auto* layout = new QVBoxLayout();
    layout->setContentsMargins(0, 0, 0, 23);

    m_pPercentLabel = new QLabel("0%", m_pShowWindow);
    m_pPercentLabel->setFixedSize(kPercentLabelWidth, kPercentLabelHeight);
    m_pPercentLabel->setGeometry(kPercentLabelX, kPercentLabelY, kPercentLabelWidth,
                                 kPercentLabelHeight);
    m_pPercentLabel->setStyleSheet(g_strProgressLabelStyle);

    m_pProgressBar = new QProgressBar(m_pShowWindow);
    m_pProgressBar->setFixedSize(kBarWidth, kBarHeight);
    m_pProgressBar->setContentsMargins(0, 0, 0, 0);
    m_pProgressBar->setMaximum(100);
    m_pProgressBar->setTextVisible(false);
    m_pProgressBar->setStyleSheet(g_strProgressBarStyle);

    m_pContentLabel = new QLabel(text, m_pShowWindow);
    m_pContentLabel->setStyleSheet(g_strProgressLabelStyle);

    layout->addSpacing(25);
    layout->addWidget(m_pProgressBar, 0, Qt::AlignCenter);
    layout->addSpacing(14);
    layout->addWidget(m_pContentLabel, 0, Qt::AlignCenter);
    m_pShowWindow->setLayout(layout);
}

void ZubProgressForm::onClose()
{
    emit onNotifyFormClose(m_pShowWindow->result());
}

// The slot takes its text by value, as the dialog's signature says.
void ZubProgressForm::updateProgress(QString content, // NOLINT(performance-unnecessary-value-param)
                                     int percentage)
{
    if (!m_pTitleDialog)
        return;
    m_pContentLabel->setText(content);
    const int value = std::max(1, std::min(percentage, 100));
    m_pPercentLabel->setText(QString::number(value) + "%");
    m_pPercentLabel->move(percentLabelX(value), kPercentLabelY);
    m_pProgressBar->setValue(value);
}

void ZubProgressForm::endProgress(int r)
{
    if (!m_pTitleDialog)
        return;
    if (m_bModal) {
        m_pShowWindow->done(r);
        return;
    }
    m_pTitleDialog->hide();
    delete m_pTitleDialog;
    m_pTitleDialog = nullptr;
}
