#!/usr/bin/env bash
# Benchmarks loading record-table.txt: 2 000 lines, each naming a telecast of
# the operator emulator's large scenario (500 channels, a week of half-hour
# telecasts), read and resolved against the loaded channel list. Prints the
# mean of several loads. Extra arguments: a scenario name or file instead of
# "large".
exec bash "$(dirname "$0")/run-target.sh" zentria-bench-record "$@"
