#include "residentmemory.h"

#include <QDir>
#include <QFile>
#include <QMultiHash>
#include <QRegularExpression>

namespace {

QString procFile(qint64 pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()) : QString();
}

QString statusOf(qint64 pid)
{
    return procFile(pid, "status");
}

qint64 kibibytes(const QString& value)
{
    bool ok = false;
    const qint64 result = value.section(' ', 0, 0).toLongLong(&ok);
    return ok ? result : -1;
}

QString field(const QString& status, const QString& name)
{
    const QRegularExpression line(QStringLiteral("^%1:\\s*(.*)$").arg(name),
                                  QRegularExpression::MultilineOption);
    return line.match(status).captured(1).trimmed();
}

// Children of every process on the system, by parent pid.
QMultiHash<qint64, qint64> childrenByParent()
{
    QMultiHash<qint64, qint64> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& entry : entries) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (isPid)
            children.insert(field(statusOf(pid), QStringLiteral("PPid")).toLongLong(), pid);
    }
    return children;
}

}  // namespace

qint64 ResidentMemory::statusKib(qint64 pid, const QString& figure)
{
    return kibibytes(field(statusOf(pid), figure));
}

QList<ResidentMemory::Process> ResidentMemory::tree(qint64 pid, const QList<qint64>& excluded)
{
    const QMultiHash<qint64, qint64> children = childrenByParent();
    QList<Process> result;
    QList<qint64> pending{pid};
    while (!pending.isEmpty()) {
        const qint64 next = pending.takeFirst();
        if (excluded.contains(next))
            continue;
        const QString status = statusOf(next);
        if (status.isEmpty())
            continue;
        const qint64 pss = kibibytes(field(procFile(next, "smaps_rollup"), QStringLiteral("Pss")));
        result.append({next, field(status, QStringLiteral("Name")),
                       qMax(kibibytes(field(status, QStringLiteral("VmRSS"))), qint64(0)),
                       qMax(pss, qint64(0))});
        pending.append(children.values(next));
    }
    return result;
}

qint64 ResidentMemory::total(const QList<Process>& processes, qint64 Process::*figure)
{
    qint64 sum = 0;
    for (const Process& process : processes)
        sum += process.*figure;
    return sum;
}
