#pragma once

#include <QMutex>
#include <QStringList>
#include <QTest>

// Collects the messages the process logs while it lives, so that a test can
// wait for a log line the way it waits for a signal. One at a time.
class LogCapture
{
public:
    LogCapture() : m_previous(qInstallMessageHandler(handler))
    {
        Q_ASSERT(!s_current);
        s_current = this;
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        s_current = nullptr;
    }

    QStringList lines() const
    {
        QMutexLocker lock(&m_mutex);
        return m_lines;
    }
    int count(const QString& text) const { return int(lines().filter(text).size()); }
    bool contains(const QString& text) const { return count(text) > 0; }
    bool waitFor(const QString& text, int timeoutMs = 10000) const
    {
        return QTest::qWaitFor([&] { return contains(text); }, timeoutMs);
    }

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        {
            QMutexLocker lock(&s_current->m_mutex);
            s_current->m_lines << message;
        }
        if (s_current->m_previous)
            s_current->m_previous(type, context, message);
    }

    static inline LogCapture* s_current = nullptr;
    mutable QMutex m_mutex;
    QStringList m_lines;
    QtMessageHandler m_previous;
};
