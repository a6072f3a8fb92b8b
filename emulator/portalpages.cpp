#include "portalpages.h"

#include <QStringList>

namespace {

constexpr int kBigSeriesEpisodes = 120;

// The blocks' colours, as emulator/README.md lists them. Film and episode
// links take theirs by place on the page, genre buttons by genre.
const QStringList kFilmColours = {"rgb(200,30,30)", "rgb(30,60,200)", "rgb(130,70,20)"};
const QStringList kEpisodeColours = {"rgb(230,90,150)", "rgb(0,120,200)", "rgb(120,80,220)"};
const QStringList kGenreColours = {"rgb(0,90,90)", "rgb(90,0,40)"};
const QString kImdbColour = "rgb(200,120,0)";
const QString kKinopoiskColour = "rgb(210,40,120)";
const QString kAboutColour = "rgb(150,0,150)";
const QString kSeriesColour = "rgb(0,170,170)";
const QString kBigSeriesColour = "rgb(60,0,120)";
const QString kBrokenColour = "rgb(120,120,0)";
const QString kBigEpisodeColour = "rgb(80,40,0)";
const QString kUnknownSchemeColour = "rgb(180,0,60)";

const char kStyle[] = R"(<style>
body { margin: 8px; font: 12px sans-serif; background: white; }
h1 { font-size: 16px; margin: 0 0 4px; height: 20px; }
p { margin: 0 0 4px; height: 16px; }
form { display: inline-block; margin: 0; }
.row { margin: 0 0 4px; height: 30px; white-space: nowrap; }
.block { display: inline-block; box-sizing: border-box; width: 200px; height: 30px;
  margin: 0 4px 4px 0; padding: 0 6px; border: 0; outline: none; color: white;
  font: 12px/30px sans-serif; text-align: left; text-decoration: none;
  overflow: hidden; vertical-align: top; }
.narrow { width: 100px; }
</style>)";

const char kScript[] = R"(<script>
var genre = 0, movie = 0;
function walkGenres(step) { genre += step; show(); }
function walkMovies(step) { movie += step; show(); }
function show() {
  document.getElementById('position').textContent = 'genre ' + genre + ', movie ' + movie;
}
window.addEventListener('load', function () { console.log('portal page: %1'); });
</script>)";

// The query the player asks the start page with, kept by every form.
const QList<QPair<QString, QString>> kPlayerQuery = {{"wap", "1"}, {"lan", "1"}, {"usex", "1"}};

QString colourAt(const QStringList& colours, qsizetype index)
{
    return colours[index % colours.size()];
}

QString anchor(const QString& href, const QString& colour, const QString& text,
               const QString& classes = "block")
{
    return QStringLiteral("<a class=\"%1\" style=\"background: %2\" href=\"%3\">%4</a>")
        .arg(classes, colour, href.toHtmlEscaped(), text.toHtmlEscaped());
}

QString formButton(const QString& action, const QString& colour, const QString& label,
                   QList<QPair<QString, QString>> fields = {})
{
    QString inputs;
    for (const auto& [name, value] : fields + kPlayerQuery)
        inputs +=
            QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"%2\">").arg(name, value);
    return QStringLiteral(
               "<form action=\"%1\" method=\"get\">%2"
               "<button type=\"submit\" class=\"block\" style=\"background: "
               "%3\">%4</button></form>")
        .arg(action, inputs, colour, label.toHtmlEscaped());
}

// A film's link in one of the two forms the operator's film servers use;
// they alternate down a page.
QString filmLink(const QString& host, const QString& file, qsizetype place)
{
    return (place % 2 == 0 ? QStringLiteral("ftp://%1/pub/films/films/%2")
                           : QStringLiteral("httpx://%1/films/%2"))
        .arg(host, file);
}

// "<link> | <title>": the film the player plays by default, a film link as
// the page's own.
QString defaultFilm(const QString& host, const QString& file, const QString& title)
{
    return QStringLiteral("%1 | %2").arg(filmLink(host, file, 0), title);
}

QString databaseLinks(int databaseId)
{
    const QString imdb =
        QStringLiteral("http://www.imdb.com/title/tt%1/").arg(databaseId, 7, 10, QChar('0'));
    const QString kinopoisk = QStringLiteral("https://www.kinopoisk.ru/film/%1/").arg(databaseId);
    return anchor(imdb, kImdbColour, "IMDb", "block narrow") +
           anchor(kinopoisk, kKinopoiskColour, QStringLiteral("КиноПоиск"), "block narrow");
}

QString filmRows(const QList<PortalFilm>& films, const QString& host)
{
    QString rows;
    for (qsizetype place = 0; place < films.size(); ++place) {
        const PortalFilm& film = films[place];
        rows +=
            "<div class=\"row\">" +
            anchor(filmLink(host, film.file, place), colourAt(kFilmColours, place), film.title) +
            databaseLinks(film.databaseId) + "</div>\n";
    }
    return rows;
}

}  // namespace

struct PortalPages::Page
{
    QString name;  // as the page logs it
    QString title;
    QString heading;
    QString body;
};

PortalPages::PortalPages(const PortalCatalog& catalog, const QString& extraScript)
    : m_catalog(catalog), m_extraScript(extraScript)
{
}

QByteArray PortalPages::start(const QString& host) const
{
    return genrePage(0, "start", host);
}

QByteArray PortalPages::genre(int number, const QString& host) const
{
    if (number < 1 || number > m_catalog.genres.size())
        return {};
    return genrePage(number - 1, QStringLiteral("genre %1").arg(number), host);
}

QByteArray PortalPages::genrePage(qsizetype index, const QString& name, const QString& host) const
{
    const PortalGenre& genre = m_catalog.genres[index];
    Page page{name, "Media portal", "Media portal: " + genre.name, filmRows(genre.films, host)};
    if (!genre.films.isEmpty())
        page.title = defaultFilm(host, genre.films.first().file, genre.films.first().title);
    page.body +=
        "<div class=\"row\">" +
        anchor(QStringLiteral("http://%1/about").arg(host), kAboutColour, "About", "block narrow") +
        "</div>\n";
    return document(page);
}

QByteArray PortalPages::series(const QString& host) const
{
    const PortalSeries& series = m_catalog.series;
    Page page{"series", series.name, series.name, {}};
    if (!series.episodes.isEmpty())
        page.title = defaultFilm(host, series.episodes.first().file, series.name);
    for (qsizetype place = 0; place < series.episodes.size(); ++place) {
        const PortalFilm& episode = series.episodes[place];
        page.body += "<div class=\"row\">" +
                     anchor(filmLink(host, episode.file, place), colourAt(kEpisodeColours, place),
                            episode.title) +
                     "</div>\n";
    }
    return document(page);
}

QByteArray PortalPages::bigSeries(const QString& host) const
{
    const QList<PortalFilm>& episodes = m_catalog.series.episodes;
    const QString name = m_catalog.series.name;
    Page page{"big series", name,
              QStringLiteral("%1: %2 episodes").arg(name).arg(kBigSeriesEpisodes), "<div>\n"};
    for (int place = 0; place < kBigSeriesEpisodes && !episodes.isEmpty(); ++place) {
        const QString file =
            QStringLiteral("%1?part=%2").arg(episodes[place % episodes.size()].file).arg(place + 1);
        if (place == 0)
            page.title = defaultFilm(host, file, name);
        page.body += anchor(filmLink(host, file, place), kBigEpisodeColour,
                            QStringLiteral("Episode %1").arg(place + 1)) +
                     '\n';
    }
    page.body += "</div>\n";
    return document(page);
}

QByteArray PortalPages::broken() const
{
    // Left open on purpose: the parser, not the page, has to close them.
    const QString markup = "<div><b>unclosed <i>tags\n<ul><li>one<li>two\n" +
                           anchor("zzz://x", kUnknownSchemeColour, "zzz://x") +
                           "\n<table><tr><td>a cell<td>another\n";
    return document({"broken", {}, "Broken page", markup});
}

QByteArray PortalPages::about()
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>About</title></head>"
           "<body><p>The operator's media portal.</p></body></html>\n";
}

QString PortalPages::navigation() const
{
    QString genres;
    for (qsizetype index = 0; index < m_catalog.genres.size(); ++index) {
        genres += formButton("/", colourAt(kGenreColours, index), m_catalog.genres[index].name,
                             {{"genre", QString::number(index + 1)}});
    }
    return "<div class=\"row\">" + genres + "</div>\n<div class=\"row\">" +
           formButton("/series", kSeriesColour, "Series") +
           formButton("/series/big", kBigSeriesColour, "Big series") +
           formButton("/broken", kBrokenColour, "Broken page") + "</div>\n";
}

QByteArray PortalPages::document(const Page& page) const
{
    QString scripts = QString::fromLatin1(kScript).arg(page.name);
    if (!m_extraScript.isEmpty())
        scripts += QStringLiteral("<script>\n%1\n</script>").arg(m_extraScript);
    return QStringLiteral(
               "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%1</title>\n%2\n%3"
               "</head>\n<body><h1>%4</h1>\n%5<p id=\"position\">genre 0, movie 0</p>\n%6"
               "</body></html>\n")
        .arg(page.title.toHtmlEscaped(), QString::fromLatin1(kStyle), scripts,
             page.heading.toHtmlEscaped(), navigation(), page.body)
        .toUtf8();
}
