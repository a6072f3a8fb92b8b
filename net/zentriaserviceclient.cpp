#include "zentriaserviceclient.h"

#include "servicepacket.h"

#include <QDebug>

namespace {

const QString kVersionRequest = QStringLiteral("GetServiceVersion");

}  // namespace

ZentriaServiceClient::ZentriaServiceClient(QObject* parent)
    : QObject(parent), m_socket(this), m_timeout(this)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(replyTimeoutMs);
    connect(&m_timeout, &QTimer::timeout, this,
            [this] { processSocketError(QAbstractSocket::SocketTimeoutError); });
}

int ZentriaServiceClient::init(const QString& host, int port)
{
    if (m_initialised)
        return -1;
    m_host = host;
    m_port = port;
    connect(&m_socket, &QTcpSocket::connected, this, &ZentriaServiceClient::socketConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &ZentriaServiceClient::processSocketError);
    connect(&m_socket, &QTcpSocket::readyRead, this, &ZentriaServiceClient::readServiceReply);
    m_initialised = true;
    send(kVersionRequest);
    return 1;
}

int ZentriaServiceClient::send(const QString& text)
{
    if (!m_initialised)
        return -1;
    reset();
    m_request = text;
    m_socket.connectToHost(m_host, quint16(m_port), QIODevice::ReadWrite);
    m_timeout.start();
    return 1;
}

bool ZentriaServiceClient::isActive() const
{
    return m_initialised && !m_serviceVersion.isEmpty();
}

void ZentriaServiceClient::socketConnected()
{
    m_connected = true;
    const QByteArray packet = ServicePacket::request(m_request);
    for (qint64 written = 0; written < packet.size();) {
        const qint64 count = m_socket.write(packet.constData() + written, packet.size() - written);
        if (count <= 0) {
            finish(QStringLiteral("[Socket I/O error] error write data"));
            return;
        }
        written += count;
    }
}

void ZentriaServiceClient::processSocketError(QAbstractSocket::SocketError code)
{
    finish(QStringLiteral("[Socket level error] error code: %1").arg(int(code)));
}

void ZentriaServiceClient::readServiceReply()
{
    if (!m_connected)
        return;
    const ServicePacket::Reply reply =
        ServicePacket::parseReply(m_socket.read(ServicePacket::bufferSize));
    m_reply = reply.text;
    finish(reply.error);
}

void ZentriaServiceClient::reset()
{
    if (m_socket.state() != QAbstractSocket::ClosingState) {
        m_socket.disconnectFromHost();
        m_socket.close();
    }
    m_connected = false;
    m_request.clear();
    m_reply.clear();
}

void ZentriaServiceClient::finish(const QString& error)
{
    // A socket's late word, with nothing asked, ends no exchange.
    if (m_request.isEmpty())
        return;
    m_timeout.stop();
    qDebug("[ZentriaServiceClient] %s: %s", qPrintable(m_request),
           qPrintable(error.isEmpty() ? QStringLiteral("ok") : error));
    const QString request = m_request;
    const QString reply = m_reply;
    reset();
    if (request == kVersionRequest) {
        if (error.isEmpty())
            m_serviceVersion = reply;
        emit zentriaServiceActiv(error.isEmpty() && !reply.isEmpty());
    } else {
        emit getZentriaServiceReply(error, reply);
    }
}
