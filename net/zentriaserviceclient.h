#pragma once

#include <QAbstractSocket>
#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

// The operator's service on the subscriber's computer: one text request per
// TCP connection, one text reply. At start it is asked for its version, which
// tells whether it is there at all.
class ZentriaServiceClient : public QObject
{
    Q_OBJECT
public:
    // A service that neither answers nor refuses is given up after this.
    static constexpr int replyTimeoutMs = 3000;

    explicit ZentriaServiceClient(QObject* parent = nullptr);

    // -1 when initialised already; else asks for the version and returns 1.
    int init(const QString& host, int port);
    // -1 before init; else sends the text on a connection of its own
    // (dropping any request still running) and returns 1.
    int send(const QString& text);
    bool isActive() const;
    QString serviceVersion() const { return m_serviceVersion; }

signals:
    void zentriaServiceActiv(bool aActivity);
    void getZentriaServiceReply(QString aError, QString aServiceReply);

public slots:
    void socketConnected();
    void processSocketError(QAbstractSocket::SocketError code);
    void readServiceReply();

private:
    void reset();
    // Ends the running exchange with its error text (empty on success).
    void finish(const QString& error);

    bool m_initialised = false;
    QString m_serviceVersion;
    QTcpSocket m_socket;
    bool m_connected = false;
    QString m_request;
    QString m_reply;
    QString m_host;
    int m_port = 0;
    QTimer m_timeout;
};
