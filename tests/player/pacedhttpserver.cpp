#include "pacedhttpserver.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

constexpr qint64 maxPending = 256 * 1024;

QByteArray readAll(const QString& filePath)
{
    QFile file(filePath);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

PacedHttpServer::PacedHttpServer(const QString& filePath, int playingSeconds)
    : m_data(readAll(filePath)),
      m_bytesPerSecond(qMax<qint64>(1, m_data.size() / qMax(1, playingSeconds)))
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* socket = m_server.nextPendingConnection())
            serve(socket);
    });
}

bool PacedHttpServer::listen()
{
    return !m_data.isEmpty() && m_server.listen(QHostAddress::LocalHost);
}

QString PacedHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}

void PacedHttpServer::serve(QTcpSocket* socket)
{
    struct Client
    {
        QByteArray request;
        qint64 sent = 0;
        QElapsedTimer clock;   // valid once streaming
        QElapsedTimer silent;  // valid once silent
    };
    const auto client = std::make_shared<Client>();
    auto* pump = new QTimer(socket);
    pump->setInterval(10);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QTcpSocket::readyRead, socket, [this, socket, pump, client] {
        client->request += socket->readAll();
        if (client->clock.isValid() || !client->request.contains("\r\n\r\n"))
            return;
        m_paths << QString::fromLatin1(client->request.split(' ').value(1));
        socket->write("HTTP/1.0 200 OK\r\nContent-Type: video/mp2t\r\nConnection: close\r\n\r\n");
        client->clock.start();
        pump->start();
    });
    connect(pump, &QTimer::timeout, socket, [this, socket, pump, client] {
        const auto limit = [this](qint64 bytes) {
            return bytes < 0 ? size() : qMin(bytes, size());
        };
        const qint64 due = m_bytesPerSecond / 2 + m_bytesPerSecond * client->clock.elapsed() / 1000;
        if (client->sent >= limit(m_silentAfter) && !client->silent.isValid())
            client->silent.start();
        const bool capped =
            !client->silent.isValid() || m_stall < 0 || client->silent.elapsed() < m_stall;
        const qint64 until =
            std::min({due, limit(m_closeAfter), capped ? limit(m_silentAfter) : size()});
        if (until > client->sent && socket->bytesToWrite() < maxPending) {
            socket->write(m_data.constData() + client->sent, until - client->sent);
            client->sent = until;
        }
        if (client->sent >= limit(m_closeAfter)) {
            pump->stop();
            socket->disconnectFromHost();
        }
    });
}
