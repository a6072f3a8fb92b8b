#include "repeatfolder.h"

#include <algorithm>

QStringList RepeatFolder::take(const QString& message, qint64 atMs)
{
    const bool flood = !m_recent.isEmpty() && atMs - m_lastAtMs <= floodGapMs;
    m_lastAtMs = atMs;
    if (flood && m_cycle > 0 && message == expected()) {
        ++m_held;
        return {};
    }
    QStringList lines = release();
    const int longest = flood ? std::min(maxCycle, int(m_recent.size())) : 0;
    for (int cycle = 1; cycle <= longest; ++cycle) {
        if (message == m_recent.at(m_recent.size() - cycle)) {
            m_cycle = cycle;
            m_held = 1;
            return lines;
        }
    }
    remember(message);
    return lines << message;
}

QStringList RepeatFolder::release()
{
    QStringList lines;
    if (m_cycle == 0)
        return lines;
    const QStringList cycleLines = m_recent.mid(m_recent.size() - m_cycle);
    if (m_held >= m_cycle)
        lines << countLine(m_cycle, m_held / m_cycle);
    for (int i = 0; i < m_held % m_cycle; ++i) {
        lines << cycleLines.at(i);
        remember(cycleLines.at(i));
    }
    m_cycle = m_held = 0;
    return lines;
}

void RepeatFolder::clear()
{
    m_recent.clear();
    m_cycle = m_held = 0;
}

QString RepeatFolder::countLine(int cycle, int times)
{
    if (cycle == 1)
        return QStringLiteral("... (repeated %1 times)").arg(times);
    return QStringLiteral("... (last %1 lines repeated %2 times)").arg(cycle).arg(times);
}

QString RepeatFolder::expected() const
{
    return m_recent.at(m_recent.size() - m_cycle + m_held % m_cycle);
}

void RepeatFolder::remember(const QString& message)
{
    m_recent << message;
    if (m_recent.size() > maxCycle)
        m_recent.removeFirst();
}
