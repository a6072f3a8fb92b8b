#!/usr/bin/env bash
# Zap time (a channel change to the video page, against bare libVLC's open to
# first picture of the same streams), start-up of zentria-player as a process
# (to the channel list, the first picture and the video page of the last
# channel) and resident memory playing, with and without the portal's web
# engine; all on the operator emulator's demo scenario. The programme guide
# page, one channel's week and a title search over all channels, and the
# once-a-second refresh of the progress widgets and overlays, painted, on the
# large scenario.
# Arguments: zap, startup, memory, guide, osd (all when none), --rounds N (10).
exec bash "$(dirname "$0")/run-target.sh" zentria-bench-ui "$@"
