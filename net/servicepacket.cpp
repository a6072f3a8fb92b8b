#include "servicepacket.h"

#include <QtEndian>

namespace ServicePacket {

namespace {

Reply failure(const QString& error)
{
    return {error, {}};
}

}  // namespace

QByteArray request(const QString& text)
{
    const qsizetype textBytes = text.size() * qsizetype(sizeof(char16_t));
    QByteArray packet(headerSize + textBytes, Qt::Uninitialized);
    qToLittleEndian<quint32>(quint32(textBytes), packet.data());
    qToLittleEndian<qint32>(0, packet.data() + 4);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), packet.data() + headerSize);
    return packet;
}

Reply parseReply(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return failure(QStringLiteral("[Socket I/O error] error read packet"));
    if (bytes.size() < headerSize)
        return failure(QStringLiteral("[Socket I/O error] error read data"));
    const quint32 length = qFromLittleEndian<quint32>(bytes.constData());
    const qint32 status = qFromLittleEndian<qint32>(bytes.constData() + 4);
    if (status != 0)
        return failure(QStringLiteral("[ZentriaService error] ") + statusText(status));
    // 64-bit, so that no length wraps around to a size that seems to match.
    if (bytes.size() > bufferSize || qint64(headerSize) + length != qint64(bytes.size()))
        return failure(QStringLiteral("[Socket I/O error] read not full packet"));
    if (length % sizeof(char16_t) != 0)
        return failure(QStringLiteral("[Socket I/O error] error read data"));
    QString text(qsizetype(length / sizeof(char16_t)), Qt::Uninitialized);
    qFromLittleEndian<char16_t>(bytes.constData() + headerSize, text.size(), text.data());
    return {{}, text};
}

QString statusText(qint32 status)
{
    switch (status) {
        case 0:
            return QStringLiteral("everything is OK");
        case 1:
            return QStringLiteral("unknown error");
        case -1:
            return QStringLiteral("unknown function");
        case -2:
            return QStringLiteral("wrong number of parameters");
        default:
            return QStringLiteral("unknown error code");
    }
}

}  // namespace ServicePacket
