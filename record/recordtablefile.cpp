#include "recordtablefile.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace RecordTableFile {

namespace {
const QString startFormat = QStringLiteral("dd.MM.yyyy hh:mm");
}  // namespace

// The seconds already carry the server's zone: they are broken down as UTC.
QString formatStart(qint64 serverLocalSeconds)
{
    return QDateTime::fromSecsSinceEpoch(serverLocalSeconds, Qt::UTC).toString(startFormat);
}

std::optional<qint64> parseStart(const QString& text)
{
    const QStringList dateAndTime = text.split(QLatin1Char(' '));
    if (dateAndTime.size() != 2)
        return std::nullopt;
    const QDateTime start(QDate::fromString(dateAndTime.at(0), QStringLiteral("dd.MM.yyyy")),
                          QTime::fromString(dateAndTime.at(1), QStringLiteral("hh:mm")), Qt::UTC);
    // Other spellings of the same minute do not come back as they were.
    if (!start.isValid() || formatStart(start.toSecsSinceEpoch()) != text)
        return std::nullopt;
    return start.toSecsSinceEpoch();
}

QString format(const Line& line)
{
    return line.channel + QLatin1Char('\t') + line.title + QLatin1Char('\t') + line.start;
}

std::optional<Line> parse(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char('\t'), Qt::KeepEmptyParts);
    if (fields.size() != 3)
        return std::nullopt;
    return Line{fields.at(0), fields.at(1), fields.at(2)};
}

QStringList read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QTextStream stream(&file);
    QStringList lines;
    QString line;
    while (stream.readLineInto(&line))
        lines.append(line);
    return lines;
}

WriteResult write(const QString& path, const QList<Line>& lines, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return WriteResult::NotOpened;
    }
    QByteArray text;
    for (const Line& line : lines)
        text += format(line).toUtf8() + '\n';
    if (file.write(text) != text.size() || !file.commit()) {
        *error = file.errorString();
        return WriteResult::NotWritten;
    }
    return WriteResult::Written;
}

}  // namespace RecordTableFile
