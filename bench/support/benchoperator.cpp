#include "benchoperator.h"

#include "settings.h"

#include <cstdio>

namespace {
// A large scenario takes a while to lay out its guide.
constexpr int kEmulatorStartMs = 60000;
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
