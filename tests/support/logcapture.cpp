#include "logcapture.h"

#include <QTest>

#include <algorithm>

namespace {
LogCapture* current = nullptr;
}  // namespace

LogCapture::LogCapture() : m_previous(qInstallMessageHandler(handler))
{
    Q_ASSERT(!current);
    current = this;
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    current = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    {
        QMutexLocker lock(&current->m_mutex);
        current->m_lines << message;
    }
    if (current->m_previous)
        current->m_previous(type, context, message);
}

QStringList LogCapture::lines() const
{
    QMutexLocker lock(&m_mutex);
    return m_lines;
}

int LogCapture::count(const QString& text) const
{
    QMutexLocker lock(&m_mutex);
    return int(std::count_if(m_lines.cbegin(), m_lines.cend(),
                             [&text](const QString& line) { return line.contains(text); }));
}

bool LogCapture::waitFor(const QString& text, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return contains(text); }, timeoutMs);
}
