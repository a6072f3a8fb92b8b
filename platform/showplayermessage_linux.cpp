#include "showplayermessage.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray requestLine = "SHOWPLAYERMSG\n";
const QByteArray answerLine = "OK\n";
constexpr int timeoutMs = 2000;
}  // namespace

ShowPlayerMessage::ShowPlayerMessage(const QString& key, QObject* parent)
    : QObject(parent), m_key(key)
{
}

bool ShowPlayerMessage::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &ShowPlayerMessage::onNewConnection);
    }
    // Only the owner of the single-instance segment gets here, so a socket
    // file still lying around belongs to an instance that did not end cleanly.
    QLocalServer::removeServer(m_key);
    return m_server->listen(m_key);
}

bool ShowPlayerMessage::post(quint32 windowHandle)
{
    Q_UNUSED(windowHandle)  // the socket name already identifies the instance
    QLocalSocket socket;
    socket.connectToServer(m_key);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(requestLine);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == answerLine;
}

void ShowPlayerMessage::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() != requestLine)
                    continue;
                socket->write(answerLine);
                socket->flush();
                emit received();
            }
        });
    }
}
