#include "channellistbuilder.h"

#include "channel.h"
#include "ttvservermanager.h"

#include <QHash>

ServerAnswers ServerAnswers::of(const TTVServerManager& server)
{
    return {server.channelList(), server.userChannelList(), server.userSettings(),
            server.userInfo()};
}

namespace ChannelListBuilder {

namespace {

Channel* loadedChannel(const proto::ChannelListResponse& list, int index, QObject* parent)
{
    auto* channel = new Channel(parent);
    channel->load(&list, index, true);
    return channel;
}

// Where each id first appears in the list.
QHash<int, int> firstIndexById(const proto::ChannelListResponse& list)
{
    QHash<int, int> indexes;
    indexes.reserve(list.list_size());
    for (int i = 0; i < list.list_size(); ++i) {
        if (!indexes.contains(list.list(i).id()))
            indexes.insert(list.list(i).id(), i);
    }
    return indexes;
}

}  // namespace

QList<Channel*> fullList(const proto::ChannelListResponse& list, QObject* parent)
{
    QList<Channel*> channels;
    channels.reserve(list.list_size());
    for (int i = 0; i < list.list_size(); ++i)
        channels.append(loadedChannel(list, i, parent));
    return channels;
}

QList<Channel*> userList(const proto::ChannelListResponse& list,
                         const proto::UserChannelData& userChannels, QObject* parent)
{
    const QHash<int, int> indexes = firstIndexById(list);
    QList<Channel*> channels;
    for (const int id : userChannels.channel_id()) {
        const auto found = indexes.constFind(id);
        if (found != indexes.cend())
            channels.append(loadedChannel(list, *found, parent));
    }
    return channels;
}

void applyVolumes(const QList<Channel*>& channels, const proto::GetStbSettingsResponse& settings)
{
    QHash<int, int> volumes;  // the first record of each channel counts
    for (const auto& record : settings.data().channel_volume().record()) {
        if (!volumes.contains(record.id_channel()))
            volumes.insert(record.id_channel(), record.volume());
    }
    for (Channel* channel : channels) {
        const auto found = volumes.constFind(channel->id());
        if (found != volumes.cend())
            channel->setVolume(*found);
    }
}

}  // namespace ChannelListBuilder
