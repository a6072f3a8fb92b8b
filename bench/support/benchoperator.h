#pragma once

#include "emulatorprocess.h"
#include "ttvservermanager.h"

#include <QString>

class ChannelManager;

// The emulator playing a scenario, and a session manager pointed at it that
// logs in on authorize().
class BenchOperator
{
public:
    // False, with the reason on stderr, when the emulator does not start.
    bool start(const QString& scenario);
    TTVServerManager& server() { return m_server; }

    // Points channels at the session, logs in and waits for the channel
    // list; false, with the reason on stderr, when it does not load.
    bool loadChannels(ChannelManager& channels);

private:
    EmulatorProcess m_emulator;
    TTVServerManager m_server;
};
