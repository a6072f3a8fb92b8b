#pragma once

#include "streamstatistics.h"

#include <QByteArray>
#include <QList>
#include <QString>

struct libvlc_media_player_t;

// libVLC's public interface cannot reach what the player needs of the running
// input and its video output: the input's "can-record" and "record" switches,
// the instance's "input-record-path", the video output's "crop-left/top/
// right/bottom" margins, the choice lists of its "crop" and "aspect-ratio"
// variables and the packet counters of the input statistics. They are object
// variables of libvlccore, reached here through its variable functions.
//
// This is the only file that includes libvlccore's headers and relies on a
// libVLC media player being a core object with the input as its child. It
// must be built against the libvlccore headers of the libVLC it runs with.
namespace VlcInternals {

// libVLC's error codes as these functions return them.
inline constexpr int success = 0;
inline constexpr int genericError = -1;
inline constexpr int objectNotFound = -5;

bool canRecord(libvlc_media_player_t* player);
bool isRecording(libvlc_media_player_t* player);

// Sets the input's "record" switch; objectNotFound without an input.
int setRecording(libvlc_media_player_t* player, bool on);

// Sets the instance's "input-record-path" (UTF-8), the folder the input
// writes its next recording into.
int setRecordPath(libvlc_media_player_t* player, const QByteArray& folder);

struct Choice
{
    QString value;
    QString text;
};

enum class ChoiceQuery { Listed, NoVideoOutput, NoChoices, ListFailed };

// The choices of a string variable of the video output ("crop",
// "aspect-ratio").
ChoiceQuery videoOutputChoices(libvlc_media_player_t* player, const char* variable,
                               QList<Choice>* choices);

// Sets the four crop margins of the video output; false without one.
bool setCropMargins(libvlc_media_player_t* player, int left, int top, int right, int bottom);

// The statistics of the running input; all zero without one.
StreamStatistics statistics(libvlc_media_player_t* player);

}  // namespace VlcInternals
