#include "tvclient.h"

#include "resultclosure.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include <utility>

struct TvClient::PendingCall
{
    QString path;
    QByteArray body;
    google::protobuf::Message* response = nullptr;  // owned by the callback
    std::unique_ptr<google::protobuf::Closure> done;
    QByteArray answer;
    QString errorText;
};

namespace {

// A connection that breaks in the middle of a body with a length ends
// without an error of its own; only the length tells.
bool isCutShort(const QNetworkReply* reply, const QByteArray& body)
{
    bool known = false;
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
    return known && body.size() < announced;
}

template <typename Stub, typename Request, typename Response>
using StubMethod = void (Stub::*)(google::protobuf::RpcController*, const Request*, Response*,
                                  google::protobuf::Closure*);

template <typename Stub, typename Request, typename Response>
void call(QObject* client, Stub* stub, StubMethod<Stub, Request, Response> method,
          const Request& request, const char* doneSignal)
{
    auto* done = new ResultClosure<Response>(client, doneSignal);
    (stub->*method)(nullptr, &request, done->response(), done);
}

}  // namespace

TvClient::TvClient(const QString& host, int port, QObject* parent)
    : QObject(parent),
      m_host(host),
      m_port(port),
      m_http(new QNetworkAccessManager(this)),
      m_tvService(std::make_unique<proto::TvServerService_Stub>(this)),
      m_stbService(std::make_unique<proto::StbServerService_Stub>(this))
{
    // A redirect is an answer like any other status; followed without a
    // target it would end in a transport error.
    m_http->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

TvClient::~TvClient() = default;

bool TvClient::isTransportError(const QNetworkReply* reply)
{
    const QNetworkReply::NetworkError code = reply->error();
    if (code == QNetworkReply::NoError)
        return false;
    const bool answered = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    // Qt turns a status of 400 and above into one of these codes; 407 reads
    // as a proxy's demand even when the server itself sent it.
    const bool statusError =
        (code >= QNetworkReply::ContentAccessDenied &&
         code < QNetworkReply::ProtocolUnknownError) ||
        code == QNetworkReply::ProtocolInvalidOperationError ||
        code == QNetworkReply::ProxyAuthenticationRequiredError ||
        (code >= QNetworkReply::InternalServerError && code <= QNetworkReply::UnknownServerError);
    return !(answered && statusError);
}

void TvClient::cancelAll()
{
    m_waiting.clear();
    m_pending.clear();
    m_inFlight = 0;
    if (QNetworkReply* reply = std::exchange(m_reply, nullptr)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

void TvClient::CallMethod(const google::protobuf::MethodDescriptor* method,
                          google::protobuf::RpcController* /*controller*/,
                          const google::protobuf::Message* request,
                          google::protobuf::Message* response, google::protobuf::Closure* done)
{
    std::unique_ptr<google::protobuf::Closure> callback(done);
    if (!request->IsInitialized()) {
        emit error(QString::fromStdString(request->InitializationErrorString()));
        return;
    }
    auto pending = std::make_shared<PendingCall>();
    pending->path = QStringLiteral("/server/%1/%2.pb")
                        .arg(QString::fromStdString(method->service()->name()),
                             QString::fromStdString(method->name()));
    pending->body = QByteArray::fromStdString(request->SerializeAsString());
    pending->response = response;
    pending->done = std::move(callback);

    const int id = ++m_lastId;
    m_pending.insert(id, pending);
    m_waiting.enqueue(id);
    QMetaObject::invokeMethod(this, &TvClient::sendNext, Qt::QueuedConnection);
}

void TvClient::sendNext()
{
    if (m_inFlight != 0 || m_waiting.isEmpty())
        return;
    m_inFlight = m_waiting.dequeue();
    const PendingCall& call = *m_pending.value(m_inFlight);

    QUrl url;
    url.setScheme(QStringLiteral("http"));
    url.setHost(m_host);
    url.setPort(m_port);
    url.setPath(call.path);
    QNetworkRequest request(url);
    request.setRawHeader("Host", hostHeader());
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/x-protobuf"));
    request.setHeader(QNetworkRequest::ContentLengthHeader, call.body.size());
    request.setTransferTimeout(m_transferTimeoutMs);

    QNetworkReply* reply = m_http->post(request, call.body);
    m_reply = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { onReplyFinished(reply); });
}

// HTTP/1.1 wants the port beside the host unless it is the default one.
QByteArray TvClient::hostHeader() const
{
    QUrl authority;
    authority.setHost(m_host);
    if (m_port != 80)
        authority.setPort(m_port);
    return authority.authority(QUrl::FullyEncoded).toUtf8();
}

void TvClient::onReplyFinished(QNetworkReply* reply)
{
    reply->deleteLater();
    m_reply = nullptr;
    const int id = std::exchange(m_inFlight, 0);
    bool failed = isTransportError(reply);
    if (const auto call = m_pending.value(id)) {
        if (failed) {
            call->errorText = reply->errorString();
        } else {
            call->answer = reply->readAll();
            failed = isCutShort(reply, call->answer);
            if (failed)
                call->errorText =
                    QStringLiteral("Connection closed before the whole answer arrived");
        }
    }
    requestFinished(id, failed);
    QMetaObject::invokeMethod(this, &TvClient::sendNext, Qt::QueuedConnection);
}

void TvClient::requestFinished(int id, bool isError)
{
    const std::shared_ptr<PendingCall> call = m_pending.take(id);
    if (!call)
        return;
    if (isError) {
        emit error(call->errorText);
        return;
    }
    if (!call->response->ParseFromArray(call->answer.constData(), int(call->answer.size()))) {
        QString why = QString::fromStdString(call->response->InitializationErrorString());
        if (why.isEmpty())
            why = QStringLiteral("malformed answer to %1").arg(call->path);
        emit error(why);
        return;
    }
    call->done->Run();
}

void TvClient::authorize(proto::AuthRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::Auth, request,
         "authorizeDone(proto::AuthResponse&)");
}

void TvClient::getUserInfo(proto::GetUserInfoRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::GetUserInfo, request,
         "getUserInfoDone(proto::GetUserInfoResponse&)");
}

void TvClient::getCloseChannelImage(proto::GetImageUrlRequest& request)
{
    call(this, m_stbService.get(), &proto::StbServerService_Stub::GetImageUrl, request,
         "getCloseChannelImageDone(proto::GetImageUrlResponse&)");
}

void TvClient::getUserSettings(proto::GetStbSettingsRequest& request)
{
    call(this, m_stbService.get(), &proto::StbServerService_Stub::GetStbSettings, request,
         "getUserSettingsDone(proto::GetStbSettingsResponse&)");
}

void TvClient::getChannels(proto::ChannelListRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::GetChannels, request,
         "getChannelsDone(proto::ChannelListResponse&)");
}

void TvClient::getUserChannelList(proto::UserChannelRequest& request)
{
    call(this, m_stbService.get(), &proto::StbServerService_Stub::GetUserChannel, request,
         "getUserChannelListDone(proto::UserChannelResponse&)");
}

void TvClient::setUserChannelList(proto::SetUserChannelRequest& request)
{
    call(this, m_stbService.get(), &proto::StbServerService_Stub::SetUserChannel, request,
         "setUserChannelListDone(proto::SetUserChannelResponse&)");
}

void TvClient::setStbSettings(proto::SetStbSettingsRequest& request)
{
    call(this, m_stbService.get(), &proto::StbServerService_Stub::SetStbSettings, request,
         "setStbSettingsDone(proto::SetStbSettingsResponse&)");
}

void TvClient::openStream(proto::OpenStreamRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::OpenStream, request,
         "openStreamDone(proto::OpenStreamResponse&)");
}

void TvClient::updateStream(proto::UpdateStreamRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::UpdateStream, request,
         "updateStreamDone(proto::UpdateStreamResponse&)");
}

void TvClient::closeStream(proto::CloseStreamRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::CloseStream, request,
         "closeStreamDone(proto::CloseStreamResponse&)");
}

void TvClient::getServerTime(proto::TimeRequest& request)
{
    call(this, m_tvService.get(), &proto::TvServerService_Stub::GetTime, request,
         "getServerTimeDone(proto::TimeResponse&)");
}
