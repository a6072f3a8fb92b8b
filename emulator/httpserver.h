#pragma once

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

class HttpHandler;

// Accepts HTTP/1.1 connections and hands their requests to one handler.
class HttpServer : public QObject
{
    Q_OBJECT

public:
    explicit HttpServer(QObject* parent = nullptr);

    void setHandler(HttpHandler* handler) { m_handler = handler; }
    bool listen(const QHostAddress& address, quint16 port);

    QHostAddress address() const { return m_server.serverAddress(); }
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

private slots:
    void acceptPending();

private:
    QTcpServer m_server;
    HttpHandler* m_handler = nullptr;
    int m_lastConnectionId = 0;
};
