#pragma once

#include <QString>

class PlaybackState;
class TimeShiftProgressBarWidget;

// A film's position on a programme bar, in whole seconds.
namespace MoviePosition {

// The range is the film's length, the played section runs up to the time;
// an empty bar while the length is not known.
void showOn(TimeShiftProgressBarWidget& bar, const PlaybackState& playback);

// "1:02:03", or "2:03" under an hour; milliseconds in.
QString timeText(qint64 milliseconds);

}  // namespace MoviePosition
