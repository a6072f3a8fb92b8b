#include "rawhttp.h"

#include <QDeadlineTimer>
#include <QList>
#include <QTest>

namespace {

std::optional<RawResponse> parseHead(const QByteArray& head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> statusLine = lines.first().trimmed().split(' ');
    if (statusLine.size() < 2 || !statusLine[0].startsWith("HTTP/1."))
        return std::nullopt;
    RawResponse response;
    response.status = statusLine[1].toInt();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0)
            response.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                    lines[i].mid(colon + 1).trimmed());
    }
    return response;
}

}  // namespace

bool RawHttpConnection::connectTo(quint16 port, int timeoutMs)
{
    m_socket.connectToHost("127.0.0.1", port);
    return m_socket.waitForConnected(timeoutMs);
}

void RawHttpConnection::send(const QByteArray& bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

std::optional<RawResponse> RawHttpConnection::readHead(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qsizetype headEnd;
    while ((headEnd = m_buffer.indexOf("\r\n\r\n")) < 0) {
        if (!waitForMore(int(deadline.remainingTime())))
            return std::nullopt;
    }
    std::optional<RawResponse> response = parseHead(m_buffer.left(headEnd));
    m_buffer.remove(0, headEnd + 4);
    return response;
}

std::optional<RawResponse> RawHttpConnection::readResponse(int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    std::optional<RawResponse> response = readHead(timeoutMs);
    if (!response)
        return std::nullopt;
    const qsizetype length = response->headers.value("content-length").toLongLong();
    while (m_buffer.size() < length) {
        if (!waitForMore(int(deadline.remainingTime())))
            return std::nullopt;
    }
    response->body = m_buffer.left(length);
    m_buffer.remove(0, length);
    return response;
}

bool RawHttpConnection::readUntilClosed(QByteArray* bytes, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (m_socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired())
        waitForMore(int(deadline.remainingTime()));
    m_buffer += m_socket.readAll();
    *bytes = m_buffer;
    m_buffer.clear();
    return m_socket.state() != QAbstractSocket::ConnectedState;
}

// Waits for bytes or the end of the connection; true when bytes came.
bool RawHttpConnection::waitForMore(int timeoutMs)
{
    const bool changed = QTest::qWaitFor(
        [this] {
            return m_socket.bytesAvailable() > 0 ||
                   m_socket.state() != QAbstractSocket::ConnectedState;
        },
        qMax(timeoutMs, 0));
    if (!changed)
        return false;
    const QByteArray bytes = m_socket.readAll();
    m_buffer += bytes;
    return !bytes.isEmpty();
}

QByteArray rawPost(const QByteArray& path, const QByteArray& host, const QByteArray& body)
{
    return "POST " + path + " HTTP/1.1\r\nHost: " + host +
           "\r\nContent-Type: application/x-protobuf\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

QByteArray rawGet(const QByteArray& path, const QByteArray& host)
{
    return "GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n\r\n";
}
