#pragma once

#include "emulatorprocess.h"
#include "ttvservermanager.h"

#include <QString>

// The emulator playing a scenario, and a session manager pointed at it that
// logs in on authorize().
class BenchOperator
{
public:
    // False, with the reason on stderr, when the emulator does not start.
    bool start(const QString& scenario);
    TTVServerManager& server() { return m_server; }

private:
    EmulatorProcess m_emulator;
    TTVServerManager m_server;
};
