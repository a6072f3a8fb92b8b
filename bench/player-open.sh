#!/usr/bin/env bash
# Prints the median time from open() to the first picture, for an HTTP stream
# and a local file, of the player and of bare libVLC with the same options.
# Builds nothing: run scripts/build first. Extra arguments go to the program
# (--rounds N, --url URL).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
program="$build/bin/zentria-bench-player-open"
if [ ! -x "$program" ]; then
    echo "player-open: $program is not built; run scripts/build" >&2
    exit 1
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
exec "$program" "$@"
