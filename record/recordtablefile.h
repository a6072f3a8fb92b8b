#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The lines of record-table.txt: "channel<TAB>title<TAB>start", the start
// written "dd.MM.yyyy hh:mm" from server-local seconds.
namespace RecordTableFile {

struct Line
{
    QString channel;
    QString title;
    QString start;
};

// The start of a telecast as the table, the questions and the scheduled list
// show it: the seconds broken down as they are, without a time zone.
QString formatStart(qint64 serverLocalSeconds);

// The seconds of the minute a start text names, when the text is exactly as
// formatStart writes it: every start within that minute is written so.
std::optional<qint64> parseStart(const QString& text);

QString format(const Line& line);

// A line split at every TAB; anything but three fields is no entry.
std::optional<Line> parse(const QString& text);

// Every line of the file, without its line end; none when it cannot be read.
QStringList read(const QString& path);

// Replaces the file by one holding the lines, each ending in a line feed. The
// old file stays whole until the new one is complete; on failure `error`
// holds the reason.
enum class WriteResult { Written, NotOpened, NotWritten };
WriteResult write(const QString& path, const QList<Line>& lines, QString* error);

}  // namespace RecordTableFile
