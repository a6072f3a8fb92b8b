#pragma once

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QString>

#include <google/protobuf/message.h>

// What came back for one HTTP request, whole.
struct HttpAnswer
{
    QNetworkReply::NetworkError error = QNetworkReply::NoError;
    int status = 0;
    QByteArray body;
    QByteArray contentType;
    qint64 elapsedMs = 0;

    // Strict parse: fails on malformed bytes and on missing required fields.
    bool parse(google::protobuf::Message* message) const
    {
        return message->ParseFromArray(body.constData(), int(body.size()));
    }
};

// Talks to the emulator as the player does: protobuf bodies POSTed to
// /server/<Service>/<Method>.pb with QNetworkAccessManager.
class RpcClient
{
public:
    explicit RpcClient(const QString& host) : m_host(host) {}

    // The service is looked up in the schema by the method's name.
    HttpAnswer call(const QString& method, const google::protobuf::Message& request);
    HttpAnswer post(const QString& path, const QByteArray& body);
    HttpAnswer get(const QString& path);

    // Auth with the MAC; returns the token, empty when refused.
    QString authorize(const QString& mac = "001122334455");

private:
    HttpAnswer await(QNetworkReply* reply);

    QString m_host;
    QNetworkAccessManager m_network;
};
