#pragma once

#include <QStringList>
#include <QTcpServer>

// A live stream for tests: serves one file over HTTP/1.0 to every client at
// the pace it plays, after half a second's worth at once as from a server's
// buffer, the body delimited by the end of the connection, as an operator's
// stream server does. Any path gets the file; the paths asked for are
// remembered.
class PacedHttpServer : public QObject
{
    Q_OBJECT
public:
    PacedHttpServer(const QString& filePath, int playingSeconds);

    bool listen();  // on 127.0.0.1, a free port
    quint16 port() const { return m_server.serverPort(); }
    QString url(const QString& path = QStringLiteral("/stream.ts")) const;
    QStringList requestedPaths() const { return m_paths; }
    qint64 size() const { return m_data.size(); }

    // The connection is closed after this many bytes.
    void setCloseAfter(qint64 bytes) { m_closeAfter = bytes; }
    // Nothing more is sent after this many bytes, for ever or for a stall of
    // this many milliseconds; the connection stays open.
    void setSilentAfter(qint64 bytes, int milliseconds = -1)
    {
        m_silentAfter = bytes;
        m_stall = milliseconds;
    }

private:
    void serve(QTcpSocket* socket);

    QByteArray m_data;
    qint64 m_bytesPerSecond;
    qint64 m_closeAfter = -1;
    qint64 m_silentAfter = -1;
    int m_stall = -1;
    QStringList m_paths;
    QTcpServer m_server;  // last: its sockets go before the data they send
};
