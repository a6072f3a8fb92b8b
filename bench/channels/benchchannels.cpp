// Loads the emulator's large operator (500 channels, a week of half-hour
// telecasts) through the real log-in and measures the channel model: the
// build of the channel list, the resident memory after it, a title search
// over all channels and one timeshift refresh tick.

#include "benchfigures.h"
#include "benchoperator.h"
#include "benchprocess.h"
#include "channel.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "residentmemory.h"
#include "telecast.h"
#include "timemachinemanager.h"
#include "timeshiftchannel.h"
#include "ttvservermanager.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

using BenchFigures::median;
using BenchFigures::verdict;

namespace {

const int kSearchRuns = 21;
const int kTicks = 20000;

// From /proc/self/status, in MiB: "VmHWM" is the peak, "VmRSS" the current.
double residentMiB(const char* figure)
{
    const qint64 kib =
        ResidentMemory::statusKib(QCoreApplication::applicationPid(), QLatin1String(figure));
    return kib < 0 ? -1 : kib / 1024.0;
}

double milliseconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// A word from the middle of the guide, in lower case, to search for.
QString searchWord(const ChannelManager& channels)
{
    const Channel* channel = channels.channelAt(channels.channelCount() / 2);
    const Telecast* telecast = channel->telecasts().at(channel->telecasts().size() / 2);
    return telecast->title().split(' ').first().toLower();
}

}  // namespace

int main(int argc, char* argv[])
{
    const BenchProcess process;
    QApplication app(argc, argv);
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("large");

    BenchOperator operatorServer;
    if (!operatorServer.start(scenario))
        return 1;
    TTVServerManager& server = operatorServer.server();

    // Connected before the channel manager, so the clock starts as the
    // stored answer is handed over.
    QElapsedTimer load;
    qint64 loadNs = 0;
    QObject::connect(&server, &TTVServerManager::LoadAllClientInfoFromServerCompleted,
                     [&load] { load.start(); });
    ChannelManager channels;
    QObject::connect(&channels, &ChannelManager::loadFinished,
                     [&load, &loadNs] { loadNs = load.nsecsElapsed(); });
    if (!operatorServer.loadChannels(channels))
        return 1;
    const double loadMs = double(loadNs) / 1e6;
    const double peakMiB = residentMiB("VmHWM");
    const double currentMiB = residentMiB("VmRSS");

    QList<double> rebuilds;
    for (int i = 0; i < 5; ++i)
        rebuilds.append(milliseconds([&] { channels.loadFrom(ServerAnswers::of(server)); }));

    qsizetype telecasts = 0;
    for (const Channel* channel : *channels.GetChannelsList())
        telecasts += channel->telecasts().size();

    const QString word = searchWord(channels);
    qsizetype hits = 0;
    QList<double> searches;
    for (int i = 0; i < kSearchRuns; ++i)
        searches.append(milliseconds([&] { hits = channels.findTelecasts({}, word).size(); }));

    Channel* shifted = firstTimeshiftChannel(channels);
    if (!shifted) {
        std::fprintf(stderr, "no channel with timeshift in %s\n", qPrintable(scenario));
        return 1;
    }
    TimeMachineManager timeMachine;
    timeMachine.setChannelManager(&channels);
    channels.setCurrentChannel(shifted);
    shifted->selectOffset(shifted->offsetCount() / 2);
    const double tickUs = milliseconds([&] {
                              for (int i = 0; i < kTicks; ++i)
                                  timeMachine.onTimerCurrentTime();
                          }) *
                          1000 / kTicks;

    std::printf("channel model against scenario %s: %lld channels, %lld telecasts\n",
                qPrintable(scenario), qint64(channels.channelCount()), qint64(telecasts));
    std::printf(
        "load     %8.1f ms   goal < 1000 ms  %s  (rebuilds from the stored answer: "
        "median %.1f ms)\n",
        loadMs, verdict(loadMs, 1000), median(rebuilds));
    std::printf("memory   %8.1f MiB  goal < 200 MB   %s  (peak resident; %.1f MiB now)\n", peakMiB,
                verdict(peakMiB * 1.048576, 200), currentMiB);
    std::printf(
        "search   %8.2f ms   goal < 30 ms    %s  (\"%s\" over all channels, %lld hits, "
        "median of %d)\n",
        median(searches), verdict(median(searches), 30), qPrintable(word), qint64(hits),
        kSearchRuns);
    std::printf("tick     %8.2f us   goal < 1000 us  %s  (timeshift refresh, mean of %d)\n", tickUs,
                verdict(tickUs, 1000), kTicks);
    return 0;
}
