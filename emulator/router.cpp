#include "router.h"

#include <QRegularExpression>

#include <memory>

#include "channelcatalog.h"
#include "faults.h"
#include "images.h"
#include "requestlog.h"
#include "rpcdispatcher.h"
#include "streamer.h"
#include "updateserver.h"

namespace {

const QByteArray kPng = "image/png";
const QRegularExpression kIconPath("^/icons/(\\d+)\\.png$");
const QRegularExpression kStreamPath("^/stream/(\\d+)$");
const QRegularExpression kFilmPath("^/films/([^/]+)$");
const QByteArray kHtml = "text/html; charset=utf-8";

// The server the portal's links point at, as the client named it.
QString requestHost(const HttpRequest& request)
{
    return QString::fromLatin1(request.header("host"));
}

HttpResponse page(const QByteArray& html)
{
    return {200, kHtml, html};
}

HttpResponse notFound()
{
    return HttpResponse::plainText(404, "not found");
}

// Parses body into message; says what is wrong when it is not such a message.
QString parseProblem(google::protobuf::Message& message, const QByteArray& body)
{
    if (!message.ParsePartialFromArray(body.constData(), int(body.size())))
        return "malformed";
    if (!message.IsInitialized())
        return "missing " + QString::fromStdString(message.InitializationErrorString());
    return {};
}

}  // namespace

Router::Router(const RpcDispatcher& rpc, FaultPlan& faults, const ChannelCatalog& catalog,
               const SampleLibrary& samples, const UpdateServer& update, RequestLog& log,
               const QString& portalScript)
    : m_rpc(rpc),
      m_faults(faults),
      m_catalog(catalog),
      m_samples(samples),
      m_update(update),
      m_log(log),
      m_portalPages(m_portal, portalScript),
      m_films(m_portal, samples.directory())
{
    m_fixedPaths = {
        {"/", [this](const HttpRequest& request) { return portalHome(request); }},
        {"/series",
         [this](const HttpRequest& request) {
             return page(m_portalPages.series(requestHost(request)));
         }},
        {"/series/big",
         [this](const HttpRequest& request) {
             return page(m_portalPages.bigSeries(requestHost(request)));
         }},
        {"/broken", [this](const HttpRequest&) { return page(m_portalPages.broken()); }},
        {"/about", [](const HttpRequest&) { return page(PortalPages::about()); }},
        {"/images/channel-deny.png",
         [png = Images::channelDenyPng()](const HttpRequest&) {
             return HttpResponse{200, kPng, png};
         }},
    };
}

void Router::handle(const HttpRequest& request, HttpConnection* connection)
{
    QJsonObject entry = RequestLog::describe(request, connection->id());
    if (request.method == "POST" && m_rpc.findByPath(request.path())) {
        answerRpc(request, connection, entry);
        return;
    }
    m_log.write(entry);
    if (request.method != "GET" || !answerGet(request, connection))
        connection->send(notFound());
}

void Router::answerRpc(const HttpRequest& request, HttpConnection* connection, QJsonObject entry)
{
    const RpcMethod* method = m_rpc.findByPath(request.path());
    entry["rpc"] = method->name;
    std::unique_ptr<google::protobuf::Message> call(method->requestPrototype->New());
    if (const QString problem = parseProblem(*call, request.body); !problem.isEmpty()) {
        entry["error"] = QString::fromStdString(call->GetTypeName()) + ": " + problem;
        m_log.write(entry);
        connection->send(HttpResponse::plainText(400, "body is not the method's request"));
        return;
    }
    entry["message"] = Rpc::toText(*call);
    m_log.write(entry);

    const std::unique_ptr<google::protobuf::Message> answer = method->answer(*call);
    const Fault fault = m_faults.take(method->name);
    if (!fault.result.isEmpty())
        Rpc::setResult(*answer, fault.result);
    // Partial: a result code outside the enum leaves the required field unset.
    const QByteArray body = QByteArray::fromStdString(answer->SerializePartialAsString());
    sendWithFault(connection, {200, "application/x-protobuf", body}, fault);
}

bool Router::answerGet(const HttpRequest& request, HttpConnection* connection)
{
    if (m_update.answer(request, connection))
        return true;
    const QString path = request.path();
    if (const auto fixed = m_fixedPaths.constFind(path); fixed != m_fixedPaths.constEnd()) {
        connection->send((*fixed)(request));
        return true;
    }
    if (const QRegularExpressionMatch film = kFilmPath.match(path); film.hasMatch()) {
        connection->send(m_films.answer(film.captured(1), request.header("range")));
        return true;
    }
    if (const QRegularExpressionMatch icon = kIconPath.match(path); icon.hasMatch()) {
        const QByteArray png = m_catalog.iconPng(icon.captured(1).toInt());
        if (png.isEmpty())
            return false;
        connection->send({200, kPng, png});
        return true;
    }
    const QRegularExpressionMatch stream = kStreamPath.match(path);
    return stream.hasMatch() && startStream(stream.captured(1), connection);
}

// The start page, or with "genre=n" that genre's page.
HttpResponse Router::portalHome(const HttpRequest& request) const
{
    const QString host = requestHost(request);
    const QString genre = request.query().queryItemValue("genre");
    const QByteArray html =
        genre.isEmpty() ? m_portalPages.start(host) : m_portalPages.genre(genre.toInt(), host);
    return html.isEmpty() ? notFound() : page(html);
}

bool Router::startStream(const QString& channelId, HttpConnection* connection)
{
    const ChannelEntry* channel = m_catalog.find(channelId.toInt());
    if (!channel)
        return false;
    const TsSample* sample =
        m_samples.find(channel->sample.isEmpty() ? Scenario::kDefaultSample : channel->sample);
    new StreamSession(*sample, connection->beginUnboundedBody("video/mp2t"), connection);
    return true;
}
