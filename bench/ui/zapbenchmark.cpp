#include "bareplayer.h"
#include "channel.h"
#include "channelmanager.h"
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

struct SwitchTimes
{
    double url = -1;      // the stream's URL reaches the window
    double picture = -1;  // the player's first picture
    double video = -1;    // the video page shows
};

// Milliseconds from the change request to each step; -1 for a step not seen.
SwitchTimes timeSwitch(PlayerSession& session, Channel* channel)
{
    QElapsedTimer clock;
    SwitchTimes times;
    const auto stamp = [&clock](double& at) {
        return [&clock, &at] { at = clock.nsecsElapsed() / 1e6; };
    };
    QObject context;
    QObject::connect(session.channels.get(), &ChannelManager::getCurrentChannelUrl, &context,
                     stamp(times.url));
    QObject::connect(session.window->getMediaPlayer(), &MediaPlayer::playing, &context,
                     stamp(times.picture));
    QSignalSpy video(session.window.get(), &MainWindow::switchedToVideo);
    clock.start();
    session.channels->setCurrentChannel(channel);
    if (video.wait(switchTimeout))
        times.video = clock.nsecsElapsed() / 1e6;
    return times;
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
    QList<double> urls, pictures, player, bareTimes;
    // The first round of each fills the caches and is not counted.
    for (int round = 0; round <= rounds; ++round) {
        Channel* channel = channels[round % 2];
        const SwitchTimes switchTimes = timeSwitch(session, channel);
        const QString url =
            session.emulator->url(QStringLiteral("/stream/%1").arg(channel->id())).toString();
        const double bareTime = bare.openToPicture(MediaLocation::ofUrl(url), switchTimeout);
        bare.stop();
        if (round == 0)
            continue;
        urls << switchTimes.url;
        pictures << switchTimes.picture;
        player << switchTimes.video;
        bareTimes << bareTime;
    }
    const double zapTime = OpenBenchmark::median(player);
    const double bareTime = OpenBenchmark::median(bareTimes);
    out << QString(
               "zap       change to stream URL %1 ms, to first picture %2 ms, "
               "to video page %3 ms\n"
               "          bare libVLC open to picture %4 ms  difference %5 ms  "
               "(median of %6)\n")
               .arg(OpenBenchmark::median(urls), 0, 'f', 1)
               .arg(OpenBenchmark::median(pictures), 0, 'f', 1)
               .arg(zapTime, 0, 'f', 1)
               .arg(bareTime, 0, 'f', 1)
               .arg(zapTime - bareTime, 0, 'f', 1)
               .arg(rounds);
    return !player.contains(-1) && !bareTimes.contains(-1);
}
