#pragma once

#include <QHash>
#include <QString>

#include <google/protobuf/descriptor.h>

#include "auth.pb.h"
#include "channel.pb.h"
#include "scenario.h"
#include "stb_files.pb.h"
#include "stb_params.pb.h"
#include "stream_operations.pb.h"
#include "time.pb.h"
#include "user_channels.pb.h"
#include "user_info.pb.h"

class ChannelCatalog;
class Clock;
class RpcDispatcher;

// Where clients reach the emulator; it puts this into the URLs it hands out.
struct ServerAddress
{
    QString host;  // "127.0.0.1"
    quint16 port = 0;

    QString hostAndPort() const { return host + ':' + QString::number(port); }
};

// The twelve methods the player calls, answered from the scenario. It keeps
// what the player stores (settings, user channel lists) and the open streams.
// Every method but Auth requires the token that a successful Auth handed out.
class OperatorService
{
public:
    OperatorService(const Scenario& scenario, const ChannelCatalog& catalog, const Clock& clock,
                    const ServerAddress& address);

    void registerWith(RpcDispatcher& dispatcher);

private:
    template <class Request, class Response>
    void addChecked(RpcDispatcher& dispatcher, const google::protobuf::ServiceDescriptor* service,
                    const char* method,
                    void (OperatorService::*handler)(const Request&, Response&));

    bool acceptsToken(const std::string& token) const;

    void auth(const proto::AuthRequest& request, proto::AuthResponse& response);
    void getTime(const proto::TimeRequest& request, proto::TimeResponse& response);
    void getUserInfo(const proto::GetUserInfoRequest& request,
                     proto::GetUserInfoResponse& response);
    void getChannels(const proto::ChannelListRequest& request,
                     proto::ChannelListResponse& response);
    void openStream(const proto::OpenStreamRequest& request, proto::OpenStreamResponse& response);
    void updateStream(const proto::UpdateStreamRequest& request,
                      proto::UpdateStreamResponse& response);
    void closeStream(const proto::CloseStreamRequest& request,
                     proto::CloseStreamResponse& response);
    void getImageUrl(const proto::GetImageUrlRequest& request,
                     proto::GetImageUrlResponse& response);
    void getStbSettings(const proto::GetStbSettingsRequest& request,
                        proto::GetStbSettingsResponse& response);
    void setStbSettings(const proto::SetStbSettingsRequest& request,
                        proto::SetStbSettingsResponse& response);
    void getUserChannel(const proto::UserChannelRequest& request,
                        proto::UserChannelResponse& response);
    void setUserChannel(const proto::SetUserChannelRequest& request,
                        proto::SetUserChannelResponse& response);

    void describeStream(const ChannelEntry& channel, int offsetId,
                        proto::OpenStreamResponse& response) const;
    std::optional<proto::UserChannelData>& userChannelList(bool shared);

    Scenario m_scenario;
    const ChannelCatalog& m_catalog;
    const Clock& m_clock;
    ServerAddress m_address;
    bool m_tokenIssued = false;
    int m_lastStreamId = 0;
    QHash<int, int> m_channelByStream;
};
