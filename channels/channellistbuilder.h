#pragma once

#include <QList>

namespace proto {
class ChannelListResponse;
class GetStbSettingsResponse;
class GetUserInfoResponse;
class UserChannelData;
class UserChannelResponse;
}  // namespace proto

class Channel;
class QObject;
class TTVServerManager;

// The session manager's stored answers that the channel list is made of; an
// answer that was not loaded is null.
struct ServerAnswers
{
    const proto::ChannelListResponse* channelList = nullptr;
    const proto::UserChannelResponse* userChannelList = nullptr;
    const proto::GetStbSettingsResponse* userSettings = nullptr;
    const proto::GetUserInfoResponse* userInfo = nullptr;

    static ServerAnswers of(const TTVServerManager& server);
};

// Makes loaded channels out of the server's channel list.
namespace ChannelListBuilder {

// Every entry, in the server's order, with its guide.
QList<Channel*> fullList(const proto::ChannelListResponse& list, QObject* parent);

// The user's ids in the user's order, each as the first entry of the list
// with that id; ids the list does not hold are skipped.
QList<Channel*> userList(const proto::ChannelListResponse& list,
                         const proto::UserChannelData& userChannels, QObject* parent);

// The per-channel volumes the server keeps, whether or not they are enabled.
void applyVolumes(const QList<Channel*>& channels, const proto::GetStbSettingsResponse& settings);

}  // namespace ChannelListBuilder
