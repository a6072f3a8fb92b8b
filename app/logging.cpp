#include "logging.h"

#include "appinfo.h"
#include "messageboxes.h"
#include "platform.h"
#include "settings.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace Logging {

namespace {

QString& installedLogPath()
{
    static QString path;
    return path;
}

void appendLine(const QString& message)
{
    QFile log(installedLogPath());
    if (log.open(QIODevice::WriteOnly | QIODevice::Append))
        log.write(messageLine(QTime::currentTime(), message));
}

// Qt's own diagnostics (categories "qt.*") and messages from other threads
// cannot be put in front of the user as boxes; they are kept in the log.
bool canShowBox(const QMessageLogContext& context)
{
    const bool qtInternal = context.category && qstrncmp(context.category, "qt.", 3) == 0;
    const bool guiThread = qApp && QThread::currentThread() == qApp->thread();
    return !qtInternal && guiThread;
}

[[noreturn]] void endProcess()
{
    std::fflush(stdout);
    std::fflush(stderr);
    // The objects of the event loop are still alive on the stack of main;
    // running static destructors under them is what must not happen here.
    std::_Exit(1);
}

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    thread_local bool inBox = false;
    switch (type) {
        case QtDebugMsg:
            appendLine(message);
            break;
        case QtWarningMsg:
            if (inBox || !canShowBox(context)) {
                appendLine(message);
                break;
            }
            inBox = true;
            MessageBoxes::show(MessageBoxes::Kind::Warning, QApplication::activeWindow(),
                               QCoreApplication::translate("Logging", "Warning"), message);
            inBox = false;
            break;
        case QtCriticalMsg:
        case QtFatalMsg:
            if (!inBox && canShowBox(context)) {
                inBox = true;
                MessageBoxes::show(MessageBoxes::Kind::Critical, QApplication::activeWindow(),
                                   QCoreApplication::translate("Logging", "Critical Error"),
                                   message);
            } else {
                appendLine(message);
            }
            endProcess();
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
    installedLogPath() = logFilePath();
    qInstallMessageHandler(messageHandler);
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
