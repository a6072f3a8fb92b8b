#pragma once

#include <QtGlobal>

namespace ProcessWait {

// Blocks without a time limit until the process has ended; returns at once
// when there is no such process.
void waitForEnd(qint64 pid);

}  // namespace ProcessWait
