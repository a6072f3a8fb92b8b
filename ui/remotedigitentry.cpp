#include "remotedigitentry.h"

RemoteDigitEntry::RemoteDigitEntry(QObject* parent, MonotonicClock clock)
    : QObject(parent), m_clock(clock ? std::move(clock) : steadyClock())
{
    m_beat.callOnTimeout(this, &RemoteDigitEntry::beat);
    m_beat.start(beatMs);
}

QString RemoteDigitEntry::text() const
{
    return m_digits;
}

void RemoteDigitEntry::append(int digit)
{
    m_lastInputAt = m_clock();
    if (m_digits.size() >= maxDigits)
        return;
    m_digits += QString::number(digit);
    emit textChanged(m_digits);
}

void RemoteDigitEntry::backspace()
{
    if (m_digits.isEmpty())
        return;
    m_digits.chop(1);
    m_lastInputAt = m_clock();
    emit textChanged(m_digits);
}

void RemoteDigitEntry::beat()
{
    if (m_digits.isEmpty() || m_clock() - m_lastInputAt <= pauseMs)
        return;
    const int number = m_digits.toInt();
    m_digits.clear();
    emit textChanged(m_digits);
    emit channelChosen(number);
}
