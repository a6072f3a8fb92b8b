#pragma once

#include "serverclock.h"

#include <QtGlobal>

// Stands the local clock, and with it the unsynchronised server clock, at a
// chosen second for as long as it lives.
class FixedClock
{
public:
    explicit FixedClock(qint64 seconds) : m_seconds(seconds)
    {
        ServerClock::reset();
        ServerClock::setLocalClock([this] { return m_seconds * 1000; });
    }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
    ~FixedClock()
    {
        ServerClock::setLocalClock({});
        ServerClock::reset();
    }

    qint64 now() const { return m_seconds; }
    void advance(qint64 seconds) { m_seconds += seconds; }

private:
    qint64 m_seconds;
};
