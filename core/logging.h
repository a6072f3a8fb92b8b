#pragma once

#include <QDateTime>
#include <QString>

class QWidget;

// debug.log in the data directory and the process-wide message handler.
// Every message becomes a line of the file, from any thread. Repeats are
// counted instead of written: a message equal to the one before it becomes
// "... (repeated N times)", a cycle of two to four lines repeating itself
// "... (last C lines repeated N times)", written once a message breaks the
// repeat; only a flood is folded so, messages that follow each other within a
// second (see RepeatFolder). The player's own warnings and critical messages (not Qt's, not a web
// page's) also become boxes, shown by the event loop after the handler has
// returned; when the box of a critical message has been answered, the event
// loop ends with exit code 1. A fatal message ends the process with exit
// code 1 at once.
namespace Logging {

// Files larger than this are emptied when a session starts.
inline constexpr qint64 maxLogSize = 999999;

QString logFilePath();

// Writes to the file of the current data directory from now on.
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
