#include "processwait.h"

#include <QFile>
#include <QThread>

#include <signal.h>
#include <cerrno>

namespace {

// A process that has ended but was not yet collected by its parent is still
// there for kill(); it is over all the same.
bool isZombie(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int afterName = line.lastIndexOf(')');
    return afterName >= 0 && line.mid(afterName + 2, 1) == "Z";
}

bool isRunning(qint64 pid)
{
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno == ESRCH))
        return false;
    return !isZombie(pid);
}

}  // namespace

void ProcessWait::waitForEnd(qint64 pid)
{
    while (isRunning(pid))
        QThread::msleep(100);
}
