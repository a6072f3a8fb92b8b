#pragma once

#include <QDateTime>

#include <optional>

// The emulated server's clock: real time, or real time moved so that it
// started at a chosen moment.
class Clock
{
public:
    explicit Clock(std::optional<qint64> startUtc = std::nullopt)
        : m_shift(startUtc ? *startUtc - QDateTime::currentSecsSinceEpoch() : 0)
    {
    }

    qint64 nowUtc() const { return QDateTime::currentSecsSinceEpoch() + m_shift; }

private:
    qint64 m_shift;
};
