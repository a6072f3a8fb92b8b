#include "monotonicclock.h"

#include <QElapsedTimer>

MonotonicClock steadyClock()
{
    QElapsedTimer timer;
    timer.start();
    return [timer] { return timer.elapsed(); };
}
