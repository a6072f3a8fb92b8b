#include "movielinks.h"

namespace {

const QString ftpScheme = QStringLiteral("ftp://");
const QString httpxScheme = QStringLiteral("httpx://");
const QString filmsFolder = QStringLiteral("pub/films/");

bool isFilmLink(const QString& link)
{
    return link.startsWith(ftpScheme) || link.startsWith(httpxScheme);
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
