#pragma once

#include "keyrepeatfilter.h"

#include <QObject>

#include <vector>

// What the window's key rules look at, and nothing more.
struct KeyContext
{
    // Recordings and the second operator's page share one set of keys.
    enum class Mode { Iptv, Portal, Other };

    Mode mode = Mode::Iptv;
    bool playerIdle = true;
    bool guideShown = false;
    // The recordings browser shows; Return opens its row there.
    bool browserShown = false;
    // The channel playing in IPTV is open to the subscriber and has offsets.
    bool canTimeShift = false;
    bool fullscreen = false;
    // A portal series is loaded and has an episode that way.
    bool canPreviousSeries = false;
    bool canNextSeries = false;
};

// The main window's key table. Time shift and digit rows let the key go on
// through the table (Ctrl+S also stops, Backspace also steps back in the
// digit entry); after them the first row that matches ends it.
namespace KeyRules {
Q_NAMESPACE

// Everything a key can make the main window do.
enum class Action {
    TimeShiftBack,
    TimeShiftBackProgram,
    TimeShiftForward,
    TimeShiftForwardProgram,
    TimeShiftProgramStart,
    TimeShiftOff,
    Digit,  // the digit is the chord's key
    DigitBack,
    IptvMode,
    PortalMode,
    PreviousSeries,
    NextSeries,
    PortalStepBack,
    PortalStepForward,
    PlayOrPause,
    TogglePlay,
    Stop,
    Record,
    ToggleFullscreen,
    LeaveFullscreen,
    ToggleDeinterlace,
    Close,
    ToggleChannelList,
    NextAudioTrack,
    PortalPreviousMovie,
    PortalNextMovie,
    ToggleGuide,
    ToggleMute,
    PreviousChannel,
    NextChannel,
    VolumeUp,
    VolumeDown,
    ScheduledRecords,
};
Q_ENUM_NS(Action)

// The actions the key asks for in this context, in order; none when the key
// is not the window's.
std::vector<Action> actionsFor(const KeyChord& key, const KeyContext& context);

}  // namespace KeyRules
