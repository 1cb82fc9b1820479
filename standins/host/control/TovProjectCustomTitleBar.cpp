#include <ZubCustomTitleDialog.h>

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
const int kTitleBarHeight = 48;
const int kCloseButtonSize = 16;
} // namespace

TovProjectCustomTitleBar::TovProjectCustomTitleBar(QWidget* parent)
    : QWidget(parent)
    , m_pTitleLabel(new QLabel(this))
    , m_pQueryClose(new QToolButton(this))
{
    // Lets a "QWidget#..." background rule of a style sheet paint the bar.
    setAttribute(Qt::WA_StyledBackground);
    setFixedHeight(kTitleBarHeight);

    m_pTitleLabel->setObjectName(QStringLiteral("m_pTitleLabel"));
    m_pQueryClose->setObjectName(QStringLiteral("m_pQueryClose"));
    m_pQueryClose->setFixedSize(kCloseButtonSize, kCloseButtonSize);
    // No text: the suite's windows draw the button from their title-bar style sheet.
    m_pQueryClose->setToolTip(QStringLiteral("关闭"));
    m_pQueryClose->setFocusPolicy(Qt::NoFocus);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 0, 12, 0);
    layout->addWidget(m_pTitleLabel);
    layout->addStretch(1);
    layout->addWidget(m_pQueryClose);

    connect(m_pQueryClose, &QToolButton::clicked, this, &TovProjectCustomTitleBar::closeClicked);
}

QLabel* TovProjectCustomTitleBar::getWindowTitleLabel() const
{
    return m_pTitleLabel;
}

QToolButton* TovProjectCustomTitleBar::getCloseButton() const
{
    return m_pQueryClose;
}

ZubCustomTitleBar::ZubCustomTitleBar(QWidget* parent)
    : TovProjectCustomTitleBar(parent)
{}
