#include "keyrepeatfilter.h"

#include <QKeyEvent>

namespace {

constexpr Qt::KeyboardModifiers countedModifiers =
    Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;

// Shift only picks which symbol such a key types: '+' is Shift and '=' on
// most layouts, and the digits need Shift on some.
bool isTypedSymbol(int key)
{
    return key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde &&
           (key < Qt::Key_A || key > Qt::Key_Z);
}

Qt::KeyboardModifiers countedFor(int key, Qt::KeyboardModifiers modifiers)
{
    const Qt::KeyboardModifiers counted = modifiers & countedModifiers;
    return isTypedSymbol(key) ? counted & ~Qt::ShiftModifier : counted;
}

}  // namespace

KeyChord::KeyChord(int key, Qt::KeyboardModifiers modifiers)
    : key(key), modifiers(countedFor(key, modifiers))
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
