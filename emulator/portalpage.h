#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The operator's media portal as the player loads it: a page of films whose
// links point at the emulator's own streams, one in each link form the player
// converts ("ftp://…/pub/films/…" and "httpx://…"). The document title names
// the default film as "<url> | <title>". walkGenres(step) and walkMovies(step)
// move a highlight so a test can see the calls arrive. extraScript, when
// given, runs after that script, so a scenario can hand the player a page
// whose script fails.
namespace PortalPage {

struct Film
{
    int channelId = 0;
    QString title;
};

QByteArray html(const QByteArray& host, const QList<Film>& films, const QString& extraScript = {});

}  // namespace PortalPage
