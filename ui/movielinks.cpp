#include "movielinks.h"

#include "operatorhosts.h"

#include <QUrl>

#include <algorithm>

namespace {

const QString ftpScheme = QStringLiteral("ftp://");
const QString httpxScheme = QStringLiteral("httpx://");
const QString filmsFolder = QStringLiteral("pub/films/");

bool isFilmLink(const QString& link)
{
    return link.startsWith(ftpScheme) || link.startsWith(httpxScheme);
}

QString withoutWww(const QString& host)
{
    return host.startsWith(QLatin1String("www.")) ? host.mid(4) : host;
}

bool isFilmDatabase(const QString& host)
{
    const QString site = withoutWww(host.toLower());
    return std::any_of(
        std::begin(OperatorHosts::filmDatabaseHosts), std::end(OperatorHosts::filmDatabaseHosts),
        [&](const char* known) { return site == withoutWww(QString::fromLatin1(known)); });
}

}  // namespace

QString MovieLinks::toPlayableUrl(const QString& link)
{
    if (link.startsWith(ftpScheme)) {
        QString url = QStringLiteral("http") + link.mid(3);
        const qsizetype folder = url.indexOf(filmsFolder);
        if (folder > 0)
            url.remove(folder, filmsFolder.size());
        return url;
    }
    if (link.startsWith(httpxScheme))
        return QStringLiteral("http") + link.mid(5);
    return {};
}

QStringList MovieLinks::filmLinks(const QString& html)
{
    static const QString anchor = QStringLiteral("href=\"");
    QStringList links;
    qsizetype from = 0;
    while (true) {
        const qsizetype start = html.indexOf(anchor, from);
        if (start < 0)
            break;
        const qsizetype begin = start + anchor.size();
        const qsizetype end = html.indexOf(u'"', begin);
        if (end < 0)
            break;
        const QString link = html.mid(begin, end - begin);
        if (isFilmLink(link))
            links.append(link);
        from = end + 1;
    }
    return links;
}

MovieLinks::LinkKind MovieLinks::kindOf(const QUrl& link)
{
    const QString scheme = link.scheme().toLower();
    if (scheme == QLatin1String("ftp") || scheme == QLatin1String("httpx"))
        return LinkKind::Film;
    if (!link.host().isEmpty() && isFilmDatabase(link.host()))
        return LinkKind::FilmDatabase;
    return LinkKind::Other;
}

MovieLinks::Movie MovieLinks::defaultMovie(const QString& pageTitle)
{
    const QStringList parts = pageTitle.split(u'|');
    if (parts.size() != 2)
        return {};
    return {parts[0].trimmed(), parts[1].trimmed()};
}
