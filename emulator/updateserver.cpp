#include "updateserver.h"

#include <QCryptographicHash>
#include <QFile>

#include "httpconnection.h"
#include "httpmessage.h"

namespace {

const QString kVersionPath = "/iptv/zmplayer/version.txt";
const QString kArchivePath = "/iptv/zmplayer/product.zip";

// What an error page served with 200 might look like.
const QByteArray kNotZip = "<html><body>Service temporarily unavailable</body></html>\n";
const QByteArray kGarbageVersion = "<html><body>Not found</body></html>\n";

QByteArray sha256(const QByteArray& bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

}  // namespace

bool UpdateServer::load(const std::optional<UpdateOffer>& offer, QString* error)
{
    m_offer = offer;
    if (!m_offer)
        return true;
    if (m_offer->fault == UpdateOffer::Fault::NotZip) {
        m_archive = kNotZip;
        return true;
    }
    QFile archive(m_offer->archive);
    if (!archive.open(QIODevice::ReadOnly)) {
        *error = QString("cannot read the update archive %1: %2")
                     .arg(m_offer->archive, archive.errorString());
        return false;
    }
    m_archive = archive.readAll();
    return true;
}

bool UpdateServer::answer(const HttpRequest& request, HttpConnection* connection) const
{
    if (!m_offer)
        return false;
    const QString path = request.path();
    if (path == kArchivePath) {
        sendArchive(connection);
        return true;
    }
    if (path != kVersionPath || m_offer->fault == UpdateOffer::Fault::NoVersionFile)
        return false;
    connection->send(versionFile(QString::fromLatin1(request.header("host"))));
    return true;
}

HttpResponse UpdateServer::versionFile(const QString& host) const
{
    if (m_offer->fault == UpdateOffer::Fault::GarbageVersion)
        return {200, "text/plain", kGarbageVersion};
    QByteArray text = m_offer->version.toUtf8() + ' ' +
                      QString(m_offer->changelog).replace("{host}", host).toUtf8();
    if (m_offer->publishDigest) {
        const bool wrong = m_offer->fault == UpdateOffer::Fault::WrongDigest;
        text += ' ' + sha256(wrong ? QByteArray() : m_archive);
    }
    return {200, "text/plain", text + '\n'};
}

void UpdateServer::sendArchive(HttpConnection* connection) const
{
    const HttpResponse archive{200, "application/zip", m_archive};
    const qint64 half = m_archive.size() / 2;
    switch (m_offer->fault) {
        case UpdateOffer::Fault::Truncated:
            connection->sendPart(archive, half, HttpConnection::AfterPart::Close);
            return;
        case UpdateOffer::Fault::Stall:
            connection->sendPart(archive, half, HttpConnection::AfterPart::Stall);
            return;
        default:
            connection->send(archive);
    }
}
