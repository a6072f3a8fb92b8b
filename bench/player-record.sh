#!/usr/bin/env bash
# Prints the CPU the player uses playing a live stream alone and playing it
# while recording it, in alternating phases of one run: first the operator
# emulator's own stream (640x360 MPEG-2, 150 kbit/s), then, when ffmpeg is
# there, a 1280x720 H.264 stream of about 4 Mbit/s as a channel carries it.
# Builds nothing: run scripts/build first. Extra arguments go to the program
# (--rounds N, --seconds S, --url URL, --sample FILE).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
program="$build/bin/zentria-bench-player-record"
if [ ! -x "$program" ]; then
    echo "player-record: $program is not built; run scripts/build" >&2
    exit 1
fi
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
"$program" "$@"
[ $# -eq 0 ] && command -v ffmpeg >/dev/null || exit 0
sample="$build/samples/bench/hd-4mbit.ts"
if [ ! -f "$sample" ]; then
    mkdir -p "$(dirname "$sample")"
    ffmpeg -hide_banner -loglevel error -y \
        -f lavfi -i testsrc2=size=1280x720:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 \
        -t 20 -c:v libx264 -preset veryfast -g 50 -pix_fmt yuv420p -b:v 4M -maxrate 4M -bufsize 2M \
        -c:a mp2 -b:a 128k -muxrate 4600k -f mpegts "$sample"
fi
"$program" --sample "$sample"
