#include "telecast.h"

#include "channel.h"
#include "recordschedule.h"

namespace {
RecordSchedule* recordSchedule = nullptr;
}

Telecast::Telecast(Channel* channel) : QObject(channel) {}

Channel* Telecast::channel() const
{
    return qobject_cast<Channel*>(parent());
}

template <typename T>
void Telecast::change(T& field, const T& value)
{
    if (field == value)
        return;
    field = value;
    m_recordScheduled = false;
}

void Telecast::setId(int id)
{
    change(m_id, id);
}

void Telecast::setStart(int start)
{
    change(m_start, start);
}

void Telecast::setStop(int stop)
{
    change(m_stop, stop);
}

void Telecast::setTitle(const QString& title)
{
    change(m_title, title);
}

bool Telecast::isComplete() const
{
    return m_start != 0 && m_stop != 0 && !m_title.isEmpty() && channel() != nullptr;
}

void Telecast::updateMarkers(const QList<TimeOffset>& offsets, qint64 refreshTime)
{
    const auto shifted = [&](qsizetype k) { return refreshTime + qint64(offsets[k].minutes) * 60; };

    m_markers = {};
    qsizetype firstMatch = -1;
    for (qsizetype k = 0; k < offsets.size(); ++k) {
        if (shifted(k) < m_start || shifted(k) >= m_stop)
            continue;
        ++m_markers.count;
        if (m_markers.first == 0) {
            m_markers.first = offsets[k].minutes;
            firstMatch = k;
        }
        m_markers.last = offsets[k].minutes;
    }

    if (firstMatch >= 0 && m_markers.count > 2) {
        const qint64 middle = m_start + (qint64(m_stop) - m_start) / 2;
        const qsizetype end = qMin(offsets.size(), firstMatch + m_markers.count);
        for (qsizetype k = firstMatch; k < end; ++k) {
            if (shifted(k) <= middle) {
                m_markers.middle = offsets[k].minutes;
                break;
            }
        }
    }

    // A single distinct offset is only a last marker: it still marks where
    // the programme can be started from.
    if (m_markers.last == m_markers.first)
        m_markers.first = m_markers.middle = 0;
    if (m_markers.middle == m_markers.last || m_markers.middle == m_markers.first)
        m_markers.middle = 0;
}

void Telecast::setRecordScheduled(bool on)
{
    if (on == m_recordScheduled)
        return;
    if (on) {
        m_recordScheduled = !recordSchedule || recordSchedule->add(this);
        return;
    }
    m_recordScheduled = false;
    if (recordSchedule)
        recordSchedule->remove(this);
}

void Telecast::setRecordSchedule(RecordSchedule* schedule)
{
    recordSchedule = schedule;
}
