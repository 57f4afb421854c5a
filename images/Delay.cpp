#include "images/Delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

void Delay(int milliseconds, QEventLoop::ProcessEventsFlags flags)
{
    QElapsedTimer clock;
    clock.start();
    QCoreApplication::processEvents(flags);
    // The timer only wakes the event loop when nothing else does, so the wait
    // sleeps instead of spinning.
    QTimer wake;
    wake.setSingleShot(true);
    for (qint64 left = milliseconds - clock.elapsed(); left > 0; left = milliseconds - clock.elapsed()) {
        wake.start(int(left));
        QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
    }
}
