#pragma once

#include <QString>
#include <QStringList>

// Film links of the operator's portal: its film servers are named
// "ftp://…/pub/films/…" or "httpx://…" and are really served over plain HTTP.
namespace MovieLinks {

// The HTTP URL a film link plays from; empty for any other link.
// ftp://host/pub/films/a/b.avi becomes http://host/a/b.avi.
QString toPlayableUrl(const QString& link);

// Every film link of the page, in page order, as written in its href="…".
QStringList filmLinks(const QString& html);

}  // namespace MovieLinks
