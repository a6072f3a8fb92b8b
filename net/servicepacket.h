#pragma once

#include <QByteArray>
#include <QString>

// The local service's packets: a little-endian header of the text's length in
// bytes and a status (0 in requests, an error code in replies), then the text
// in UTF-16 little-endian. A packet is at most 1024 bytes.
namespace ServicePacket {

inline constexpr int bufferSize = 1024;
inline constexpr int headerSize = 8;

QByteArray request(const QString& text);

struct Reply
{
    QString error;  // empty when the reply holds its text
    QString text;
};

// The reply read in one piece of at most bufferSize bytes. Untrusted: every
// way it can be wrong ends in an error text, never in a read past its end.
Reply parseReply(const QByteArray& bytes);

// "everything is OK", "unknown function", ...
QString statusText(qint32 status);

}  // namespace ServicePacket
