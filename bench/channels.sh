#!/usr/bin/env bash
# Benchmarks the channel model against the operator emulator's large scenario
# (500 channels, a week of half-hour telecasts) and prints four figures: the
# channel list build, the peak resident memory, a title search over all
# channels and one timeshift refresh tick. Extra arguments: a scenario name or
# file instead of "large".
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target zentria-bench-channels -j "${JOBS:-2}" >/dev/null

export QT_QPA_PLATFORM=offscreen
exec "$build/bin/zentria-bench-channels" "$@"
