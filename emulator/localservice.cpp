#include "localservice.h"

#include <QHostAddress>
#include <QJsonObject>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTcpSocket>
#include <QtEndian>

#include "requestlog.h"

namespace {

constexpr qsizetype kHeaderSize = 8;
constexpr quint32 kMaxTextSize = 1024 - kHeaderSize;
constexpr qint32 kUnknownFunction = -1;
const QString kVersion = QStringLiteral("1.0.3-emulator");

QByteArray utf16(const QString& text)
{
    return QStringEncoder(QStringConverter::Utf16LE).encode(text);
}

QByteArray header(quint32 length, qint32 status)
{
    QByteArray bytes(kHeaderSize, Qt::Uninitialized);
    qToLittleEndian<quint32>(length, bytes.data());
    qToLittleEndian<qint32>(status, bytes.data() + 4);
    return bytes;
}

QByteArray packet(qint32 status, const QString& text)
{
    const QByteArray body = utf16(text);
    return header(quint32(body.size()), status) + body;
}

QByteArray garbage()
{
    QByteArray bytes(37, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 73 + 41) & 0xff);
    return bytes;
}

}  // namespace

std::optional<LocalServiceFault> localServiceFaultNamed(const QString& name)
{
    static const QHash<QString, LocalServiceFault> faults{
        {"silent", LocalServiceFault::Silent}, {"garbage", LocalServiceFault::Garbage},
        {"short", LocalServiceFault::Short},   {"oversize", LocalServiceFault::Oversize},
        {"refuse", LocalServiceFault::Refuse},
    };
    if (const auto it = faults.find(name); it != faults.end())
        return *it;
    return std::nullopt;
}

LocalService::LocalService(LocalServiceFault fault, RequestLog& log, QObject* parent)
    : QObject(parent), m_fault(fault), m_log(log)
{
    connect(&m_server, &QTcpServer::newConnection, this, &LocalService::acceptPending);
}

bool LocalService::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void LocalService::acceptPending()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
    }
}

// The request may come in pieces; the socket holds them until the packet is whole.
void LocalService::readRequest(QTcpSocket* socket)
{
    if (socket->bytesAvailable() < kHeaderSize)
        return;
    const quint32 length = qFromLittleEndian<quint32>(socket->peek(kHeaderSize).constData());
    if (length > kMaxTextSize) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    if (socket->bytesAvailable() < kHeaderSize + qint64(length))
        return;
    const QByteArray bytes = socket->read(kHeaderSize + length).mid(kHeaderSize);
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    const QString request = QStringDecoder(QStringConverter::Utf16LE).decode(bytes);
    m_log.write({{"rpc", "LocalService:" + request}});
    if (m_fault == LocalServiceFault::Silent)
        return;
    socket->write(reply(request));
    socket->disconnectFromHost();  // after the reply is written
}

QByteArray LocalService::reply(const QString& request) const
{
    switch (m_fault) {
        case LocalServiceFault::Garbage:
            return garbage();
        case LocalServiceFault::Short:
            return header(12, 0) + utf16("1.0");
        case LocalServiceFault::Oversize:
            return header(4000, 0) + utf16(QString(50, u'9'));
        default:
            return request == "GetServiceVersion" ? packet(0, kVersion)
                                                  : packet(kUnknownFunction, QString());
    }
}
