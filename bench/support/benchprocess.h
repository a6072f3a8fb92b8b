#pragma once

#include <QTemporaryDir>

// What every benchmark process sets up before its QApplication: no screen
// unless the caller chose a platform, a runtime folder when the session has
// none, a home and data folder of its own, so
// that no real player's settings are read or written, and only warnings and
// errors on stderr.
class BenchProcess
{
public:
    BenchProcess();

private:
    QTemporaryDir m_runtime;
    QTemporaryDir m_home;
};
