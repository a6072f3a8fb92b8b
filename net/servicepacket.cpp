#include "servicepacket.h"

namespace ServicePacket {

QByteArray request(const QString& text)
{
    Q_UNUSED(text)
    return {};
}

Reply parseReply(const QByteArray& bytes)
{
    Q_UNUSED(bytes)
    return {};
}

QString statusText(qint32 status)
{
    Q_UNUSED(status)
    return {};
}

}  // namespace ServicePacket
