#include <ZubCustomTitleDialog.h>

#include <QBoxLayout>
#include <QToolButton>

// Only the window kind and the close button are honoured; the other options
// of the real framework change nothing a caller relies on.
ZubCustomTitleDialog::ZubCustomTitleDialog(QWidget* parent, Qt::WindowFlags flags,
                                           bool /*resizable*/, bool /*maximizable*/, bool isDialog,
                                           ITovUIService* /*uiService*/, bool /*minimizable*/,
                                           bool /*showIcon*/, bool closable)
    : ZubCustomTitleFrame(parent, flags | (isDialog ? Qt::Dialog : Qt::Window))
{
    m_pTitleBar->getCloseButton()->setVisible(closable);
}

ZubCustomTitleDialog::~ZubCustomTitleDialog() = default;

void ZubCustomTitleDialog::addDialog(QDialog* dialog, const QString& title)
{
    if (!dialog)
        return;
    m_pInnerDialog = dialog;
    // Embedded under the bar: a child widget, no longer a window of its own.
    dialog->setParent(this, Qt::Widget);
    static_cast<QBoxLayout*>(layout())->addWidget(dialog);
    if (!title.isEmpty())
        setWindowTitle(title);
    connect(dialog, &QDialog::finished, this, &QDialog::done);
}

int ZubCustomTitleDialog::dialogExec()
{
    return exec();
}

QDialog* ZubCustomTitleDialog::innerDialog() const
{
    return m_pInnerDialog;
}

void ZubCustomTitleDialog::reject()
{
    if (m_pInnerDialog)
        m_pInnerDialog->reject();
    else
        QDialog::reject();
}
