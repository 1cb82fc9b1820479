#include "ModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

ModalScript::ModalScript(std::function<void(QWidget* window)> script)
{
    m_poll.callOnTimeout([this, script = std::move(script)] {
        if (QWidget* window = QApplication::activeModalWidget()) {
            m_poll.stop();
            m_deadline.start(20000);
            script(window);
        }
    });
    m_poll.start(10);
    m_deadline.setSingleShot(true);
    m_deadline.callOnTimeout([] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            ADD_FAILURE() << "the modal run did not end";
            dialog->reject();
        }
    });
}

ProgressView::ProgressView(QWidget* window)
{
    // The title label sits on the window itself; the title bar's own label
    // is a child of the bar.
    for (QLabel* label : window->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        title = label;
    bar = window->findChild<QProgressBar*>();
    if (!bar)
        return;
    for (QLabel* label :
         bar->parentWidget()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (label->text().endsWith('%'))
            percent = label;
        else
            content = label;
    }
}
