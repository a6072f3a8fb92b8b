#include "clocktext.h"

#include <QDateTime>

QString clockText(time_t time)
{
    const QTime clock = QDateTime::fromSecsSinceEpoch(time, Qt::UTC).time();
    return QString::asprintf("%0*u:%0*u", 2, unsigned(clock.hour()), 2, unsigned(clock.minute()));
}
