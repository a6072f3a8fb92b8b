#include "platform.h"

#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <signal.h>
#include <unistd.h>

namespace Platform {

int startSockets()
{
    return 0;
}

void stopSockets() {}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        return QDir::homePath();
    QDir().mkpath(documents);
    return documents;
}

bool openInTextEditor(const QString& filePath)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(filePath));
}

namespace {
// An inhibitor process holds the sleep lock for as long as it lives.
qint64 inhibitorPid = 0;
}  // namespace

void setExecutionState(ExecutionState state)
{
    if (state == ExecutionState::KeepAwake) {
        if (inhibitorPid != 0)
            return;
        const QString inhibit = QStandardPaths::findExecutable("systemd-inhibit");
        if (inhibit.isEmpty())
            return;
        QProcess::startDetached(inhibit,
                                {"--what=idle:sleep", "--who=Zentria Media Player",
                                 "--why=Recording", "sleep", "infinity"},
                                QString(), &inhibitorPid);
        return;
    }
    if (inhibitorPid != 0) {
        ::kill(static_cast<pid_t>(inhibitorPid), SIGTERM);
        inhibitorPid = 0;
    }
}

QString userScope()
{
    return QString::number(::getuid());
}

}  // namespace Platform
