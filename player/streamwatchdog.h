#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

// Notices a network stream that delivers nothing. libVLC waits for ever on a
// UDP group without a sender, or on a connection that has gone silent,
// without an event. While armed, the watchdog samples a progress counter
// (the bytes the input has read) and reports stalled() once it has not moved
// for the timeout; it then disarms itself.
class StreamWatchdog : public QObject
{
    Q_OBJECT
public:
    using Progress = std::function<qint64()>;

    static constexpr int defaultTimeout = 15000;

    explicit StreamWatchdog(Progress progress, QObject* parent = nullptr);

    void setTimeout(int milliseconds);
    int timeout() const { return m_timeout; }

    void arm();
    void disarm();
    bool isArmed() const { return m_timer.isActive(); }

signals:
    void stalled();

private:
    void sample();

    Progress m_progress;
    QTimer m_timer;
    QElapsedTimer m_sinceProgress;
    qint64 m_lastProgress = 0;
    int m_timeout = defaultTimeout;
};
