#include "portalpage.h"

namespace {

const char kScript[] = R"(<script>
var genre = 0, movie = 0;
function walkGenres(step) { genre += step; show(); }
function walkMovies(step) { movie += step; show(); }
function show() {
  document.getElementById('position').textContent = 'genre ' + genre + ', movie ' + movie;
}
</script>)";

QString filmLinks(const QString& host, const QList<PortalPage::Film>& films)
{
    QString items;
    for (qsizetype i = 0; i < films.size(); ++i) {
        const PortalPage::Film& film = films[i];
        // Alternate the two link forms of the operator's film servers.
        const QString href =
            i % 2 == 0
                ? QStringLiteral("ftp://%1/pub/films/stream/%2").arg(host).arg(film.channelId)
                : QStringLiteral("httpx://%1/stream/%2").arg(host).arg(film.channelId);
        items += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                     .arg(href, film.title.toHtmlEscaped());
    }
    return items;
}

}  // namespace

QByteArray PortalPage::html(const QByteArray& host, const QList<Film>& films,
                            const QString& extraScript)
{
    const QString server = QString::fromLatin1(host);
    QString title = QStringLiteral("Media portal");
    if (!films.isEmpty()) {
        title = QStringLiteral("http://%1/stream/%2 | %3")
                    .arg(server)
                    .arg(films.first().channelId)
                    .arg(films.first().title);
    }
    QString scripts = QString::fromLatin1(kScript);
    if (!extraScript.isEmpty())
        scripts += QStringLiteral("<script>\n%1\n</script>").arg(extraScript);
    const QString page =
        QStringLiteral(
            "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>%2</head>\n"
            "<body><h1>Media portal</h1><p id=\"position\">genre 0, movie "
            "0</p>\n<ul>\n%3</ul></body></html>\n")
            .arg(title.toHtmlEscaped(), scripts, filmLinks(server, films));
    return page.toUtf8();
}
