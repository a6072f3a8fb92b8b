#include "httpmessage.h"

#include <QHash>

QString HttpRequest::path() const
{
    const int queryStart = target.indexOf('?');
    return QUrl::fromPercentEncoding(queryStart < 0 ? target : target.left(queryStart));
}

QUrlQuery HttpRequest::query() const
{
    const int queryStart = target.indexOf('?');
    return QUrlQuery(queryStart < 0 ? QString() : QString::fromLatin1(target.mid(queryStart + 1)));
}

QByteArray HttpRequest::header(const QByteArray& lowerCaseName) const
{
    for (const auto& [name, value] : headers) {
        if (name == lowerCaseName)
            return value;
    }
    return {};
}

bool HttpRequest::keepsAlive() const
{
    const QByteArray connection = header("connection").toLower();
    if (version == "HTTP/1.0")
        return connection == "keep-alive";
    return connection != "close";
}

HttpResponse HttpResponse::plainText(int status, const QByteArray& text)
{
    return {status, "text/plain; charset=utf-8", text + '\n'};
}

QByteArray HttpResponse::head(qint64 contentLength, bool keepAlive) const
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(status) + ' ' + httpReasonPhrase(status) +
                      "\r\nServer: zentria-operator-emulator\r\n";
    if (!contentType.isEmpty())
        head += "Content-Type: " + contentType + "\r\n";
    if (contentLength >= 0)
        head += "Content-Length: " + QByteArray::number(contentLength) + "\r\n";
    for (const auto& [name, value] : headers)
        head += name + ": " + value + "\r\n";
    head += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    return head + "\r\n";
}

QByteArray httpReasonPhrase(int status)
{
    static const QHash<int, QByteArray> phrases = {
        {200, "OK"},
        {204, "No Content"},
        {206, "Partial Content"},
        {301, "Moved Permanently"},
        {302, "Found"},
        {400, "Bad Request"},
        {401, "Unauthorized"},
        {403, "Forbidden"},
        {404, "Not Found"},
        {408, "Request Timeout"},
        {413, "Payload Too Large"},
        {416, "Range Not Satisfiable"},
        {431, "Request Header Fields Too Large"},
        {500, "Internal Server Error"},
        {501, "Not Implemented"},
        {502, "Bad Gateway"},
        {503, "Service Unavailable"},
        {504, "Gateway Timeout"},
    };
    return phrases.value(status, "Status");
}
