#pragma once

#include <QByteArray>
#include <QString>

#include "portalcatalog.h"

// The operator's media portal, page by page, as the player loads it.
//
// The player follows no link click: it plays film links ("ftp://…/pub/films/…"
// and "httpx://…", alternating down a page), opens film-database links in the
// browser and drops the rest. So the pages move between each other by GET
// forms, which carry the player's query in hidden inputs. A page's document
// title names its first film as "<http url> | <title>", the player's default
// film. walkGenres(step) and walkMovies(step) move the "#position" text, and
// each page logs "portal page: <name>" once it has loaded. The extra script,
// when given, runs after the page's own on every page, so a scenario can hand
// the player a portal whose script fails.
//
// Everything a test clicks is a solid block of a colour of its own near the
// top left; emulator/README.md lists the colours.
class PortalPages
{
public:
    PortalPages(const PortalCatalog& catalog, const QString& extraScript);

    // host: the request's Host header, the server the links point at.
    QByteArray start(const QString& host) const;
    // Genres count from 1; empty for a genre the catalogue lacks.
    QByteArray genre(int number, const QString& host) const;
    QByteArray series(const QString& host) const;
    // Far more episode links than the player keeps.
    QByteArray bigSeries(const QString& host) const;
    // Unclosed tags, a link of an unknown scheme and an empty title.
    QByteArray broken() const;
    // An ordinary page the film pages link to; the player never opens it.
    static QByteArray about();

private:
    struct Page;

    QByteArray genrePage(qsizetype index, const QString& name, const QString& host) const;
    QString navigation() const;
    QByteArray document(const Page& page) const;

    const PortalCatalog& m_catalog;
    QString m_extraScript;
};
