#include "playertestsupport.h"

#include "instanceoptions.h"
#include "mediaplayer.h"
#include "temporaryprofile.h"
#include "videoplatform.h"

#include <QTest>

namespace PlayerSample {

QString path()
{
    return QStringLiteral(ZENTRIA_PLAYER_SAMPLE);
}

}  // namespace PlayerSample

// ---- PlayerTestEnvironment ----------------------------------------------------

PlayerTestEnvironment::PlayerTestEnvironment() : m_profile(std::make_unique<TemporaryProfile>())
{
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
}

PlayerTestEnvironment::~PlayerTestEnvironment() = default;

InstanceOptions PlayerTestEnvironment::options()
{
    InstanceOptions options;
    options.networkCaching = 300;
    options.httpReconnect = false;
    options.outputArguments = VideoPlatform::outputArguments();
    return options;
}

// ---- PlayerSignals --------------------------------------------------------------

PlayerSignals::PlayerSignals(MediaPlayer* player) : QObject(player)
{
    connect(player, &MediaPlayer::playing, this, [this] { note("playing"); });
    connect(player, &MediaPlayer::playingNotVout, this, [this] { note("playingNotVout"); });
    connect(player, &MediaPlayer::paused, this, [this] { note("paused"); });
    connect(player, &MediaPlayer::stopped, this, [this] { note("stopped"); });
    connect(player, &MediaPlayer::stopByUser, this, [this] { note("stopByUser"); });
    connect(player, &MediaPlayer::endPlayingOpenFile, this, [this] { note("endPlayingOpenFile"); });
    connect(player, &MediaPlayer::recording, this, [this] { note("recording"); });
    connect(player, &MediaPlayer::recordStopped, this, [this] { note("recordStopped"); });
    connect(player, &MediaPlayer::playbackError, this, [this](const QString& error) {
        m_errors.append(error);
        note("playbackError");
    });
}

bool PlayerSignals::waitFor(const QString& name, int count, int timeout)
{
    return QTest::qWaitFor([&] { return this->count(name) >= count; }, timeout);
}

// ---- PlayerFixture ----------------------------------------------------------------

PlayerFixture::PlayerFixture() : server(PlayerSample::path(), PlayerSample::seconds)
{
    server.listen();
    recreatePlayer();
}

PlayerFixture::~PlayerFixture()
{
    if (QTest::currentTestFailed())
        qInfo("Player log:\n%s", qPrintable(log.lines().join('\n')));
    player.reset();
}

void PlayerFixture::recreatePlayer()
{
    player.reset();
    player = std::make_unique<MediaPlayer>(PlayerTestEnvironment::options());
    events = new PlayerSignals(player.get());
}

bool PlayerFixture::play(const QString& url)
{
    player->open(url);
    return waitForNextPlaying();
}

bool PlayerFixture::playFile(const QString& path)
{
    player->openFile(path);
    return waitForNextPlaying();
}

bool PlayerFixture::waitForNextPlaying()
{
    return events->waitFor("playing", events->count("playing") + 1);
}
