#include "BusyPause.h"

#include <QAbstractEventDispatcher>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

void pauseWithEventsFlowing(unsigned long msec)
{
    // Without a dispatcher the timer could not be registered, and the loop
    // would spin a core for good.
    if (!QAbstractEventDispatcher::instance()) {
        QThread::msleep(msec);
        return;
    }
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(msec), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
