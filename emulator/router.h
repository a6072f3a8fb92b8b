#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonObject>
#include <QString>

#include <functional>

#include "filmserver.h"
#include "httpconnection.h"
#include "portalcatalog.h"
#include "portalpages.h"

class ChannelCatalog;
class FaultPlan;
class RequestLog;
class RpcDispatcher;
class SampleLibrary;
class UpdateServer;

// Sends each request where it belongs and logs it:
//   POST /server/<Service>/<Method>.pb   the RPC methods
//   GET  /images/channel-deny.png        the closed-channel picture
//   GET  /icons/<channel id>.png         channel icons
//   GET  /stream/<channel id>[?offset=n] a channel's live stream
//   GET  /[?genre=n]                     the media portal's start page, or a genre's
//   GET  /series, /series/big            the portal's series, and one of 120 episodes
//   GET  /broken                         a portal page of broken HTML
//   GET  /about                          an ordinary page the portal links to
//   GET  /films/<file>[?…]               a film of the portal, whole or a byte range
//   GET  /iptv/zmplayer/version.txt      the update server's files
//   GET  /iptv/zmplayer/product.zip
// Anything else is 404.
class Router : public HttpHandler
{
public:
    Router(const RpcDispatcher& rpc, FaultPlan& faults, const ChannelCatalog& catalog,
           const SampleLibrary& samples, const UpdateServer& update, RequestLog& log,
           const QString& portalScript = {});

    void handle(const HttpRequest& request, HttpConnection* connection) override;

private:
    void answerRpc(const HttpRequest& request, HttpConnection* connection, QJsonObject entry);
    bool answerGet(const HttpRequest& request, HttpConnection* connection);
    HttpResponse portalHome(const HttpRequest& request) const;
    bool startStream(const QString& channelId, HttpConnection* connection);

    const RpcDispatcher& m_rpc;
    FaultPlan& m_faults;
    const ChannelCatalog& m_catalog;
    const SampleLibrary& m_samples;
    const UpdateServer& m_update;
    RequestLog& m_log;
    const PortalCatalog m_portal = PortalCatalog::standard();
    const PortalPages m_portalPages;
    const FilmServer m_films;
    // The answers of the paths that take no parameter in the path itself.
    QHash<QString, std::function<HttpResponse(const HttpRequest&)>> m_fixedPaths;
};
