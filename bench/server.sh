#!/usr/bin/env bash
# Benchmarks the log-in chain against the operator emulator's large scenario
# (500 channels, a week of half-hour telecasts): the encoded size of the
# channel list and the time from authorize() to everything loaded, median of
# 5. Extra argument: a scenario name or file instead of "large".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target zentria-bench-login -j "${JOBS:-2}" >/dev/null

export QT_QPA_PLATFORM=offscreen
exec "$build/bin/zentria-bench-login" "$@"
