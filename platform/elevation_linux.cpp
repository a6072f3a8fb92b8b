#include "elevation.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace {

constexpr char kWhere[] = "Utils::executeElevated";

// What pkexec answers itself when the rights were not given: the prompt was
// dismissed, or the user is not authorised.
constexpr int kPkexecDismissed = 126;
constexpr int kPkexecNotAuthorised = 127;

bool isAdministrator()
{
    return ::geteuid() == 0;
}

QString pkexec()
{
    return QStandardPaths::findExecutable(QStringLiteral("pkexec"));
}

// Through polkit, which asks the user in its own prompt.
int runWithPkexec(const QString& pkexecPath, const QString& program, const QStringList& arguments)
{
    const QString fileName = QFileInfo(program).fileName();
    qDebug("[%s] starting %s...", kWhere, qPrintable(fileName));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(pkexecPath, QStringList{program} + arguments);
    if (!process.waitForStarted(-1))
        return 1;
    qDebug("[%s] waiting for %s to return...", kWhere, qPrintable(fileName));
    process.waitForFinished(-1);
    if (process.exitStatus() == QProcess::CrashExit)
        return -1;
    const int exitCode = process.exitCode();
    if (exitCode == kPkexecDismissed || exitCode == kPkexecNotAuthorised) {
        qDebug("[%s] !!! administrator rights for %s were not given !!!", kWhere,
               qPrintable(fileName));
        return 1;
    }
    qDebug("[%s] OK, exit code = %d", kWhere, exitCode);
    return exitCode;
}

}  // namespace

namespace Utils {

int executeElevated(const QString& program, const QStringList& arguments, QWidget* /*parent*/)
{
    qDebug("[%s] set command %s...", kWhere, qPrintable(program));
    if (isAdministrator())
        return QProcess::execute(program, arguments);
    const QString pkexecPath = pkexec();
    if (pkexecPath.isEmpty()) {
        qDebug("[%s] !!! polkit (pkexec) is not installed, %s cannot be run elevated !!!", kWhere,
               qPrintable(program));
        return 1;
    }
    return runWithPkexec(pkexecPath, program, arguments);
}

}  // namespace Utils

namespace Elevation {

QString unavailableReason()
{
    if (isAdministrator() || !pkexec().isEmpty())
        return {};
    return QCoreApplication::translate(
        "Elevation",
        "polkit (pkexec) is not installed, so administrator rights cannot be asked for.");
}

}  // namespace Elevation
