#pragma once

#include <QList>
#include <QString>

// Resident memory of a process and of the processes it started, from /proc.
namespace ResidentMemory {

struct Process
{
    qint64 pid = 0;
    QString name;
    qint64 rssKib = 0;
    qint64 pssKib = 0;  // shared pages counted in proportion, so the sum is honest
};

// A figure of /proc/<pid>/status in KiB ("VmRSS", "VmHWM" the peak); -1
// when the process or the figure is not there.
qint64 statusKib(qint64 pid, const QString& figure);

// The process and all its descendants, the process first; the subtree of
// each pid in excluded is left out.
QList<Process> tree(qint64 pid, const QList<qint64>& excluded = {});
// The sum of one figure: total(processes, &Process::pssKib).
qint64 total(const QList<Process>& processes, qint64 Process::*figure);

}  // namespace ResidentMemory
