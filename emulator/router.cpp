#include "router.h"

#include <QRegularExpression>

#include <memory>

#include "channelcatalog.h"
#include "faults.h"
#include "images.h"
#include "portalpage.h"
#include "requestlog.h"
#include "rpcdispatcher.h"
#include "streamer.h"

namespace {

const QByteArray kPng = "image/png";
constexpr qsizetype kPortalFilms = 3;
const QRegularExpression kIconPath("^/icons/(\\d+)\\.png$");
const QRegularExpression kStreamPath("^/stream/(\\d+)$");

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
               const SampleLibrary& samples, RequestLog& log, const QString& portalScript)
    : m_rpc(rpc),
      m_faults(faults),
      m_catalog(catalog),
      m_samples(samples),
      m_log(log),
      m_channelDenyPng(Images::channelDenyPng()),
      m_portalScript(portalScript)
{
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
    const QString path = request.path();
    if (path == "/") {
        sendPortal(request, connection);
        return true;
    }
    if (path == "/images/channel-deny.png") {
        connection->send({200, kPng, m_channelDenyPng});
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

void Router::sendPortal(const HttpRequest& request, HttpConnection* connection)
{
    QList<PortalPage::Film> films;
    for (const ChannelEntry* channel : m_catalog.openChannels(kPortalFilms))
        films.append({channel->id, channel->name});
    connection->send({200, "text/html; charset=utf-8",
                      PortalPage::html(request.header("host"), films, m_portalScript)});
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
