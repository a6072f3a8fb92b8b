#pragma once

#include <QObject>
#include <QString>
#include <QTcpServer>

#include <optional>

class QTcpSocket;
class RequestLog;

// How the local service spoils its answers.
enum class LocalServiceFault {
    None,
    Silent,    // reads the request, never answers, keeps the connection
    Garbage,   // 37 bytes that are no packet
    Short,     // a header whose length says 12, then 6 text bytes
    Oversize,  // a header whose length says 4000, then 100 bytes
    Refuse,    // does not listen at all
};

// "silent", "garbage", ...; nothing for an unknown name.
std::optional<LocalServiceFault> localServiceFaultNamed(const QString& name);

// The operator's service on the subscriber's computer, on 127.0.0.1: one
// request packet per connection, answered with one reply packet, then closed.
// A packet is a little-endian header (the text's length in bytes, a status),
// then the text in UTF-16LE. It answers "GetServiceVersion" with its version;
// any other text is an unknown function.
class LocalService : public QObject
{
    Q_OBJECT

public:
    LocalService(LocalServiceFault fault, RequestLog& log, QObject* parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const { return m_server.serverPort(); }
    QString errorString() const { return m_server.errorString(); }

private slots:
    void acceptPending();

private:
    void readRequest(QTcpSocket* socket);
    QByteArray reply(const QString& request) const;

    LocalServiceFault m_fault;
    RequestLog& m_log;
    QTcpServer m_server;
};
