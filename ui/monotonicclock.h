#pragma once

#include <QtGlobal>

#include <functional>

// Milliseconds on a monotonic clock. Components that follow time take one, so
// that their tests can move time by hand.
using MonotonicClock = std::function<qint64()>;

// A clock that starts at 0 when made.
MonotonicClock steadyClock();
