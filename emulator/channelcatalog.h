#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>

#include "channel.pb.h"
#include "scenario.h"

// The scenario's channels as GetChannels reports them, with their guides laid
// out around the clock's time at start-up and their icons drawn.
class ChannelCatalog
{
public:
    ChannelCatalog(const Scenario& scenario, qint64 nowUtc);

    const ChannelEntry* find(int id) const;
    QByteArray iconPng(int id) const;  // empty for a channel without icon
    qsizetype channelCount() const { return m_items.size(); }
    qsizetype telecastCount() const;

    // Honours need_icons, need_epg, need_offsets, need_categories and the
    // channel filter of the request.
    void fill(const proto::ChannelListRequest& request, proto::ChannelListResponse* response) const;

private:
    struct Item
    {
        ChannelEntry channel;
        QList<TelecastEntry> guide;
        QByteArray icon;
    };

    void fillChannel(const Item& item, const proto::ChannelListRequest& request,
                     proto::Channel* channel) const;

    QList<TimeOffsetEntry> m_offsets;
    QList<CategoryEntry> m_categories;
    QList<Item> m_items;
    QHash<int, qsizetype> m_indexById;
};
