#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrlQuery>

// One request as it came off the wire.
struct HttpRequest
{
    QByteArray method;
    QByteArray target;                             // path and query, as sent
    QByteArray version;                            // "HTTP/1.1"
    QList<QPair<QByteArray, QByteArray>> headers;  // names lower-cased, in arrival order
    QByteArray body;

    QString path() const;  // the target without its query, percent-decoded
    QUrlQuery query() const;
    QByteArray header(const QByteArray& lowerCaseName) const;
    bool keepsAlive() const;
};

struct HttpResponse
{
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<QPair<QByteArray, QByteArray>> headers = {};  // besides type, length and connection

    static HttpResponse plainText(int status, const QByteArray& text);

    // Status line and headers up to the blank line. A negative content length
    // leaves the length out: the body then ends where the connection closes.
    QByteArray head(qint64 contentLength, bool keepAlive) const;
};

QByteArray httpReasonPhrase(int status);
