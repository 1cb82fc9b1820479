#include "BusyPause.h"

#include <QEventLoop>
#include <QTimer>

void pauseWithEventsFlowing(unsigned long msec)
{
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(msec), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
