#include "openbenchmark.h"

#include "bareplayer.h"
#include "medialocation.h"
#include "mediaplayer.h"

#include <QElapsedTimer>
#include <QSignalSpy>

#include <algorithm>

namespace {

constexpr int pictureTimeout = 20000;

}  // namespace

OpenBenchmark::OpenBenchmark(const InstanceOptions& options, int rounds)
    : m_options(options), m_rounds(rounds)
{
}

OpenBenchmark::Result OpenBenchmark::run(const Source& source)
{
    MediaPlayer player(m_options);
    BarePlayer bare(instanceArguments(m_options));
    const QString bareLocation = source.isLocalFile ? MediaLocation::ofFile(source.location)
                                                    : MediaLocation::ofUrl(source.location);
    Result result;
    // The first round of each opens its instance and fills the caches.
    for (int round = 0; round <= m_rounds && bare.isValid(); ++round) {
        const double playerTime = timePlayer(player, source);
        const double bareTime = bare.openToPicture(bareLocation, pictureTimeout);
        bare.stop();
        if (round == 0)
            continue;
        result.player << playerTime;
        result.bare << bareTime;
    }
    return result;
}

double OpenBenchmark::timePlayer(MediaPlayer& player, const Source& source)
{
    QElapsedTimer clock;
    qint64 pictureAt = -1;
    const QMetaObject::Connection timing =
        QObject::connect(&player, &MediaPlayer::playing, [&] { pictureAt = clock.nsecsElapsed(); });
    QSignalSpy playing(&player, &MediaPlayer::playing);
    QSignalSpy stopped(&player, &MediaPlayer::stopped);
    clock.start();
    if (source.isLocalFile)
        player.openFile(source.location);
    else
        player.open(source.location);
    const bool shown = playing.wait(pictureTimeout);
    QObject::disconnect(timing);
    player.stop();
    stopped.wait(pictureTimeout);
    return shown ? double(pictureAt) / 1e6 : -1;
}

double OpenBenchmark::median(QList<double> values)
{
    if (values.isEmpty())
        return -1;
    std::sort(values.begin(), values.end());
    const qsizetype middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}
