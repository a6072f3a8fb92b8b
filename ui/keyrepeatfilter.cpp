#include "keyrepeatfilter.h"

#include <QKeyEvent>

namespace {

constexpr Qt::KeyboardModifiers countedModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;

}  // namespace

KeyChord::KeyChord(int key, Qt::KeyboardModifiers modifiers)
    : key(key), modifiers(modifiers & countedModifiers)
{
}

KeyChord KeyChord::of(const QKeyEvent* event)
{
    return KeyChord(event->key(), event->modifiers());
}

KeyRepeatFilter::KeyRepeatFilter(Clock clock) : m_clock(clock ? std::move(clock) : steadyClock()) {}

bool KeyRepeatFilter::accept(const KeyChord& chord)
{
    const qint64 now = m_clock();
    if (m_last && *m_last == chord && now - m_acceptedAt <= repeatWindowMs)
        return false;
    m_last = chord;
    m_acceptedAt = now;
    return true;
}
