#include "ProgressView.h"

#include <QLabel>
#include <QProgressBar>

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
