#include "streamwatchdog.h"

#include <QtGlobal>

namespace {

// libVLC refreshes its input counters about once a second, so sampling more
// often than that only matters for short timeouts.
int sampleInterval(int timeout)
{
    return qBound(10, timeout / 4, 1000);
}

}  // namespace

StreamWatchdog::StreamWatchdog(Progress progress, QObject* parent)
    : QObject(parent), m_progress(std::move(progress)), m_timer(this)
{
    m_timer.setInterval(sampleInterval(m_timeout));
    connect(&m_timer, &QTimer::timeout, this, &StreamWatchdog::sample);
}

void StreamWatchdog::setTimeout(int milliseconds)
{
    m_timeout = milliseconds;
    m_timer.setInterval(sampleInterval(milliseconds));
}

void StreamWatchdog::arm()
{
    m_lastProgress = m_progress();
    m_sinceProgress.start();
    m_timer.start();
}

void StreamWatchdog::disarm()
{
    m_timer.stop();
}

void StreamWatchdog::sample()
{
    const qint64 progress = m_progress();
    if (progress != m_lastProgress) {
        m_lastProgress = progress;
        m_sinceProgress.start();
        return;
    }
    if (m_sinceProgress.elapsed() < m_timeout)
        return;
    disarm();
    emit stalled();
}
