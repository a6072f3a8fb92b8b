#include "movieposition.h"

#include "playbackstate.h"
#include "timeshiftprogressbarwidget.h"

#include <QTime>

namespace MoviePosition {

void showOn(TimeShiftProgressBarWidget& bar, const PlaybackState& playback)
{
    const qint64 length = playback.length();
    if (length <= 0) {
        bar.setRange(0, 0);
        bar.setPlayedSection(0, 0);
        return;
    }
    bar.setRange(0, int(length / 1000));
    bar.setPlayedSection(0, int(qBound<qint64>(0, playback.time(), length) / 1000));
}

QString timeText(qint64 milliseconds)
{
    const QTime time = QTime(0, 0).addMSecs(qMax<qint64>(0, milliseconds));
    const qint64 hours = qMax<qint64>(0, milliseconds) / 3600000;
    return hours > 0 ? QStringLiteral("%1:%2").arg(hours).arg(time.toString("mm:ss"))
                     : time.toString("m:ss");
}

}  // namespace MoviePosition
