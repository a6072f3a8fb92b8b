#include "rpcclient.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include "auth.pb.h"
#include "stb_server.pb.h"
#include "tv_server.pb.h"

namespace {

constexpr int kAnswerTimeoutMs = 20000;

QString servicePath(const QString& method)
{
    const std::string name = method.toStdString();
    for (const auto* service :
         {proto::TvServerService::descriptor(), proto::StbServerService::descriptor()}) {
        if (service->FindMethodByName(name))
            return QString("/server/%1/%2.pb").arg(QString::fromStdString(service->name()), method);
    }
    return "/server/unknown/" + method + ".pb";
}

}  // namespace

HttpAnswer RpcClient::call(const QString& method, const google::protobuf::Message& request)
{
    return post(servicePath(method), QByteArray::fromStdString(request.SerializePartialAsString()));
}

HttpAnswer RpcClient::post(const QString& path, const QByteArray& body)
{
    QNetworkRequest request(QUrl("http://" + m_host + path));
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-protobuf");
    return await(m_network.post(request, body));
}

HttpAnswer RpcClient::get(const QString& path)
{
    return await(m_network.get(QNetworkRequest(QUrl("http://" + m_host + path))));
}

QString RpcClient::authorize(const QString& mac)
{
    proto::AuthRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.mutable_device()->set_mac(mac.toStdString());
    proto::AuthResponse response;
    if (!call("Auth", request).parse(&response) || response.status() != proto::AuthResponse::OK)
        return {};
    return QString::fromStdString(response.auth_token());
}

HttpAnswer RpcClient::await(QNetworkReply* reply)
{
    QElapsedTimer clock;
    clock.start();
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(kAnswerTimeoutMs))
        reply->abort();
    HttpAnswer answer;
    answer.elapsedMs = clock.elapsed();
    answer.error = reply->error();
    answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    answer.body = reply->readAll();
    answer.contentType = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
    reply->deleteLater();
    return answer;
}
