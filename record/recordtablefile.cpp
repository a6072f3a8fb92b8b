#include "recordtablefile.h"

#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace RecordTableFile {

namespace {

struct CivilTime
{
    qint64 year;
    unsigned month, day, hour, minute;
};

// The proleptic Gregorian date of a day count since 1970-01-01, as gmtime
// gives it, for any count (H. Hinnant's civil_from_days).
CivilTime breakDown(qint64 seconds)
{
    qint64 days = seconds / 86400;
    qint64 rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    const qint64 z = days + 719468;
    const qint64 era = (z >= 0 ? z : z - 146096) / 146097;
    const qint64 dayOfEra = z - era * 146097;
    const qint64 yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const qint64 dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const qint64 shiftedMonth = (5 * dayOfYear + 2) / 153;
    const unsigned day = unsigned(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
    const unsigned month = unsigned(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
    const qint64 year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day, unsigned(rest / 3600), unsigned(rest % 3600 / 60)};
}

// The inverse: days since 1970-01-01 of a proleptic Gregorian date.
qint64 daysFromCivil(qint64 year, qint64 month, qint64 day)
{
    year -= month <= 2 ? 1 : 0;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const qint64 yearOfEra = year - era * 400;
    const qint64 dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const qint64 dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

}  // namespace

QString formatStart(qint64 serverLocalSeconds)
{
    const CivilTime t = breakDown(serverLocalSeconds);
    return QString::asprintf("%0*u.%0*u.%0*lld %0*u:%0*u", 2, t.day, 2, t.month, 4, t.year, 2,
                             t.hour, 2, t.minute);
}

std::optional<qint64> parseStart(const QString& text)
{
    const QStringList dateAndTime = text.split(QLatin1Char(' '));
    if (dateAndTime.size() != 2)
        return std::nullopt;
    const QStringList date = dateAndTime.at(0).split(QLatin1Char('.'));
    const QStringList time = dateAndTime.at(1).split(QLatin1Char(':'));
    if (date.size() != 3 || time.size() != 2)
        return std::nullopt;
    const qint64 days =
        daysFromCivil(date.at(2).toLongLong(), date.at(1).toLongLong(), date.at(0).toLongLong());
    const qint64 seconds =
        days * 86400 + time.at(0).toLongLong() * 3600 + time.at(1).toLongLong() * 60;
    // Out-of-range fields and other spellings of the same minute do not
    // come back as they were.
    if (formatStart(seconds) != text)
        return std::nullopt;
    return seconds;
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
