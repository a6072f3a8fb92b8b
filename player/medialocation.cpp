#include "medialocation.h"

#include <QDir>
#include <QUrl>

namespace MediaLocation {

QString ofUrl(const QString& url)
{
    return url.toLower();
}

QString fileUrl(const QString& path)
{
    QString absolute = QDir::fromNativeSeparators(path);
    while (absolute.startsWith(QLatin1Char('/')))
        absolute.remove(0, 1);
    return QStringLiteral("file:///") + absolute;
}

QString ofFile(const QString& path)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(fileUrl(path), ":/"));
}

}  // namespace MediaLocation
