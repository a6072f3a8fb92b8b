#!/usr/bin/env bash
# Benchmarks the self-update's download and unpacking: a 50 MB product.zip
# served by the operator emulator on loopback, fetched by the player's HttpGet
# and unpacked by its unpacker. Prints the speed, the widest step between
# progress signals and the unpacking time against their goals.
exec bash "$(dirname "$0")/run-target.sh" zentria-bench-update "$@"
