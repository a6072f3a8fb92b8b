#pragma once

#include <QByteArray>
#include <QObject>

#include "httpmessage.h"
#include "httprequestparser.h"

class QTcpSocket;
class HttpConnection;

class HttpHandler
{
public:
    virtual ~HttpHandler() = default;
    // Every request ends in exactly one of the connection's answers, now or later.
    virtual void handle(const HttpRequest& request, HttpConnection* connection) = 0;
};

// One client connection. Requests are handled one at a time in arrival order:
// the next one is read only after the previous one was answered, so that
// delayed answers keep their order on a keep-alive connection.
class HttpConnection : public QObject
{
    Q_OBJECT

public:
    HttpConnection(QTcpSocket* socket, HttpHandler* handler, int id, QObject* parent);

    int id() const { return m_id; }

    // How an answer whose body is cut short ends once its part has left.
    enum class AfterPart {
        Reset,  // a TCP reset
        Close,  // an ordinary close
        Stall,  // nothing more: the connection stays open until the client leaves
    };

    void send(const HttpResponse& response);
    // The head with the full Content-Length and the first bodyBytes of the body;
    // nothing more is read from the client.
    void sendPart(const HttpResponse& response, qint64 bodyBytes, AfterPart after);
    // Closes without answering.
    void drop();
    // Answers 200 with a body that ends when the connection closes; the caller
    // writes it to the returned socket. Nothing more is read from the client.
    QTcpSocket* beginUnboundedBody(const QByteArray& contentType);

private slots:
    void readIncoming();
    void handleNext();

private:
    enum class State { Reading, Answering, Streaming, Closing };

    void finishAnswer();
    void resetOnceSent();
    void reset();

    QTcpSocket* m_socket;
    HttpHandler* m_handler;
    int m_id;
    HttpRequestParser m_parser;
    QByteArray m_input;
    State m_state = State::Reading;
    bool m_keepAlive = true;
};
