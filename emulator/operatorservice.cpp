#include "operatorservice.h"

#include <vector>

#include "channelcatalog.h"
#include "clock.h"
#include "rpcdispatcher.h"
#include "stb_server.pb.h"
#include "tv_server.pb.h"

namespace gp = google::protobuf;

namespace {

void setHost(proto::IPPort* host, const QString& address, int port)
{
    host->set_address(address.toStdString());
    host->set_port(port);
}

// Fields present in update replace those of stored; the others stay.
void overwriteFields(gp::Message& stored, const gp::Message& update)
{
    std::vector<const gp::FieldDescriptor*> fields;
    update.GetReflection()->ListFields(update, &fields);
    for (const gp::FieldDescriptor* field : fields)
        stored.GetReflection()->ClearField(&stored, field);
    stored.MergeFrom(update);
}

}  // namespace

OperatorService::OperatorService(const Scenario& scenario, const ChannelCatalog& catalog,
                                 const Clock& clock, const ServerAddress& address)
    : m_scenario(scenario), m_catalog(catalog), m_clock(clock), m_address(address)
{
}

void OperatorService::registerWith(RpcDispatcher& dispatcher)
{
    const gp::ServiceDescriptor* tv = proto::TvServerService::descriptor();
    const gp::ServiceDescriptor* stb = proto::StbServerService::descriptor();
    dispatcher.add<proto::AuthRequest, proto::AuthResponse>(
        tv, "Auth", [this](const auto& request, auto& response) { auth(request, response); });
    addChecked(dispatcher, tv, "GetTime", &OperatorService::getTime);
    addChecked(dispatcher, tv, "GetUserInfo", &OperatorService::getUserInfo);
    addChecked(dispatcher, tv, "GetChannels", &OperatorService::getChannels);
    addChecked(dispatcher, tv, "OpenStream", &OperatorService::openStream);
    addChecked(dispatcher, tv, "UpdateStream", &OperatorService::updateStream);
    addChecked(dispatcher, tv, "CloseStream", &OperatorService::closeStream);
    addChecked(dispatcher, stb, "GetImageUrl", &OperatorService::getImageUrl);
    addChecked(dispatcher, stb, "GetStbSettings", &OperatorService::getStbSettings);
    addChecked(dispatcher, stb, "SetStbSettings", &OperatorService::setStbSettings);
    addChecked(dispatcher, stb, "GetUserChannel", &OperatorService::getUserChannel);
    addChecked(dispatcher, stb, "SetUserChannel", &OperatorService::setUserChannel);
}

template <class Request, class Response>
void OperatorService::addChecked(RpcDispatcher& dispatcher, const gp::ServiceDescriptor* service,
                                 const char* method,
                                 void (OperatorService::*handler)(const Request&, Response&))
{
    dispatcher.add<Request, Response>(service, method,
                                      [this, handler](const Request& request, Response& response) {
                                          if (acceptsToken(request.auth()))
                                              (this->*handler)(request, response);
                                          else
                                              Rpc::setRefused(response);
                                      });
}

bool OperatorService::acceptsToken(const std::string& token) const
{
    return m_tokenIssued && QString::fromStdString(token) == m_scenario.token;
}

void OperatorService::auth(const proto::AuthRequest& request, proto::AuthResponse& response)
{
    const QString mac = normalisedMac(QString::fromStdString(request.device().mac()));
    if (!m_scenario.acceptedMacs.contains("*") && !m_scenario.acceptedMacs.contains(mac)) {
        response.set_status(proto::AuthResponse::WrongUser);
        return;
    }
    m_tokenIssued = true;
    response.set_status(proto::AuthResponse::OK);
    response.set_auth_token(m_scenario.token.toStdString());
    response.set_company_id(m_scenario.userInfo.company_id());
    if (m_scenario.ttl)
        response.set_ttl(uint32_t(*m_scenario.ttl));
}

void OperatorService::getTime(const proto::TimeRequest&, proto::TimeResponse& response)
{
    response.set_status(proto::TimeResponse::OK);
    response.set_time(uint64_t(m_clock.nowUtc()));
    proto::TimeZone* zone = response.mutable_time_zone();
    zone->set_name(m_scenario.zoneName.toStdString());
    zone->set_posix(m_scenario.zonePosix.toStdString());
    zone->set_current_utc_offset(m_scenario.utcOffset);
}

void OperatorService::getUserInfo(const proto::GetUserInfoRequest&,
                                  proto::GetUserInfoResponse& response)
{
    response.set_status(proto::GetUserInfoResponse::OK);
    *response.mutable_info() = m_scenario.userInfo;
}

void OperatorService::getChannels(const proto::ChannelListRequest& request,
                                  proto::ChannelListResponse& response)
{
    m_catalog.fill(request, &response);
}

void OperatorService::openStream(const proto::OpenStreamRequest& request,
                                 proto::OpenStreamResponse& response)
{
    const ChannelEntry* channel = m_catalog.find(request.channel_id());
    if (!channel) {
        response.set_result(proto::OpenStreamResponse::NotFound);
        return;
    }
    const auto result = channel->stream.result.value_or(
        channel->available ? proto::OpenStreamResponse::OK : proto::OpenStreamResponse::Deny);
    response.set_result(result);
    if (result != proto::OpenStreamResponse::OK)
        return;
    const int streamId = ++m_lastStreamId;
    m_channelByStream.insert(streamId, channel->id);
    response.set_stream_id(streamId);
    if (m_scenario.updateInterval)
        response.set_update_interval(uint32_t(*m_scenario.updateInterval));
    describeStream(*channel, request.offset_id(), response);
}

void OperatorService::describeStream(const ChannelEntry& channel, int offsetId,
                                     proto::OpenStreamResponse& response) const
{
    const StreamEntry& stream = channel.stream;
    const QString address = stream.address.isEmpty() ? m_address.host : stream.address;
    const int port = stream.port != 0 ? stream.port : m_address.port;
    response.set_scheme(stream.scheme);
    switch (stream.scheme) {
        case proto::Multicast_UDP:
        case proto::Multicast_SUDP:
            setHost(response.mutable_multicast_group(), address, port);
            break;
        case proto::Unicast_UDP:
        case proto::Unicast_SUDP:
            setHost(response.mutable_unicast_stream()->mutable_host(), address, port);
            break;
        case proto::HTTP_UDP:
        case proto::HTTP_SUDP:
            setHost(response.mutable_http_stream()->mutable_host(), address, port);
            response.mutable_http_stream()->set_url(
                QString(stream.url)
                    .replace("{channel}", QString::number(channel.id))
                    .replace("{offset}", QString::number(offsetId))
                    .toStdString());
            break;
    }
    for (const AudioTrackEntry& track : channel.audioTracks) {
        proto::AudioTrack* added = response.add_audio_tracks();
        added->set_pid(track.pid);
        added->set_lang_code(track.language.toStdString());
    }
}

void OperatorService::updateStream(const proto::UpdateStreamRequest& request,
                                   proto::UpdateStreamResponse& response)
{
    response.set_result(m_channelByStream.contains(request.stream_id())
                            ? proto::UpdateStreamResponse::OK
                            : proto::UpdateStreamResponse::NotFound);
}

void OperatorService::closeStream(const proto::CloseStreamRequest& request,
                                  proto::CloseStreamResponse& response)
{
    // The schema gives CloseStream no NotFound; its only refusal stands in.
    response.set_result(m_channelByStream.remove(request.stream_id())
                            ? proto::CloseStreamResponse::OK
                            : proto::CloseStreamResponse::NoAuth);
}

void OperatorService::getImageUrl(const proto::GetImageUrlRequest&,
                                  proto::GetImageUrlResponse& response)
{
    response.set_status(proto::GetImageUrlResponse::OK);
    response.set_url(QString(m_scenario.closeChannelImageUrl)
                         .replace("{host}", m_address.hostAndPort())
                         .toStdString());
}

void OperatorService::getStbSettings(const proto::GetStbSettingsRequest&,
                                     proto::GetStbSettingsResponse& response)
{
    response.set_result(proto::GetStbSettingsResponse::OK);
    if (m_scenario.settings)
        *response.mutable_data() = *m_scenario.settings;
}

void OperatorService::setStbSettings(const proto::SetStbSettingsRequest& request,
                                     proto::SetStbSettingsResponse& response)
{
    proto::StbSettings stored = m_scenario.settings.value_or(proto::StbSettings());
    overwriteFields(stored, request.data());
    m_scenario.settings = stored;
    response.set_result(proto::SetStbSettingsResponse::OK);
}

void OperatorService::getUserChannel(const proto::UserChannelRequest& request,
                                     proto::UserChannelResponse& response)
{
    response.set_result(proto::UserChannelResponse::OK);
    if (const auto& list = userChannelList(request.use_shared()))
        *response.mutable_data() = *list;
}

void OperatorService::setUserChannel(const proto::SetUserChannelRequest& request,
                                     proto::SetUserChannelResponse& response)
{
    userChannelList(request.use_shared()) = request.data();
    response.set_result(proto::SetUserChannelResponse::OK);
}

std::optional<proto::UserChannelData>& OperatorService::userChannelList(bool shared)
{
    return shared ? m_scenario.sharedChannelList : m_scenario.ownChannelList;
}
