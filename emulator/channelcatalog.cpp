#include "channelcatalog.h"

#include <QSet>

#include "guidegenerator.h"
#include "images.h"

ChannelCatalog::ChannelCatalog(const Scenario& scenario, qint64 nowUtc)
    : m_offsets(scenario.offsets), m_categories(scenario.categories)
{
    const GuideGenerator generator(scenario.guide, nowUtc, scenario.utcOffset);
    int nextTelecastId = 1;
    for (const ChannelEntry& channel : scenario.channels) {
        Item item{channel, {}, {}};
        if (channel.guide == ChannelEntry::Guide::Listed) {
            item.guide = channel.telecasts;
            for (TelecastEntry& telecast : item.guide)
                telecast.id = telecast.id != 0 ? telecast.id : nextTelecastId++;
        } else if (channel.guide == ChannelEntry::Guide::Generated) {
            const int slot =
                channel.slotMinutes > 0 ? channel.slotMinutes : scenario.guide.slotMinutes;
            item.guide = generator.telecasts(int(m_items.size()), slot, &nextTelecastId);
        }
        if (channel.hasIcon)
            item.icon = Images::channelIconPng(channel.id);
        m_indexById.insert(channel.id, m_items.size());
        m_items.append(item);
    }
}

const ChannelEntry* ChannelCatalog::find(int id) const
{
    const auto it = m_indexById.constFind(id);
    return it == m_indexById.constEnd() ? nullptr : &m_items[*it].channel;
}

QByteArray ChannelCatalog::iconPng(int id) const
{
    const auto it = m_indexById.constFind(id);
    return it == m_indexById.constEnd() ? QByteArray() : m_items[*it].icon;
}

qsizetype ChannelCatalog::telecastCount() const
{
    qsizetype count = 0;
    for (const Item& item : m_items)
        count += item.guide.size();
    return count;
}

void ChannelCatalog::fill(const proto::ChannelListRequest& request,
                          proto::ChannelListResponse* response) const
{
    response->set_status(proto::ChannelListResponse::OK);
    const QSet<int> wanted(request.channels().begin(), request.channels().end());
    for (const Item& item : m_items) {
        if (wanted.isEmpty() || wanted.contains(item.channel.id))
            fillChannel(item, request, response->add_list());
    }
    if (request.need_offsets()) {
        for (const TimeOffsetEntry& offset : m_offsets) {
            proto::TimeOffset* added = response->add_offsets();
            added->set_id(offset.id);
            added->set_offset(offset.minutes);
        }
    }
    if (request.need_categories()) {
        for (const CategoryEntry& category : m_categories) {
            proto::Category* added = response->add_categories();
            added->set_id(category.id);
            added->set_caption(category.caption.toStdString());
        }
    }
}

void ChannelCatalog::fillChannel(const Item& item, const proto::ChannelListRequest& request,
                                 proto::Channel* channel) const
{
    channel->set_id(item.channel.id);
    channel->set_name(item.channel.name.toStdString());
    channel->set_available(item.channel.available);
    channel->set_hidden(item.channel.hidden);
    if (request.need_icons() && !item.icon.isEmpty())
        channel->set_icon(item.icon.constData(), size_t(item.icon.size()));
    if (request.need_epg()) {
        for (const TelecastEntry& telecast : item.guide) {
            proto::EpgRecord* record = channel->add_epg();
            record->set_id(telecast.id);
            record->set_text(telecast.title.toStdString());
            record->set_time_start(telecast.start);
            record->set_time_stop(telecast.stop);
        }
    }
    if (request.need_offsets()) {
        for (int offset : item.channel.offsets)
            channel->add_offset(offset);
    }
    if (request.need_categories()) {
        for (int category : item.channel.categories)
            channel->add_category(category);
    }
}
