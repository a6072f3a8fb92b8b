#include "serverclock.h"

#include <QDateTime>

namespace ServerClock {

namespace {

struct State
{
    bool known = false;
    qint32 utcOffset = 0;
    qint64 serverTimeAtSync = 0;
    qint64 localTimeAtSync = 0;
    std::function<qint64()> localClock;
};

State& state()
{
    static State clock;
    return clock;
}

qint64 localNowSeconds()
{
    const auto& clock = state().localClock;
    return (clock ? clock() : QDateTime::currentMSecsSinceEpoch()) / 1000;
}

}  // namespace

void synchronise(quint32 serverTime, qint32 offset)
{
    State& clock = state();
    clock.known = true;
    clock.utcOffset = offset;
    clock.serverTimeAtSync = serverTime;
    clock.localTimeAtSync = localNowSeconds();
}

bool isKnown()
{
    return state().known;
}

qint32 utcOffset()
{
    return state().utcOffset;
}

qint64 serverNow()
{
    const State& clock = state();
    return localNowSeconds() + clock.serverTimeAtSync - clock.localTimeAtSync;
}

qint64 serverLocalNow()
{
    return serverNow() + state().utcOffset;
}

void setLocalClock(std::function<qint64()> clock)
{
    state().localClock = std::move(clock);
}

void reset()
{
    State& clock = state();
    clock.known = false;
    clock.utcOffset = 0;
    clock.serverTimeAtSync = 0;
    clock.localTimeAtSync = 0;
}

}  // namespace ServerClock
