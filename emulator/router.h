#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include "httpconnection.h"

class ChannelCatalog;
class FaultPlan;
class RequestLog;
class RpcDispatcher;
class SampleLibrary;

// Sends each request where it belongs and logs it:
//   POST /server/<Service>/<Method>.pb   the RPC methods
//   GET  /images/channel-deny.png        the closed-channel picture
//   GET  /icons/<channel id>.png         channel icons
//   GET  /stream/<channel id>[?offset=n] a channel's live stream
//   GET  /                               the media portal's start page
// Anything else is 404.
class Router : public HttpHandler
{
public:
    Router(const RpcDispatcher& rpc, FaultPlan& faults, const ChannelCatalog& catalog,
           const SampleLibrary& samples, RequestLog& log, const QString& portalScript = {});

    void handle(const HttpRequest& request, HttpConnection* connection) override;

private:
    void answerRpc(const HttpRequest& request, HttpConnection* connection, QJsonObject entry);
    bool answerGet(const HttpRequest& request, HttpConnection* connection);
    void sendPortal(const HttpRequest& request, HttpConnection* connection);
    bool startStream(const QString& channelId, HttpConnection* connection);

    const RpcDispatcher& m_rpc;
    FaultPlan& m_faults;
    const ChannelCatalog& m_catalog;
    const SampleLibrary& m_samples;
    RequestLog& m_log;
    QByteArray m_channelDenyPng;
    QString m_portalScript;
};
