#!/usr/bin/env bash
# Benchmarks the channel model against the operator emulator's large scenario
# (500 channels, a week of half-hour telecasts) and prints four figures: the
# channel list build, the peak resident memory, a title search over all
# channels and one timeshift refresh tick. Extra arguments: a scenario name or
# file instead of "large".
exec bash "$(dirname "$0")/run-target.sh" zentria-bench-channels "$@"
