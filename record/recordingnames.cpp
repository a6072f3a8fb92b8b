#include "recordingnames.h"

namespace RecordingNames {

namespace {

// Characters a file name cannot carry on every system the recordings are
// copied to.
QString safe(QString text)
{
    for (const QChar c : {QChar('/'), QChar('\\'), QChar(':')})
        text.replace(c, QChar('-'));
    return text;
}

QString stamp(const QDateTime& when)
{
    return when.toString(QStringLiteral("yyyy.MM.dd hh.mm"));
}

}  // namespace

QString scheduled(const QDateTime& when, const QString& channel, const QString& title)
{
    return QStringLiteral("%1 - %2 - %3.mpg").arg(stamp(when), safe(channel), safe(title));
}

QString instant(const QDateTime& when, const QString& channel, const QString& title)
{
    QString name = QStringLiteral("%1 %2").arg(stamp(when), safe(channel));
    if (!title.isNull())
        name += QStringLiteral(" %1").arg(safe(title));
    return name + QStringLiteral(".mpg");
}

}  // namespace RecordingNames
