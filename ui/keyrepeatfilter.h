#pragma once

#include "monotonicclock.h"

#include <qnamespace.h>
#include <QtGlobal>

#include <optional>

class QKeyEvent;

// A key with the states of Ctrl, Alt and Shift held with it. Other modifiers
// (keypad, Meta) do not count.
struct KeyChord
{
    int key = 0;
    Qt::KeyboardModifiers modifiers;

    KeyChord(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    static KeyChord of(const QKeyEvent* event);

    bool operator==(const KeyChord& other) const
    {
        return key == other.key && modifiers == other.modifiers;
    }
    bool operator!=(const KeyChord& other) const { return !(*this == other); }
};

// Drops a key pressed again, with the same Ctrl, Alt and Shift, within
// repeatWindowMs of its last accepted press: what a held key or a remote
// control that sends each button twice produces.
class KeyRepeatFilter
{
public:
    static constexpr qint64 repeatWindowMs = 100;
    using Clock = MonotonicClock;

    // Without a clock the filter runs on a steady clock of its own.
    explicit KeyRepeatFilter(Clock clock = {});

    // True when the key is to be handled; it is then the last accepted key.
    bool accept(const KeyChord& chord);

private:
    Clock m_clock;
    std::optional<KeyChord> m_last;
    qint64 m_acceptedAt = 0;
};
