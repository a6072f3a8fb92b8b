#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "scenario.h"

class HttpConnection;
struct HttpRequest;
struct HttpResponse;

// The operator's update server: below /iptv/zmplayer/ it offers version.txt
// ("VERSION CHANGE-LOG-URL SHA-256-OF-THE-ARCHIVE") and product.zip, spoiled
// as the offer's fault says. Without an offer both are 404.
class UpdateServer
{
public:
    // Reads the offer's archive; false, with the reason, when it cannot.
    bool load(const std::optional<UpdateOffer>& offer, QString* error);

    // Answers a GET of one of its files; false for any other path.
    bool answer(const HttpRequest& request, HttpConnection* connection) const;

private:
    HttpResponse versionFile(const QString& host) const;
    void sendArchive(HttpConnection* connection) const;

    std::optional<UpdateOffer> m_offer;
    QByteArray m_archive;  // what product.zip serves
};
