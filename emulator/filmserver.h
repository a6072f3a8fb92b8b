#pragma once

#include <QByteArray>
#include <QString>

#include "httpmessage.h"
#include "portalcatalog.h"

// The operator's film server: hands out the portal's film files whole, or one
// byte range of a file, so that a player can seek in a film.
class FilmServer
{
public:
    FilmServer(const PortalCatalog& catalog, const QString& directory)
        : m_catalog(catalog), m_directory(directory)
    {
    }

    // The answer to GET /films/<file> with the request's Range header: 200 with
    // the whole file, 206 with the range asked for, 416 for a range beyond the
    // end, 404 for a file the catalogue does not offer.
    HttpResponse answer(const QString& file, const QByteArray& range) const;

private:
    const PortalCatalog& m_catalog;
    QString m_directory;
};
