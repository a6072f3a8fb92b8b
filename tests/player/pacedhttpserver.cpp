#include "pacedhttpserver.h"

#include <QFile>
#include <QTcpSocket>

#include <algorithm>

namespace {

constexpr int pumpInterval = 10;
constexpr qint64 maxPending = 256 * 1024;

QByteArray readAll(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 limitOf(qint64 limit, qint64 size)
{
    return limit < 0 ? size : qMin(limit, size);
}

}  // namespace

PacedHttpServer::PacedHttpServer(const QString& filePath, int playingSeconds, QObject* parent)
    : QObject(parent),
      m_server(this),
      m_pump(this),
      m_data(readAll(filePath)),
      m_bytesPerSecond(qMax<qint64>(1, m_data.size() / qMax(1, playingSeconds))),
      m_burst(m_bytesPerSecond / 2)
{
    m_pump.setInterval(pumpInterval);
    connect(&m_pump, &QTimer::timeout, this, &PacedHttpServer::pump);
    connect(&m_server, &QTcpServer::newConnection, this, &PacedHttpServer::accept);
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

void PacedHttpServer::accept()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        auto* client = new Client;
        client->socket = socket;
        m_clients.append(client);
        connect(socket, &QTcpSocket::readyRead, this, [this, client] { readRequest(client); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    }
}

void PacedHttpServer::readRequest(Client* client)
{
    client->request += client->socket->readAll();
    if (client->streaming || !client->request.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = client->request.split('\n').first().trimmed().split(' ');
    const QString path = QString::fromLatin1(requestLine.value(1));
    m_paths.append(path);
    client->socket->write(
        "HTTP/1.0 200 OK\r\nContent-Type: video/mp2t\r\nConnection: close\r\n\r\n");
    client->streaming = true;
    client->clock.start();
    m_pump.start();
    emit requested(path);
}

void PacedHttpServer::pump()
{
    const QList<Client*> clients = m_clients;
    for (Client* client : clients) {
        if (client->streaming)
            send(client);
    }
}

void PacedHttpServer::send(Client* client)
{
    const qint64 due = m_burst + m_bytesPerSecond * client->clock.elapsed() / 1000;
    const qint64 end = limitOf(m_closeAfter, m_data.size());
    const qint64 until = std::min({due, end, limitOf(m_silentAfter, m_data.size())});
    if (until > client->sent && client->socket->bytesToWrite() < maxPending) {
        client->socket->write(m_data.constData() + client->sent, until - client->sent);
        client->sent = until;
    }
    if (client->sent >= end) {
        client->streaming = false;
        client->socket->disconnectFromHost();
    }
}

void PacedHttpServer::drop(QTcpSocket* socket)
{
    for (Client* client : m_clients) {
        if (client->socket != socket)
            continue;
        m_clients.removeOne(client);
        socket->deleteLater();
        delete client;
        return;
    }
}
