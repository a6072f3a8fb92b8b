#!/usr/bin/env bash
# run-target.sh <target> [arguments...]: builds one benchmark program of the
# build tree (configuring it first when needed) and runs it headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
target="$1"
shift

[ -f "$build/CMakeCache.txt" ] ||
    cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build "$build" --target "$target" -j "${JOBS:-2}" >/dev/null

export QT_QPA_PLATFORM=offscreen
exec "$build/bin/$target" "$@"
