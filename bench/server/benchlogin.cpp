// The log-in chain against the emulator's large scenario: how big the channel
// list is on the wire, and how long the session manager takes from
// authorize() to LoadAllClientInfoFromServerCompleted().
#include "emulatorprocess.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int runs = 5;

// One log-in; the time in milliseconds, or -1 when it did not finish.
double timeLogIn(qint64* channelListBytes)
{
    TTVServerManager manager;
    manager.init();
    manager.setMac("AABBCCDDEEFF");
    QSignalSpy loaded(&manager, &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    QElapsedTimer timer;
    timer.start();
    manager.authorize();
    if (!loaded.wait(60000))
        return -1;
    const double elapsed = timer.nsecsElapsed() / 1e6;
    *channelListBytes = qint64(manager.channelList()->ByteSizeLong());
    return elapsed;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("large");
    TemporaryProfile profile;
    EmulatorProcess emulator;
    if (!emulator.start(scenario)) {
        std::fprintf(stderr, "the emulator did not start on %s\n", qPrintable(scenario));
        return 1;
    }
    Settings::instance()->setServer(emulator.host());

    QList<double> times;
    qint64 channelListBytes = 0;
    for (int run = 0; run < runs; ++run) {
        const double elapsed = timeLogIn(&channelListBytes);
        if (elapsed < 0) {
            std::fprintf(stderr, "log-in %d did not finish\n", run + 1);
            return 1;
        }
        times << elapsed;
    }
    std::sort(times.begin(), times.end());
    std::printf("log-in against scenario %s\n", qPrintable(scenario));
    std::printf("channel list  %.1f MiB encoded (%lld bytes)\n", channelListBytes / 1048576.0,
                static_cast<long long>(channelListBytes));
    std::printf("authorize -> all loaded  median %.0f ms of %d (min %.0f, max %.0f)\n",
                times.at(runs / 2), runs, times.first(), times.last());
    return 0;
}
