#include "zentriaserviceclient.h"

ZentriaServiceClient::ZentriaServiceClient(QObject* parent) : QObject(parent) {}

int ZentriaServiceClient::init(const QString& host, int port)
{
    Q_UNUSED(host)
    Q_UNUSED(port)
    return -1;
}

int ZentriaServiceClient::send(const QString& text)
{
    Q_UNUSED(text)
    return -1;
}

bool ZentriaServiceClient::isActive() const
{
    return m_initialised && !m_serviceVersion.isEmpty();
}

void ZentriaServiceClient::socketConnected() {}

void ZentriaServiceClient::processSocketError(QAbstractSocket::SocketError code)
{
    Q_UNUSED(code)
}

void ZentriaServiceClient::readServiceReply() {}
