#include "timemachinemanager.h"

#include "channel.h"
#include "channelmanager.h"
#include "serverclock.h"
#include "telecast.h"

#include <QTimer>

#include <algorithm>
#include <cstdlib>

TimeMachineManager::TimeMachineManager(QObject* parent) : QObject(parent), m_timer(new QTimer(this))
{
    qRegisterMetaType<time_t>("time_t");
    connect(m_timer, &QTimer::timeout, this, &TimeMachineManager::onTimerCurrentTime);
    m_timer->start(kRefreshMs);
}

void TimeMachineManager::setChannelManager(ChannelManager* manager)
{
    if (m_channelManager)
        disconnect(m_channelManager, nullptr, this, nullptr);
    m_channelManager = manager;
    if (manager) {
        connect(manager, &ChannelManager::currentChannelChanged, this,
                &TimeMachineManager::setNewChannel);
    }
}

void TimeMachineManager::setNewChannel(Channel* aChannel)
{
    m_channel = aChannel;
    if (aChannel) {
        const qint64 away = ServerClock::serverLocalNow() - aChannel->refreshTime();
        if (aChannel->hasTimeOffsets() && away > kKeepOffsetSeconds)
            aChannel->resetToLive();
        else
            aChannel->refresh();
    }
    announce(true);
}

void TimeMachineManager::onTimerCurrentTime()
{
    if (m_channel)
        m_channel->refresh();
    announce(false);
}

bool TimeMachineManager::allows(Command command) const
{
    if (!m_channel)
        return false;
    if (command == Command::Live)
        return !m_channel->isLive();
    if (!m_channel->hasTimeOffsets())
        return false;
    const std::optional<int> index = indexAfter(command);
    return index && *index != m_channel->offsetIndex();
}

// ---- navigation --------------------------------------------------------------

Channel* TimeMachineManager::refreshedShiftableChannel()
{
    if (!m_channel || !m_channel->hasTimeOffsets())
        return nullptr;
    m_channel->refresh();
    return m_channel;
}

void TimeMachineManager::setCurrentChannelTimeShiftPrev()
{
    run(Command::StepBack);
}

void TimeMachineManager::setCurrentChannelTimeShiftNext()
{
    run(Command::StepForward);
}

void TimeMachineManager::setCurrentChannelOffTimeShift()
{
    if (!m_channel)
        return;
    m_channel->resetToLive();
    announceSelection();
}

void TimeMachineManager::setCurrentChannelTimeShiftStartProgram()
{
    run(Command::StartOfProgramme);
}

void TimeMachineManager::setCurrentChannelTimeShiftPrevProgram()
{
    run(Command::PreviousProgramme);
}

void TimeMachineManager::setCurrentChannelTimeShiftNextProgram()
{
    run(Command::NextProgramme);
}

// The steps and the start of programme count as carried out even when the
// index stays; a programme command without a target does not.
void TimeMachineManager::run(Command command)
{
    if (!refreshedShiftableChannel())
        return;
    if (const std::optional<int> index = indexAfter(command)) {
        m_channel->selectOffset(*index);
        announceSelection();
    }
}

std::optional<int> TimeMachineManager::indexAfter(Command command) const
{
    const int index = m_channel->offsetIndex();
    switch (command) {
        case Command::StepBack:
            return std::min(index + 1, m_channel->offsetCount() - 1);
        case Command::StepForward:
            return std::max(index - 1, -1);
        case Command::StartOfProgramme:
            return startOfProgrammeIndex();
        case Command::PreviousProgramme:
            return indexOfTarget(previousProgrammeTarget());
        case Command::NextProgramme:
            return indexOfTarget(nextProgrammeTarget());
        case Command::Live:
            return -1;
    }
    return std::nullopt;
}

// The offset reaching furthest back into the watched telecast; the index
// stays when none falls into it.
int TimeMachineManager::startOfProgrammeIndex() const
{
    const Telecast* current = m_channel->currentTelecast();
    if (current && current->markers().last != 0)
        return m_channel->indexOfOffset(current->markers().last);
    return m_channel->offsetIndex();
}

// Back to the start of the running programme, else to the start of the one
// before it.
std::optional<int> TimeMachineManager::previousProgrammeTarget() const
{
    const Telecast* current = m_channel->currentTelecast();
    if (!m_channel->hasProgrammeGuide() || !current)
        return std::nullopt;
    const Telecast::Markers& markers = current->markers();
    const int selected = m_channel->currentOffsetMinutes();
    if (markers.last != 0 && std::abs(selected) < std::abs(markers.last))
        return markers.last;
    if (markers.last == 0 && markers.middle == 0 && markers.first == 0 &&
        current != m_channel->liveTelecast())
        return std::nullopt;
    const Telecast* previous = m_channel->previousTelecast();
    if (previous && previous->markers().last != 0)
        return previous->markers().last;
    return std::nullopt;
}

// Forward to the start of the running programme, else to the start of the
// next one, else back to live.
std::optional<int> TimeMachineManager::nextProgrammeTarget() const
{
    const Telecast* current = m_channel->currentTelecast();
    if (!m_channel->hasProgrammeGuide() || !current)
        return std::nullopt;
    const Telecast::Markers& markers = current->markers();
    const int selected = m_channel->currentOffsetMinutes();
    if (markers.last != 0 && std::abs(markers.last) < std::abs(selected))
        return markers.last;
    if (markers.last == 0 && markers.middle == 0 && markers.first == 0)
        return std::nullopt;
    if (current != m_channel->liveTelecast()) {
        const Telecast* next = m_channel->nextTelecast();
        if (!next)
            return std::nullopt;
        if (next->markers().last != 0)
            return next->markers().last;
        if (next != m_channel->liveTelecast())
            return std::nullopt;
    }
    if (!m_channel->isLive())
        return 0;
    return std::nullopt;
}

std::optional<int> TimeMachineManager::indexOfTarget(std::optional<int> minutes) const
{
    if (!minutes)
        return std::nullopt;
    return *minutes == 0 ? -1 : m_channel->indexOfOffset(*minutes);
}

// ---- reporting ---------------------------------------------------------------

void TimeMachineManager::announce(bool newChannel)
{
    if (!m_channel) {
        const qint64 now = ServerClock::serverLocalNow();
        emit updatedData(newChannel, time_t(now), time_t(now), 0);
        return;
    }
    m_lastShiftedTime = m_channel->shiftedTime();
    emit updatedData(newChannel, time_t(m_channel->refreshTime()), time_t(m_lastShiftedTime),
                     m_channel->currentOffsetMinutes());
}

void TimeMachineManager::announceSelection()
{
    announce(false);
    // The server publishes no address per offset: an empty URL has the
    // receiver replay the channel, whose next open carries the offset id.
    emit openNewUrl(QString());
}
