#include "httpserver.h"

#include <QTcpSocket>

#include "httpconnection.h"

HttpServer::HttpServer(QObject* parent) : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &HttpServer::acceptPending);
}

bool HttpServer::listen(const QHostAddress& address, quint16 port)
{
    return m_server.listen(address, port);
}

void HttpServer::acceptPending()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection())
        new HttpConnection(socket, m_handler, ++m_lastConnectionId, this);
}
