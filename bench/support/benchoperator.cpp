#include "benchoperator.h"

#include "channelmanager.h"
#include "settings.h"

#include <QSignalSpy>

#include <cstdio>

namespace {
// A large scenario takes a while to lay out its guide.
constexpr int kEmulatorStartMs = 60000;
constexpr int kLoginTimeoutMs = 120000;
}  // namespace

bool BenchOperator::start(const QString& scenario)
{
    if (!m_emulator.start(scenario, {}, kEmulatorStartMs)) {
        std::fprintf(stderr, "the emulator did not start with %s\n", qPrintable(scenario));
        return false;
    }
    Settings::instance()->setServer(m_emulator.host());
    m_server.init();
    m_server.setMac("02:00:00:00:00:01");
    return true;
}

bool BenchOperator::loadChannels(ChannelManager& channels)
{
    channels.setServerManager(&m_server);
    QSignalSpy loaded(&channels, &ChannelManager::loadFinished);
    m_server.authorize();
    if (loaded.wait(kLoginTimeoutMs))
        return true;
    std::fprintf(stderr, "the channel list did not load\n");
    return false;
}
