#include "closesequence.h"

#include <utility>

CloseSequence::CloseSequence(QObject* parent) : QObject(parent)
{
    m_delay.setSingleShot(true);
    // A coarse timer may fire up to 5% early; the quit must not come before
    // the delay.
    m_delay.setTimerType(Qt::PreciseTimer);
    m_delay.setInterval(closeDelayMs);
    m_delay.callOnTimeout(this, &CloseSequence::finish);
}

CloseSequence::Step CloseSequence::stepFor(bool windowClosed, bool closeToTray) const
{
    if (m_quitting)
        return Step::Accept;
    return windowClosed && closeToTray ? Step::HideToTray : Step::Quit;
}

bool CloseSequence::isQuitting() const
{
    return m_quitting;
}

bool CloseSequence::start(bool closeStream)
{
    if (std::exchange(m_started, true))
        return false;
    m_streamToClose = closeStream;
    m_delay.start();
    emit sendSettings();
    return true;
}

void CloseSequence::settingsSaved()
{
    if (std::exchange(m_streamToClose, false))
        emit closeStream();
}

void CloseSequence::finish()
{
    m_quitting = true;
    emit quit();
}
