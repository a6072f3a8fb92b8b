#pragma once

#include <QMutex>
#include <QStringList>
#include <QtGlobal>

// Collects the messages the process logs while it lives, so that a test can
// wait for a log line the way it waits for a signal. One at a time.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();

    QStringList lines() const;
    int count(const QString& text) const;
    bool contains(const QString& text) const { return count(text) > 0; }
    bool waitFor(const QString& text, int timeoutMs = 10000) const;

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);

    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous;
};
