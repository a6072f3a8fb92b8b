#include "logging.h"

#include "messageboxes.h"
#include "platform.h"
#include "repeatfolder.h"
#include "settings.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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

// debug.log, open for the whole run. Lines come from every thread (libVLC's
// among them) and reach the system as they are written, so a crash loses
// nothing logged before it but a count of repeats.
class LogFile
{
public:
    LogFile() { m_clock.start(); }

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
        writeLines(m_folder.take(message, m_clock.elapsed()));
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
    QElapsedTimer m_clock;
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
    MessageBoxes::show(MessageBoxes::Kind::Warning, parent,
                       MessageBoxes::title(QCoreApplication::translate("Logging", "Warning")),
                       QCoreApplication::translate(
                           "Logging", "Could not start notepad! Try to open file manually: %1")
                           .arg(path));
}

}  // namespace Logging
