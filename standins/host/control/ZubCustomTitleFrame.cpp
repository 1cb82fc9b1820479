#include <ZubCustomTitleDialog.h>

#include <QLabel>
#include <QVBoxLayout>

ZubCustomTitleFrame::ZubCustomTitleFrame(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags | Qt::FramelessWindowHint)
    , m_pTitleBar(new ZubCustomTitleBar(this))
{
    m_pTitleBar->setObjectName(QStringLiteral("m_pTitleBar"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_pTitleBar);

    connect(m_pTitleBar, &TovProjectCustomTitleBar::closeClicked, this, &QDialog::reject);
    connect(this, &QWidget::windowTitleChanged, m_pTitleBar->getWindowTitleLabel(),
            &QLabel::setText);
}

ZubCustomTitleBar* ZubCustomTitleFrame::getTitleBarFrame() const
{
    return m_pTitleBar;
}

void ZubCustomTitleFrame::done(int result)
{
    // A window that is already closed does not close again.
    const bool wasShown = isVisible();
    QDialog::done(result);
    if (wasShown)
        emit closeFrame();
}
