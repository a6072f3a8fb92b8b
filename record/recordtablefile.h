#pragma once

#include <QList>
#include <QString>

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
// show it.
QString formatStart(qint64 serverLocalSeconds);

QString format(const Line& line);
}  // namespace RecordTableFile
