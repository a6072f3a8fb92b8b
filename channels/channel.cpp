#include "channel.h"

#include "channel.pb.h"
#include "serverclock.h"
#include "telecast.h"

#include <algorithm>

namespace {

const char* const kDefaultIcon = ":/images/default-channel-icon.png";

// Guide times come as UTC seconds and are kept as 32-bit server local ones.
int serverLocalSeconds(qint64 utcSeconds, qint32 utcOffset)
{
    return int(quint32(utcSeconds) + quint32(utcOffset));
}

// The minutes the response gives an offset id; a later entry overrides an
// earlier one, an id without an entry is 0 minutes.
int minutesOfOffset(const proto::ChannelListResponse& response, int id)
{
    int minutes = 0;
    for (const proto::TimeOffset& offset : response.offsets()) {
        if (offset.id() == id)
            minutes = offset.offset();
    }
    return minutes;
}

}  // namespace

Channel::Channel(QObject* parent) : QObject(parent) {}

void Channel::load(const proto::ChannelListResponse* response, int index, bool withGuide)
{
    m_iconSet = false;
    m_name.clear();
    m_icon = QPixmap();
    m_listPosition = index;
    clearGuide();
    m_hasTimeOffsets = false;
    m_offsets.clear();

    if (response && index >= 0 && index < response->list_size()) {
        const proto::Channel& entry = response->list(index);
        m_name = QString::fromStdString(entry.name());
        m_id = entry.id();
        m_available = entry.available();
        loadIcon(entry);
        if (withGuide)
            loadGuide(entry);
        loadTimeOffsets(*response, entry);
    }
    resetToLive();
}

void Channel::clearGuide()
{
    m_live = m_previous = m_current = m_next = nullptr;
    qDeleteAll(m_telecasts);
    m_telecasts.clear();
    m_hasProgrammeGuide = false;
}

void Channel::loadIcon(const proto::Channel& entry)
{
    const std::string& data = entry.icon();
    // Bytes that are no picture leave no icon behind: the default stands in.
    if (!entry.has_icon() ||
        !m_icon.loadFromData(reinterpret_cast<const uchar*>(data.data()), uint(data.size())))
        m_icon.load(kDefaultIcon);
    m_iconSet = true;
}

void Channel::loadGuide(const proto::Channel& entry)
{
    const qint32 utcOffset = ServerClock::utcOffset();
    m_telecasts.reserve(entry.epg_size());
    for (const proto::EpgRecord& record : entry.epg()) {
        auto* telecast = new Telecast(this);
        telecast->setId(record.id());
        telecast->setStart(serverLocalSeconds(record.time_start(), utcOffset));
        telecast->setStop(serverLocalSeconds(record.time_stop(), utcOffset));
        telecast->setTitle(QString::fromStdString(record.text()));
        m_telecasts.append(telecast);
    }
    m_hasProgrammeGuide = true;
}

void Channel::loadTimeOffsets(const proto::ChannelListResponse& response,
                              const proto::Channel& entry)
{
    // The first id is the live stream; timeshift needs at least two more.
    const int count = entry.offset_size() - 1;
    if (count <= 1)
        return;
    m_offsets.reserve(count);
    for (int k = 1; k <= count; ++k) {
        const int id = entry.offset(k);
        m_offsets.append({id, minutesOfOffset(response, id)});
    }
    m_hasTimeOffsets = true;
}

void Channel::setVolume(int volume)
{
    if (volume == m_volume)
        return;
    m_volume = std::min(volume, kMaxVolume);
    emit volumeChanged(m_volume);
}

template <typename Predicate>
Telecast* Channel::firstTelecast(Predicate matches) const
{
    const auto found = std::find_if(m_telecasts.cbegin(), m_telecasts.cend(), matches);
    return found == m_telecasts.cend() ? nullptr : *found;
}

Telecast* Channel::telecastAt(qint64 time) const
{
    return firstTelecast([time](const Telecast* telecast) { return telecast->contains(time); });
}

Telecast* Channel::telecastNow() const
{
    return telecastAt(ServerClock::serverLocalNow());
}

Telecast* Channel::telecastAtShiftedTime() const
{
    return telecastAt(shiftedTime());
}

Telecast* Channel::telecastBefore(const Telecast* telecast) const
{
    if (!telecast)
        return nullptr;
    const int start = telecast->start();
    return firstTelecast([start](const Telecast* other) { return other->stop() == start; });
}

Telecast* Channel::telecastAfter(const Telecast* telecast) const
{
    if (!telecast)
        return nullptr;
    const int stop = telecast->stop();
    return firstTelecast([stop](const Telecast* other) { return other->start() == stop; });
}

Telecast* Channel::telecastAway(qint64 time, int places) const
{
    const Telecast* anchor = telecastAt(time);
    if (!anchor)
        return nullptr;
    const qsizetype index = m_telecasts.indexOf(anchor) + places;
    return index >= 0 && index < m_telecasts.size() ? m_telecasts.at(index) : nullptr;
}

int Channel::indexOfOffset(int minutes) const
{
    const auto found =
        std::find_if(m_offsets.cbegin(), m_offsets.cend(),
                     [minutes](const TimeOffset& o) { return o.minutes == minutes; });
    return found == m_offsets.cend() ? -1 : int(found - m_offsets.cbegin());
}

int Channel::currentOffsetId() const
{
    return isLive() ? kLiveOffsetId : m_offsets.at(m_offsetIndex).id;
}

int Channel::currentOffsetMinutes() const
{
    return isLive() ? 0 : m_offsets.at(m_offsetIndex).minutes;
}

void Channel::refresh()
{
    m_refreshTime = ServerClock::serverLocalNow();
    locateTelecasts();
}

void Channel::selectOffset(int index)
{
    m_offsetIndex = std::clamp(index, -1, offsetCount() - 1);
    locateTelecasts();
}

void Channel::resetToLive()
{
    m_offsetIndex = -1;
    refresh();
}

void Channel::locateTelecasts()
{
    m_live = telecastAt(m_refreshTime);
    m_current = telecastAt(shiftedTime());
    m_previous = telecastBefore(m_current);
    m_next = telecastAfter(m_current);
    if (!m_hasTimeOffsets)
        return;
    for (Telecast* telecast : {m_previous, m_current, m_next}) {
        if (telecast)
            telecast->updateMarkers(m_offsets, m_refreshTime);
    }
}
