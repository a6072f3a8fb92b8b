#include "logging.h"

#include "appinfo.h"
#include "messageboxes.h"
#include "platform.h"
#include "settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QQueue>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace Logging {

namespace {

// Holds back repeats as messages come. A message equal to the one before it
// is counted; so is a message that repeats the one two to four lines before
// it, the way libVLC alternates two errors while it retries, as long as the
// messages go on repeating that cycle of lines.
class RepeatFolder
{
public:
    // The lines to write for the next message: none while it goes on with a
    // repeat, else what stood for the repeat before it and the message.
    QStringList take(const QString& message)
    {
        if (m_cycle > 0 && message == expected()) {
            ++m_held;
            return {};
        }
        QStringList lines = release();
        const int longest = std::min(maxCycle, int(m_recent.size()));
        for (int cycle = 1; cycle <= longest; ++cycle) {
            if (message == m_recent.at(m_recent.size() - cycle)) {
                m_cycle = cycle;
                m_held = 1;
                return lines;
            }
        }
        remember(message);
        return lines << message;
    }

    // The lines that stand for what is held back: a count of the whole
    // cycles, then the messages of an unfinished one.
    QStringList release()
    {
        QStringList lines;
        if (m_cycle == 0)
            return lines;
        const QStringList cycleLines = m_recent.mid(m_recent.size() - m_cycle);
        if (m_held >= m_cycle)
            lines << countLine(m_cycle, m_held / m_cycle);
        for (int i = 0; i < m_held % m_cycle; ++i) {
            lines << cycleLines.at(i);
            remember(cycleLines.at(i));
        }
        m_cycle = m_held = 0;
        return lines;
    }

    void clear()
    {
        m_recent.clear();
        m_cycle = m_held = 0;
    }

private:
    static constexpr int maxCycle = 4;

    static QString countLine(int cycle, int times)
    {
        if (cycle == 1)
            return QStringLiteral("... (repeated %1 times)").arg(times);
        return QStringLiteral("... (last %1 lines repeated %2 times)").arg(cycle).arg(times);
    }

    QString expected() const { return m_recent.at(m_recent.size() - m_cycle + m_held % m_cycle); }

    void remember(const QString& message)
    {
        m_recent << message;
        if (m_recent.size() > maxCycle)
            m_recent.removeFirst();
    }

    QStringList m_recent;  // the last lines written, oldest first
    int m_cycle = 0;       // length of the repeating cycle, 0 when none
    int m_held = 0;        // messages held back since it began
};

// debug.log, open for the whole run. Lines come from every thread (libVLC's
// among them) and reach the system as they are written, so a crash loses
// nothing logged before it but a count of repeats.
class LogFile
{
public:
    void setPath(const QString& path)
    {
        QMutexLocker lock(&m_mutex);
        writeLines(m_folder.release());
        m_folder.clear();
        m_file.close();
        m_file.setFileName(path);
    }

    void write(const QString& message)
    {
        QMutexLocker lock(&m_mutex);
        writeLines(m_folder.take(message));
    }

    void flush()
    {
        QMutexLocker lock(&m_mutex);
        writeLines(m_folder.release());
    }

private:
    // A file that cannot be opened loses the lines; the next ones try again.
    void writeLines(const QStringList& messages)
    {
        if (messages.isEmpty() ||
            (!m_file.isOpen() && !m_file.open(QIODevice::Append | QIODevice::Unbuffered)))
            return;
        const QTime now = QTime::currentTime();
        QByteArray lines;
        for (const QString& message : messages)
            lines += messageLine(now, message);
        m_file.write(lines);
    }

    QMutex m_mutex;
    QFile m_file;
    RepeatFolder m_folder;
};

// Neither object is ever destroyed: Qt may still log while the process's
// static objects go away.
LogFile& logFile()
{
    static auto* file = new LogFile;
    return *file;
}

// Boxes are shown one after the other by the GUI thread's event loop, never
// inside the message handler: there a box's own event loop would run while
// Qt sends every further message past the handler. The box of a critical
// message is the last one; the event loop then ends with exit code 1.
class BoxQueue
{
public:
    void reset()
    {
        QMutexLocker lock(&m_mutex);
        m_boxes.clear();
        m_scheduled = m_ending = false;
    }

    void push(MessageBoxes::Kind kind, const QString& text)
    {
        QMutexLocker lock(&m_mutex);
        if (m_ending || !qApp)
            return;
        m_ending = kind == MessageBoxes::Kind::Critical;
        m_boxes.enqueue({kind, text});
        if (m_scheduled)
            return;
        m_scheduled = true;
        QMetaObject::invokeMethod(
            qApp, [this] { showPending(); }, Qt::QueuedConnection);
    }

private:
    struct Box
    {
        MessageBoxes::Kind kind;
        QString text;
    };

    std::optional<Box> next()
    {
        QMutexLocker lock(&m_mutex);
        if (m_boxes.isEmpty()) {
            m_scheduled = false;
            return std::nullopt;
        }
        return m_boxes.dequeue();
    }

    void showPending()
    {
        while (const std::optional<Box> box = next()) {
            const bool critical = box->kind == MessageBoxes::Kind::Critical;
            const QString title = critical
                                      ? QCoreApplication::translate("Logging", "Critical Error")
                                      : QCoreApplication::translate("Logging", "Warning");
            MessageBoxes::show(box->kind, QApplication::activeWindow(), title, box->text);
            if (critical) {
                QCoreApplication::exit(1);
                return;
            }
        }
    }

    QMutex m_mutex;
    QQueue<Box> m_boxes;
    bool m_scheduled = false;
    bool m_ending = false;
};

BoxQueue& boxQueue()
{
    static auto* queue = new BoxQueue;
    return *queue;
}

// The player is built with QT_MESSAGELOGCONTEXT, so its own messages name
// their source file; Qt's libraries leave it out. Web pages' console messages
// name the page but come in the category "js", and any category other than
// the default one is a diagnostic channel rather than something to tell the
// user.
bool isOwnMessage(const QMessageLogContext& context)
{
    return context.file && context.category && qstrcmp(context.category, "default") == 0;
}

// The player's own warning is said to the user in its box and is not
// written; everything else is, a critical message before its box.
void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool own = isOwnMessage(context);
    if (type == QtWarningMsg && own) {
        boxQueue().push(MessageBoxes::Kind::Warning, message);
        return;
    }
    logFile().write(message);
    switch (type) {
        case QtCriticalMsg:
            if (own)
                boxQueue().push(MessageBoxes::Kind::Critical, message);
            break;
        case QtFatalMsg:
            // Qt aborts as soon as the handler returns: there is no event loop
            // left to show a box in.
            logFile().flush();
            std::fflush(stderr);
            std::_Exit(1);
        default:
            break;
    }
}

}  // namespace

QString logFilePath()
{
    return Settings::dataDirectory() + QStringLiteral("/debug.log");
}

void installMessageHandler()
{
    logFile().setPath(logFilePath());
    boxQueue().reset();
    qInstallMessageHandler(messageHandler);
    qAddPostRoutine([] { logFile().flush(); });
}

bool startSession()
{
    QFile log(logFilePath());
    const bool tooLarge = log.exists() && log.size() > maxLogSize;
    const QIODevice::OpenMode mode = tooLarge ? QIODevice::WriteOnly : QIODevice::Append;
    if (!log.open(mode))
        return false;
    log.write(sessionHeader(QDateTime::currentDateTime()));
    return true;
}

QByteArray messageLine(const QTime& time, const QString& message)
{
    QString text = message;
    text.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return (time.toString(QStringLiteral("hh:mm:ss.zzz: ")) + text + QLatin1String("\r\n"))
        .toUtf8();
}

QByteArray sessionHeader(const QDateTime& startedAt)
{
    return "\r\n" + QByteArray(78, '=') + "\r\n" + "Session started at " +
           startedAt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz.")).toUtf8() + "\r\n";
}

void showLog(QWidget* parent)
{
    const QString path = QDir::toNativeSeparators(logFilePath());
    if (Platform::openInTextEditor(path))
        return;
    MessageBoxes::show(
        MessageBoxes::Kind::Warning, parent,
        QCoreApplication::translate("Logging", "Warning") + QLatin1String(" - ") + AppInfo::name,
        QCoreApplication::translate("Logging",
                                    "Could not start notepad! Try to open file manually: %1")
            .arg(path));
}

}  // namespace Logging
