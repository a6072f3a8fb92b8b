#include "bareplayer.h"
#include "channel.h"
#include "instanceoptions.h"
#include "medialocation.h"
#include "mediaplayer.h"
#include "openbenchmark.h"
#include "playersession.h"
#include "uibenchmarks.h"
#include "videoplatform.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>

namespace {

constexpr int switchTimeout = 20000;

QList<Channel*> openChannels(const ChannelManager& manager, int count)
{
    QList<Channel*> result;
    for (Channel* channel : *manager.GetChannelsList()) {
        if (channel->isAvailable() && result.size() < count)
            result.append(channel);
    }
    return result;
}

// Milliseconds from the change request to the video page; -1 on a timeout.
double timeSwitch(PlayerSession& session, Channel* channel)
{
    QSignalSpy video(session.window.get(), &MainWindow::switchedToVideo);
    QElapsedTimer clock;
    clock.start();
    session.channels->setCurrentChannel(channel);
    return video.wait(switchTimeout) ? double(clock.nsecsElapsed()) / 1e6 : -1;
}

}  // namespace

bool UiBenchmarks::zap(QTextStream& out, int rounds)
{
    PlayerSession session;
    if (!session.start(EmulatorProcess::shippedScenario("demo")) || !session.waitForLoad()) {
        out << "zap: the player did not log in to the emulator\n";
        return false;
    }
    const QList<Channel*> channels = openChannels(*session.channels, 2);
    InstanceOptions options = InstanceOptions::fromSettings();
    options.outputArguments = VideoPlatform::outputArguments();
    BarePlayer bare(instanceArguments(options));
    if (channels.size() < 2 || !bare.isValid()) {
        out << "zap: the demo scenario has fewer than two open channels, or libVLC failed\n";
        return false;
    }
    QList<double> player;
    QList<double> bareTimes;
    // The first round of each fills the caches and is not counted.
    for (int round = 0; round <= rounds; ++round) {
        Channel* channel = channels[round % 2];
        const double switchTime = timeSwitch(session, channel);
        const QString url =
            session.emulator->url(QStringLiteral("/stream/%1").arg(channel->id())).toString();
        const double bareTime = bare.openToPicture(MediaLocation::ofUrl(url), switchTimeout);
        bare.stop();
        if (round == 0)
            continue;
        player << switchTime;
        bareTimes << bareTime;
    }
    const double zapTime = OpenBenchmark::median(player);
    const double bareTime = OpenBenchmark::median(bareTimes);
    out << QString(
               "zap       change to video page %1 ms  bare libVLC open to picture %2 ms  "
               "difference %3 ms  (median of %4)\n")
               .arg(zapTime, 0, 'f', 1)
               .arg(bareTime, 0, 'f', 1)
               .arg(zapTime - bareTime, 0, 'f', 1)
               .arg(rounds);
    return !player.contains(-1) && !bareTimes.contains(-1);
}
