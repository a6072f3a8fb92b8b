#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// debug.log in the data directory and the process-wide message handler that
// writes debug messages into it and turns warnings and critical messages into
// boxes (a critical message ends the process with exit code 1).
namespace Logging {

// Files larger than this are emptied when a session starts.
inline constexpr qint64 maxLogSize = 999999;

QString logFilePath();

void installMessageHandler();

// Starts the session in debug.log: empties a file over the size limit, then
// writes the session header. Returns false when the file cannot be opened.
bool startSession();

// One line of the log, CR LF included: "hh:mm:ss.zzz: " and the message with
// its own line breaks removed.
QByteArray messageLine(const QTime& time, const QString& message);

// The separator and "Session started at ..." written at every start.
QByteArray sessionHeader(const QDateTime& startedAt);

// Opens debug.log in the text editor; shows a warning box when it cannot.
void showLog(QWidget* parent);

}  // namespace Logging
