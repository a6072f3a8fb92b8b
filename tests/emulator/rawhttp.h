#pragma once

#include <QByteArray>
#include <QMap>
#include <QTcpSocket>

#include <optional>

// HTTP spoken by hand over one socket, for what QNetworkAccessManager hides:
// pipelining, the exact bytes of a cut answer, the moment a server closes.
struct RawResponse
{
    int status = 0;
    QMap<QByteArray, QByteArray> headers;  // lower-case names
    QByteArray body;
};

class RawHttpConnection
{
public:
    bool connectTo(quint16 port, int timeoutMs = 5000);
    void send(const QByteArray& bytes);

    // The next complete response, its body framed by Content-Length.
    std::optional<RawResponse> readResponse(int timeoutMs = 10000);
    // Everything up to the moment the server closes; false if it stays open.
    bool readUntilClosed(QByteArray* bytes, int timeoutMs = 10000);
    // The response head, then whatever body has arrived.
    std::optional<RawResponse> readHead(int timeoutMs = 10000);

    QTcpSocket& socket() { return m_socket; }
    QByteArray& buffered() { return m_buffer; }

private:
    bool waitForMore(int timeoutMs);

    QTcpSocket m_socket;
    QByteArray m_buffer;
};

QByteArray rawPost(const QByteArray& path, const QByteArray& host, const QByteArray& body);
QByteArray rawGet(const QByteArray& path, const QByteArray& host);
