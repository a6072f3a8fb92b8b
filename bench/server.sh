#!/usr/bin/env bash
# Benchmarks the log-in chain against the operator emulator's large scenario
# (500 channels, a week of half-hour telecasts): the encoded size of the
# channel list and the time from authorize() to everything loaded, median of
# 5. Extra argument: a scenario name or file instead of "large".
exec bash "$(dirname "$0")/run-target.sh" zentria-bench-login "$@"
