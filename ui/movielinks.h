#pragma once

#include <QString>
#include <QStringList>

class QUrl;

// Film links of the operator's portal: its film servers are named
// "ftp://…/pub/films/…" or "httpx://…" and are really served over plain HTTP.
namespace MovieLinks {

// The HTTP URL a film link plays from; empty for any other link.
// ftp://host/pub/films/a/b.avi becomes http://host/a/b.avi.
QString toPlayableUrl(const QString& link);

// Every film link of the page, in page order, as written in its href="…".
QStringList filmLinks(const QString& html);

// What a click on a link of the portal does.
enum class LinkKind {
    Film,          // played in the window
    FilmDatabase,  // opened in the system's browser
    Other,         // not followed
};
LinkKind kindOf(const QUrl& link);

// The film a page names as its own in its title, "<link> | <title>"; both
// empty when the title is anything else.
struct Movie
{
    QString url;
    QString title;
};
Movie defaultMovie(const QString& pageTitle);

}  // namespace MovieLinks
