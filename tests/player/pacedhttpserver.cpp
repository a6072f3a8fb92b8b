#include "pacedhttpserver.h"

#include <QFile>
#include <QTcpSocket>

#include <algorithm>

namespace {

constexpr qint64 maxPending = 256 * 1024;

QByteArray readAll(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

PacedHttpServer::PacedHttpServer(const QString& filePath, int playingSeconds, QObject* parent)
    : QObject(parent),
      m_server(this),
      m_pump(this),
      m_data(readAll(filePath)),
      m_bytesPerSecond(qMax<qint64>(1, m_data.size() / qMax(1, playingSeconds)))
{
    m_pump.setInterval(10);
    connect(&m_pump, &QTimer::timeout, this, [this] {
        for (Client* client : QList<Client*>(m_clients)) {
            if (client->streaming)
                send(client);
        }
    });
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            auto* client = new Client{socket};
            m_clients.append(client);
            connect(socket, &QTcpSocket::readyRead, this, [this, client] { readRequest(client); });
            connect(socket, &QTcpSocket::disconnected, this, [this, client] {
                m_clients.removeOne(client);
                client->socket->deleteLater();
                delete client;
            });
        }
    });
}

PacedHttpServer::~PacedHttpServer()
{
    // The sockets go with the server, after the client list.
    for (Client* client : m_clients)
        client->socket->disconnect(this);
    qDeleteAll(m_clients);
}

bool PacedHttpServer::listen()
{
    return !m_data.isEmpty() && m_server.listen(QHostAddress::LocalHost);
}

QString PacedHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void PacedHttpServer::readRequest(Client* client)
{
    client->request += client->socket->readAll();
    if (client->streaming || !client->request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = client->request.split('\n').first().trimmed().split(' ');
    m_paths.append(QString::fromLatin1(requestLine.value(1)));
    client->socket->write(
        "HTTP/1.0 200 OK\r\nContent-Type: video/mp2t\r\nConnection: close\r\n\r\n");
    client->streaming = true;
    client->clock.start();
    m_pump.start();
}

void PacedHttpServer::send(Client* client)
{
    const auto limit = [this](qint64 bytes) { return bytes < 0 ? size() : qMin(bytes, size()); };
    const qint64 due = m_bytesPerSecond / 2 + m_bytesPerSecond * client->clock.elapsed() / 1000;
    const qint64 end = limit(m_closeAfter);
    const qint64 until = std::min({due, end, limit(m_silentAfter)});
    if (until > client->sent && client->socket->bytesToWrite() < maxPending) {
        client->socket->write(m_data.constData() + client->sent, until - client->sent);
        client->sent = until;
    }
    if (client->sent >= end) {
        client->streaming = false;
        client->socket->disconnectFromHost();
    }
}
