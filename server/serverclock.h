#pragma once

#include <QtGlobal>

#include <functional>

// The operator server's clock as last synchronised: every programme-guide,
// timeshift and recording time is in the server's local seconds. Before the
// first synchronisation it runs on the local clock.
namespace ServerClock {

void synchronise(quint32 serverTime, qint32 utcOffset);
bool isKnown();
qint32 utcOffset();

qint64 serverNow();       // seconds since the epoch, by the server
qint64 serverLocalNow();  // the same in the server's local time

// The local clock in milliseconds since the epoch; replaceable so that a
// test can stand at a known moment. An empty function restores the real one.
void setLocalClock(std::function<qint64()> clock);

// Forgets the synchronisation.
void reset();

}  // namespace ServerClock
