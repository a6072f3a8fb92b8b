#pragma once

#include "timeoffset.h"

#include <QList>
#include <QObject>
#include <QString>

class Channel;
class RecordSchedule;

// One programme-guide entry. Times are server local seconds; the parent is
// the channel the telecast belongs to.
class Telecast : public QObject
{
    Q_OBJECT
public:
    // Where the timeshift offsets of the refresh time fall inside the telecast.
    struct Markers
    {
        int count = 0;   // offsets that fall inside
        int first = 0;   // minutes of the first of them
        int middle = 0;  // minutes of one near the middle
        int last = 0;    // minutes of the last of them
    };

    explicit Telecast(Channel* channel = nullptr);

    int id() const { return m_id; }
    int start() const { return m_start; }
    int stop() const { return m_stop; }
    const QString& title() const { return m_title; }
    Channel* channel() const;

    // Changing any of these unschedules the telecast.
    void setId(int id);
    void setStart(int start);
    void setStop(int stop);
    void setTitle(const QString& title);

    bool contains(qint64 time) const { return m_start <= time && time <= m_stop; }
    bool isComplete() const;

    const Markers& markers() const { return m_markers; }
    void updateMarkers(const QList<TimeOffset>& offsets, qint64 refreshTime);

    bool isRecordScheduled() const { return m_recordScheduled; }
    void setRecordScheduled(bool on);

    // The schedule every telecast is entered into; without one the flag
    // simply follows setRecordScheduled.
    static void setRecordSchedule(RecordSchedule* schedule);

private:
    template <typename T>
    void change(T& field, const T& value);

    Markers m_markers;
    int m_id = 0;
    int m_start = 0;
    int m_stop = 0;
    QString m_title;
    bool m_recordScheduled = false;
};
