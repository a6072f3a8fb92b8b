#pragma once

#include <QString>
#include <QTextStream>

// Benchmarks of the whole player against the operator emulator's demo
// scenario. Each writes its report to out and returns false when it could
// not run.
namespace UiBenchmarks {

// From a channel change to the video page, against bare libVLC's open to
// first picture of the same streams.
bool zap(QTextStream& out, int rounds);
// zentria-player as a process: start to the channel list loaded, to the
// first picture and to the video page of the last channel watched; and its
// resident memory playing.
bool startup(QTextStream& out, int rounds);
// Resident memory playing, before and after the portal's web engine started.
bool memory(QTextStream& out);
// The programme guide page on the large scenario: one channel's week, and a
// title search over all channels.
bool guide(QTextStream& out, int rounds);
// The once-a-second refresh of the progress widgets and overlays, painted,
// following a timeshifted channel of the large scenario.
bool osd(QTextStream& out);

}  // namespace UiBenchmarks
