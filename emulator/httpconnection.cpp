#include "httpconnection.h"

#include <QTcpSocket>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#endif

namespace {

// Lets the client read what was sent before the reset arrives.
constexpr int kResetGraceMs = 50;

// A zero linger time makes close() send RST instead of FIN. Elsewhere the
// connection just closes.
void resetOnClose(qintptr descriptor)
{
#ifdef Q_OS_UNIX
    const linger option{1, 0};
    setsockopt(int(descriptor), SOL_SOCKET, SO_LINGER, &option, sizeof option);
#else
    Q_UNUSED(descriptor);
#endif
}

}  // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, HttpHandler* handler, int id, QObject* parent)
    : QObject(parent), m_socket(socket), m_handler(handler), m_id(id)
{
    m_socket->setParent(this);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readIncoming);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
}

void HttpConnection::send(const HttpResponse& response)
{
    m_socket->write(response.head(response.body.size(), m_keepAlive) + response.body);
    finishAnswer();
}

void HttpConnection::sendPart(const HttpResponse& response, qint64 bodyBytes, AfterPart after)
{
    m_state = State::Closing;
    m_socket->write(response.head(response.body.size(), m_keepAlive) +
                    response.body.left(bodyBytes));
    if (after == AfterPart::Reset)
        resetOnceSent();
    else if (after == AfterPart::Close)
        m_socket->disconnectFromHost();
}

void HttpConnection::drop()
{
    m_state = State::Closing;
    m_socket->abort();
    deleteLater();
}

QTcpSocket* HttpConnection::beginUnboundedBody(const QByteArray& contentType)
{
    m_state = State::Streaming;
    m_socket->write(HttpResponse{200, contentType, {}}.head(-1, false));
    return m_socket;
}

void HttpConnection::readIncoming()
{
    m_input += m_socket->readAll();
    handleNext();
}

void HttpConnection::handleNext()
{
    if (m_state != State::Reading)
        return;
    HttpRequest request;
    switch (m_parser.take(m_input, &request)) {
        case HttpRequestParser::Result::Incomplete:
            return;
        case HttpRequestParser::Result::Malformed:
            m_keepAlive = false;
            send(HttpResponse::plainText(m_parser.errorStatus(), m_parser.errorText()));
            return;
        case HttpRequestParser::Result::Complete:
            m_state = State::Answering;
            m_keepAlive = request.keepsAlive();
            m_handler->handle(request, this);
            return;
    }
}

void HttpConnection::finishAnswer()
{
    if (!m_keepAlive) {
        m_state = State::Closing;
        m_socket->disconnectFromHost();
        return;
    }
    m_state = State::Reading;
    // Queued, so that a handler answering from inside handle() does not recurse.
    QMetaObject::invokeMethod(this, &HttpConnection::handleNext, Qt::QueuedConnection);
}

void HttpConnection::resetOnceSent()
{
    if (m_socket->bytesToWrite() > 0) {
        connect(m_socket, &QTcpSocket::bytesWritten, this, &HttpConnection::resetOnceSent,
                Qt::UniqueConnection);
        return;
    }
    QTimer::singleShot(kResetGraceMs, this, &HttpConnection::reset);
}

void HttpConnection::reset()
{
    resetOnClose(m_socket->socketDescriptor());
    m_socket->abort();
    deleteLater();
}
