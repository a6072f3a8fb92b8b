#pragma once

#include "telecast.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class RecordControllerHost;

// Records at once, as soon as playback starts, or on the schedule of the
// record table: shortly before a scheduled telecast it switches to the
// telecast's channel (asking first when that would interrupt something),
// records the telecast into a file of its own and stops a minute after its
// end. The window tells it when the player starts playing and when a
// recording has stopped.
class RecordController : public QObject
{
    Q_OBJECT
public:
    static constexpr int checkIntervalMs = 10000;
    static constexpr int startAheadSeconds = 75;
    static constexpr int stopAfterSeconds = 60;
    static constexpr int questionSeconds = 15;

    RecordController(RecordControllerHost& host, QObject* parent);

    Telecast* currentTelecast() const { return m_currentTelecast; }

public slots:
    void record(const QString& fileName);
    void stop();
    void recordOnPlay();
    void clearCurrentTelecast();
    // A recording ended without being asked to: its telecast leaves the
    // schedule.
    void recordingFailed();

private slots:
    void checkOn();
    void checkOff();
    void recordTableChange();

private:
    RecordControllerHost& m_host;
    QTimer m_checkTimer;
    bool m_pendingRecord = false;
    QString m_pendingFileName;
    QPointer<Telecast> m_currentTelecast;
    bool m_questionOpen = false;
};
