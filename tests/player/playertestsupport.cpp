#include "playertestsupport.h"

#include "instanceoptions.h"
#include "mediaplayer.h"
#include "videoplatform.h"

#include <QTest>

QString PlayerSample::path()
{
    return QStringLiteral(ZENTRIA_PLAYER_SAMPLE);
}

InstanceOptions PlayerTestEnvironment::options()
{
    InstanceOptions options;
    options.networkCaching = 300;
    options.httpReconnect = false;
    options.outputArguments = VideoPlatform::outputArguments();
    return options;
}

PlayerSignals::PlayerSignals(MediaPlayer* player) : QObject(player)
{
    const auto note = [this, player](auto signal, const char* name) {
        connect(player, signal, this, [this, name] { m_names << name; });
    };
    note(&MediaPlayer::playing, "playing");
    note(&MediaPlayer::playingNotVout, "playingNotVout");
    note(&MediaPlayer::paused, "paused");
    note(&MediaPlayer::stopped, "stopped");
    note(&MediaPlayer::stopByUser, "stopByUser");
    note(&MediaPlayer::endPlayingOpenFile, "endPlayingOpenFile");
    note(&MediaPlayer::recording, "recording");
    note(&MediaPlayer::recordStopped, "recordStopped");
    connect(player, &MediaPlayer::playbackError, this, [this](const QString& error) {
        m_names << "playbackError";
        m_errors << error;
    });
}

PlayerFixture::PlayerFixture()
    : server(PlayerSample::path(), PlayerSample::seconds),
      player(std::make_unique<MediaPlayer>(PlayerTestEnvironment::options())),
      events(new PlayerSignals(player.get()))
{
    server.listen();
}

PlayerFixture::~PlayerFixture()
{
    if (QTest::currentTestFailed())
        qInfo("Player log:\n%s", qPrintable(log.lines().join('\n')));
    player.reset();
}

bool PlayerFixture::play(const QString& source)
{
    const int before = events->count("playing");
    if (source.contains("://"))
        player->open(source);
    else
        player->openFile(source);
    return events->waitFor("playing", before + 1);
}
