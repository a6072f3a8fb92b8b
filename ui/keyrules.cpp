#include "keyrules.h"

#include <algorithm>

namespace {

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers CtrlAlt = Qt::ControlModifier | Qt::AltModifier;
constexpr Qt::KeyboardModifiers CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

using Mode = KeyContext::Mode;
using Condition = bool (*)(const KeyContext&);

bool always(const KeyContext&)
{
    return true;
}
bool inIptv(const KeyContext& context)
{
    return context.mode == Mode::Iptv;
}
bool notInIptv(const KeyContext& context)
{
    return context.mode != Mode::Iptv;
}
bool inPortal(const KeyContext& context)
{
    return context.mode == Mode::Portal;
}
bool notInPortal(const KeyContext& context)
{
    return context.mode != Mode::Portal;
}
bool previousSeries(const KeyContext& context)
{
    return context.mode == Mode::Portal && context.canPreviousSeries;
}
bool nextSeries(const KeyContext& context)
{
    return context.mode == Mode::Portal && context.canNextSeries;
}
bool idlePortal(const KeyContext& context)
{
    return context.mode == Mode::Portal && context.playerIdle;
}
bool noPageTakesReturn(const KeyContext& context)
{
    return !context.guideShown && !context.browserShown;
}
bool canTimeShift(const KeyContext& context)
{
    return context.canTimeShift;
}
bool inFullscreen(const KeyContext& context)
{
    return context.fullscreen;
}

struct KeyRule
{
    enum Flow { GoesOn, Ends };

    std::vector<KeyChord> chords;
    Condition when;
    KeyRules::Action action;
    Flow flow = Ends;
    // Digits count whatever is held with them.
    bool anyModifiers = false;

    bool matches(const KeyChord& key) const
    {
        return std::any_of(chords.cbegin(), chords.cend(), [&](const KeyChord& chord) {
            return anyModifiers ? chord.key == key.key : chord == key;
        });
    }
};

const std::vector<KeyRule>& rules()
{
    using A = KeyRules::Action;
    static const std::vector<KeyRule> table = {
        {{{Qt::Key_Left, Ctrl}}, canTimeShift, A::TimeShiftBack, KeyRule::GoesOn},
        {{Qt::Key_Left}, canTimeShift, A::TimeShiftBackProgram, KeyRule::GoesOn},
        {{{Qt::Key_Right, Ctrl}}, canTimeShift, A::TimeShiftForward, KeyRule::GoesOn},
        {{Qt::Key_Right}, canTimeShift, A::TimeShiftForwardProgram, KeyRule::GoesOn},
        {{{Qt::Key_S, Ctrl}}, canTimeShift, A::TimeShiftProgramStart, KeyRule::GoesOn},
        {{{Qt::Key_Z, Ctrl}}, canTimeShift, A::TimeShiftOff, KeyRule::GoesOn},
        {{Qt::Key_PageUp}, previousSeries, A::PreviousSeries},
        {{Qt::Key_PageDown}, nextSeries, A::NextSeries},
        {{Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_6, Qt::Key_7,
          Qt::Key_8, Qt::Key_9},
         inIptv,
         A::Digit,
         KeyRule::GoesOn,
         true},
        {{Qt::Key_Backspace}, inIptv, A::DigitBack, KeyRule::GoesOn},

        {{{Qt::Key_D, CtrlAlt}, {Qt::Key_T, Ctrl}}, notInIptv, A::IptvMode},
        {{{Qt::Key_B, CtrlAlt}, {Qt::Key_E, Ctrl}}, notInPortal, A::PortalMode},
        {{{Qt::Key_D, CtrlShift}, {Qt::Key_B, CtrlShift}, {Qt::Key_R, CtrlShift}},
         inPortal,
         A::PortalStepBack},
        {{{Qt::Key_F, CtrlShift}}, inPortal, A::PortalStepForward},
        {{{Qt::Key_P, CtrlShift}, Qt::Key_MediaPlay, Qt::Key_Space}, always, A::PlayOrPause},
        {{{Qt::Key_P, Ctrl}}, always, A::TogglePlay},
        {{{Qt::Key_S, Ctrl}, Qt::Key_MediaStop, Qt::Key_Backspace}, always, A::Stop},
        {{Qt::Key_R}, inIptv, A::Record},
        {{Qt::Key_Return, Qt::Key_Enter, {Qt::Key_Return, Alt}, {Qt::Key_Enter, Alt}},
         noPageTakesReturn,
         A::ToggleFullscreen},
        {{Qt::Key_D}, always, A::ToggleDeinterlace},
        {{Qt::Key_Q}, always, A::Close},
        {{Qt::Key_F1, {Qt::Key_C, CtrlAlt}, Qt::Key_C, Qt::Key_F2}, inIptv, A::ToggleChannelList},
        {{Qt::Key_A, Qt::Key_F4}, always, A::NextAudioTrack},
        {{{Qt::Key_B, Ctrl}, Qt::Key_MediaPrevious}, idlePortal, A::PortalPreviousMovie},
        {{Qt::Key_MediaNext, {Qt::Key_F, Ctrl}}, idlePortal, A::PortalNextMovie},
        {{Qt::Key_T, Qt::Key_F3}, inIptv, A::ToggleGuide},
        {{Qt::Key_F8, Qt::Key_VolumeMute}, always, A::ToggleMute},
        {{Qt::Key_PageUp, Qt::Key_Up}, inIptv, A::PreviousChannel},
        {{Qt::Key_PageDown, Qt::Key_Down}, inIptv, A::NextChannel},
        {{Qt::Key_Plus, Qt::Key_VolumeUp}, always, A::VolumeUp},
        {{Qt::Key_Minus, Qt::Key_VolumeDown}, always, A::VolumeDown},
        {{{Qt::Key_R, Ctrl}, Qt::Key_F5}, inIptv, A::Record},
        {{{Qt::Key_R, Alt}, Qt::Key_F6}, inIptv, A::ScheduledRecords},
        // As in every player, Escape leaves fullscreen.
        {{Qt::Key_Escape}, inFullscreen, A::LeaveFullscreen},
    };
    return table;
}

}  // namespace

std::vector<KeyRules::Action> KeyRules::actionsFor(const KeyChord& key, const KeyContext& context)
{
    std::vector<KeyRules::Action> actions;
    for (const KeyRule& rule : rules()) {
        if (!rule.matches(key) || !rule.when(context))
            continue;
        actions.push_back(rule.action);
        if (rule.flow == KeyRule::Ends)
            break;
    }
    return actions;
}
