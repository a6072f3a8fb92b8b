#pragma once

#include "telecast.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class RecordControllerHost;
class QWidget;

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

    // The parent is the window the boxes belong to.
    RecordController(RecordControllerHost& host, QObject* parent);

    Telecast* currentTelecast() const { return m_currentTelecast; }

public slots:
    void record(const QString& fileName);
    void stop();
    void recordOnPlay();
    void clearCurrentTelecast();
    // The recording that just stopped could not go on (its folder went away,
    // its disk filled up): its telecast leaves the schedule, so that the
    // telecasts after it are still recorded.
    void recordingFailed();

private slots:
    void checkOn();
    void checkOff();
    void recordTableChange();

private:
    enum class Action { None, Record, SwitchAndRecord, Cancel };

    Action chooseAction(Telecast* telecast);
    // Switch-and-record, cancel, or nothing when the telecast left the
    // schedule while the box was open.
    Action askToRecord(Telecast* telecast, const QString& question, QWidget* parent);
    void switchTo(Telecast* telecast);
    // Starts the scheduled telecast's file; false when its folder cannot be
    // made.
    bool recordTelecast(Telecast* telecast, bool afterSwitch);
    void unschedule(Telecast* telecast);
    QWidget* boxParent() const;

    RecordControllerHost& m_host;
    QTimer m_checkTimer;
    bool m_pendingRecord = false;
    QString m_pendingFileName;
    QPointer<Telecast> m_currentTelecast;
    // The telecast whose recording stopped last, for a failure reported after
    // the stop.
    QPointer<Telecast> m_stoppedTelecast;
    bool m_questionOpen = false;
};
