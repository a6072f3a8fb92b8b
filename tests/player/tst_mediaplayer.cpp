#include "logcapture.h"
#include "mediaplayer.h"
#include "pacedhttpserver.h"
#include "playertestsupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <memory>

namespace {

constexpr int playTimeout = 15000;

// A local port nobody listens on.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

bool isZero(const StreamStatistics& stats)
{
    const StreamStatistics zero;
    return std::memcmp(&stats, &zero, sizeof stats) == 0;
}

}  // namespace

class TestMediaPlayer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void playsAFileWithTheEventsInOrder();
    void playsAnHttpStream();
    void opensOnlyTheLastOfQuickOpens();
    void playsAnUpperCaseUrlInLowerCase();
    void openFileEncodesThePath();
    void volumeIsClampedToItsRange();
    void muteRemembersTheVolume();
    void pauseAndResume();
    void seeksByTime();
    void errorOnALocalFileIsNoPlaybackError();
    void refusedHttpUrlIsAPlaybackError();
    void unresolvableHostIsAPlaybackError();
    void fileThatIsNotMediaEnds();
    void streamThatEndsMidwayStops();
    void silentStreamIsAPlaybackError();
    void udpGroupWithoutSenderIsAPlaybackError();
    void audioTracksOfTwoLanguages();
    void trackIndexOutOfRangeIsLogged();
    void statisticsWhilePlayingAndStopped();
    void geometryStringsAreAppliedAndSignalled();
    void rejectedGeometryIsLoggedAndPlayingGoesOn();
    void cropAndAspectChoicesComeFromTheVideoOutput();
    void marginCropNeedsAVideoOutput();
    void deinterlaceChangesAreLogged();
    void gpuDecodingChangeReopensWhatPlays();
    void stopWithoutAnythingOpenReportsStopped();

private:
    bool playFile(const QString& path = PlayerSample::path());
    bool playStream(const QString& url);
    void recreatePlayer();

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<PacedHttpServer> m_server;
    std::unique_ptr<MediaPlayer> m_player;
    PlayerSignals* m_signals = nullptr;
};

void TestMediaPlayer::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
    QVERIFY(QFileInfo::exists(PlayerSample::path()));
}

void TestMediaPlayer::init()
{
    m_log = std::make_unique<LogCapture>();
    m_server = std::make_unique<PacedHttpServer>(PlayerSample::path(), PlayerSample::seconds);
    QVERIFY(m_server->listen());
    recreatePlayer();
}

void TestMediaPlayer::cleanup()
{
    if (QTest::currentTestFailed())
        qInfo("Player log:\n%s", qPrintable(m_log->lines().join('\n')));
    m_player.reset();
    m_server.reset();
    m_log.reset();
}

void TestMediaPlayer::recreatePlayer()
{
    m_player = std::make_unique<MediaPlayer>(PlayerTestEnvironment::options());
    m_signals = new PlayerSignals(m_player.get());
}

bool TestMediaPlayer::playFile(const QString& path)
{
    m_player->openFile(path);
    return m_signals->waitFor("playing", m_signals->count("playing") + 1, playTimeout);
}

bool TestMediaPlayer::playStream(const QString& url)
{
    m_player->open(url);
    return m_signals->waitFor("playing", m_signals->count("playing") + 1, playTimeout);
}

void TestMediaPlayer::playsAFileWithTheEventsInOrder()
{
    QSignalSpy volume(m_player.get(), &MediaPlayer::volumeChanged);
    QVERIFY(playFile());
    QVERIFY(m_player->playback().isPlaying());
    QVERIFY(!m_player->playback().isStopped());
    QVERIFY(!volume.isEmpty());
    QCOMPARE(volume.last().at(0).toInt(), 50);
    m_player->stop();
    QVERIFY(m_signals->waitFor("stopped"));
    QCOMPARE(m_signals->names(),
             QStringList({"playingNotVout", "playing", "stopByUser", "stopped"}));
    QVERIFY(m_player->playback().isStopped());
    QVERIFY(m_log->contains("vlc_callback: ev->type = 260 MediaPlayerPlaying"));
    QVERIFY(m_log->contains("vlc_callback: ev->type = 274 MediaPlayerVout"));
    QVERIFY(m_log->contains("[MediaPlayer::stop] Trying to stop playback..."));
    QVERIFY(m_log->contains("[MediaPlayer::stop] Playback stopped"));
}

void TestMediaPlayer::playsAnHttpStream()
{
    QVERIFY(playStream(m_server->url("/stream/7")));
    QCOMPARE(m_server->requestedPaths(), QStringList{"/stream/7"});
    QCOMPARE(m_signals->names(), QStringList({"playingNotVout", "playing"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_player->playback().time() > 0, 5000);
}

void TestMediaPlayer::opensOnlyTheLastOfQuickOpens()
{
    QSignalSpy opens(m_player.get(), &MediaPlayer::vlcOpen);
    QElapsedTimer sinceLast;
    m_player->open(m_server->url("/first"));
    QTest::qWait(50);
    m_player->open(m_server->url("/second"));
    QTest::qWait(50);
    m_player->open(m_server->url("/third"));
    sinceLast.start();
    QVERIFY(opens.wait(2000));
    QVERIFY2(sinceLast.elapsed() >= MediaPlayer::openDelay,
             qPrintable(QString::number(sinceLast.elapsed())));
    QCOMPARE(opens.size(), 1);
    QCOMPARE(opens.first().at(0).toString(), m_server->url("/third"));
    QVERIFY(m_signals->waitFor("playing", 1, playTimeout));
    QCOMPARE(m_server->requestedPaths(), QStringList{"/third"});
}

void TestMediaPlayer::playsAnUpperCaseUrlInLowerCase()
{
    const QString url = QString("HTTP://127.0.0.1:%1/Channel/ONE.TS").arg(m_server->port());
    QVERIFY(playStream(url));
    QCOMPARE(m_server->requestedPaths(), QStringList{"/channel/one.ts"});
}

void TestMediaPlayer::openFileEncodesThePath()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Fête #1 (Copy).ts");
    QVERIFY(QFile::copy(PlayerSample::path(), path));
    QVERIFY(playFile(path));
}

void TestMediaPlayer::volumeIsClampedToItsRange()
{
    QVERIFY(playFile());
    QSignalSpy volume(m_player.get(), &MediaPlayer::volumeChanged);
    m_player->setVolume(250);
    QVERIFY(volume.wait());
    QCOMPARE(volume.last().at(0).toInt(), 200);
    QCOMPARE(m_player->volume(), 200);
    m_player->setVolume(-5);
    QVERIFY(volume.wait());
    QCOMPARE(volume.last().at(0).toInt(), 0);
    QCOMPARE(m_player->volume(), 0);
}

void TestMediaPlayer::muteRemembersTheVolume()
{
    QVERIFY(playFile());
    QSignalSpy volume(m_player.get(), &MediaPlayer::volumeChanged);
    QSignalSpy muted(m_player.get(), &MediaPlayer::volumeMuted);
    m_player->setVolume(120);
    m_player->toggleMute();
    QVERIFY(QTest::qWaitFor([&] { return muted.size() == 1; }));
    QCOMPARE(volume.last().at(0).toInt(), 0);
    QCOMPARE(muted.last().at(0).toBool(), true);
    m_player->toggleMute();
    QVERIFY(QTest::qWaitFor([&] { return muted.size() == 2; }));
    QCOMPARE(volume.last().at(0).toInt(), 120);
    QCOMPARE(muted.last().at(0).toBool(), false);
}

void TestMediaPlayer::pauseAndResume()
{
    QVERIFY(playFile());
    m_player->pause();
    QVERIFY(m_signals->waitFor("paused"));
    QTRY_VERIFY(!m_player->playback().isPlaying());
    QVERIFY(!m_player->playback().isStopped());
    m_player->togglePlay();
    QVERIFY(m_signals->waitFor("playingNotVout", 2));
    QTRY_VERIFY(m_player->playback().isPlaying());
}

void TestMediaPlayer::seeksByTime()
{
    QVERIFY(playFile());
    m_player->setTime(6);
    QTRY_VERIFY_WITH_TIMEOUT(m_player->playback().time() >= 5500, 5000);
}

void TestMediaPlayer::errorOnALocalFileIsNoPlaybackError()
{
    m_player->openFile(QDir::temp().filePath("no-such-sample.ts"));
    QVERIFY(m_signals->waitFor("stopped"));
    QVERIFY(m_log->contains("vlc_callback: ev->type = 266 MediaPlayerEncounteredError"));
    QCOMPARE(m_signals->count("playbackError"), 0);
    QVERIFY(playFile());
}

void TestMediaPlayer::refusedHttpUrlIsAPlaybackError()
{
    m_player->open(QString("http://127.0.0.1:%1/stream.ts").arg(closedPort()));
    QVERIFY(m_signals->waitFor("stopped"));
    QCOMPARE(m_signals->names(), QStringList({"playbackError", "stopped"}));
    QCOMPARE(m_signals->errors(), QStringList{"Error encountered while retrieving data from FTP"});
    QVERIFY(m_log->contains("[VLCLOG] [ERR]  "));
    QVERIFY(playStream(m_server->url()));
}

void TestMediaPlayer::unresolvableHostIsAPlaybackError()
{
    m_player->open("http://no-such-host.invalid/stream.ts");
    QVERIFY(m_signals->waitFor("playbackError", 1, 30000));
    QVERIFY(m_signals->waitFor("stopped"));
    QVERIFY(playFile());
}

void TestMediaPlayer::fileThatIsNotMediaEnds()
{
    QTemporaryDir folder;
    QFile text(folder.filePath("notes.ts"));
    QVERIFY(text.open(QIODevice::WriteOnly));
    text.write("These are notes, not a stream.\n");
    text.close();
    m_player->openFile(text.fileName());
    QVERIFY(m_signals->waitFor("stopped"));
    QCOMPARE(m_signals->count("playing"), 0);
    QCOMPARE(m_signals->count("playbackError"), 0);
    QCOMPARE(m_signals->count("stopped"), 1);
    QVERIFY(playFile());
}

void TestMediaPlayer::streamThatEndsMidwayStops()
{
    m_server->setCloseAfter(m_server->size() / 4);
    QVERIFY(playStream(m_server->url()));
    QVERIFY(m_signals->waitFor("stopped", 1, 20000));
    QCOMPARE(m_signals->names().mid(2), QStringList({"endPlayingOpenFile", "stopped"}));
    QVERIFY(playFile());
}

void TestMediaPlayer::silentStreamIsAPlaybackError()
{
    m_player->setStallTimeout(1500);
    m_server->setSilentAfter(m_server->size() / 4);
    QVERIFY(playStream(m_server->url()));
    QVERIFY(m_signals->waitFor("playbackError", 1, 20000));
    QVERIFY(m_signals->waitFor("stopped"));
    QVERIFY(m_log->contains("!!! no data from http://127.0.0.1"));
    QCOMPARE(m_signals->count("stopped"), 1);
    QVERIFY(playFile());
}

void TestMediaPlayer::udpGroupWithoutSenderIsAPlaybackError()
{
    QUdpSocket unused;
    QVERIFY(unused.bind(QHostAddress::LocalHost));
    const quint16 port = unused.localPort();
    unused.close();
    m_player->setStallTimeout(1000);
    m_player->open(QString("udp://@127.0.0.1:%1").arg(port));
    QVERIFY(m_signals->waitFor("playbackError", 1, 10000));
    QVERIFY(m_signals->waitFor("stopped"));
    QCOMPARE(m_signals->count("playing"), 0);
    QVERIFY(playFile());
}

void TestMediaPlayer::audioTracksOfTwoLanguages()
{
    QVERIFY(playFile());
    QTRY_COMPARE_WITH_TIMEOUT(m_player->playback().audioTracks().size(), 3, 5000);
    const QList<Track> tracks = m_player->playback().audioTracks();
    QCOMPARE(tracks.at(0).id, -1);
    QVERIFY2(tracks.at(1).name.contains("Russian"), qPrintable(tracks.at(1).name));
    QVERIFY2(tracks.at(2).name.contains("English"), qPrintable(tracks.at(2).name));
    m_player->setAudioTrack(2);
    const QString switching =
        QString("Switching to audiotrack number #2 with track_id %1").arg(tracks.at(2).id);
    QTRY_VERIFY(m_log->contains(switching));
    QVERIFY(m_player->playback().subtitles().isEmpty());
}

void TestMediaPlayer::trackIndexOutOfRangeIsLogged()
{
    QVERIFY(playFile());
    QTRY_COMPARE_WITH_TIMEOUT(m_player->playback().audioTracks().size(), 3, 5000);
    m_player->setAudioTrack(3);
    m_player->setSubtitle(1);
    QTRY_VERIFY(m_log->contains("[MediaPlayer::setAudioTrack] !!! no track #3, there are 3 !!!"));
    QTRY_VERIFY(m_log->contains("[MediaPlayer::setSubtitle] !!! no track #1, there are 0 !!!"));
    QVERIFY(!m_log->contains("Switching to"));
    QVERIFY(m_player->playback().isPlaying());
}

void TestMediaPlayer::statisticsWhilePlayingAndStopped()
{
    QVERIFY(isZero(m_player->playback().statistics()));
    QVERIFY(playStream(m_server->url()));
    QTRY_VERIFY_WITH_TIMEOUT(m_player->playback().statistics().videoBlocksDecoded > 0, 5000);
    const StreamStatistics playing = m_player->playback().statistics();
    QVERIFY(playing.inputBytesRead > 0);
    QVERIFY(playing.demuxBytesRead > 0);
    QVERIFY(playing.audioBlocksDecoded > 0);
    m_player->stop();
    QVERIFY(m_signals->waitFor("stopped"));
    QVERIFY(isZero(m_player->playback().statistics()));
}

void TestMediaPlayer::geometryStringsAreAppliedAndSignalled()
{
    QVERIFY(playFile());
    QSignalSpy aspect(m_player.get(), &MediaPlayer::aspectRatioChanged);
    QSignalSpy crop(m_player.get(), &MediaPlayer::cropChanged);
    m_player->setAspectRatio("16:9");
    m_player->setCrop("4:3");
    QTRY_COMPARE(crop.size(), 1);
    QCOMPARE(aspect.first().at(0).toString(), QString("16:9"));
    QCOMPARE(crop.first().at(0).toString(), QString("4:3"));
    QCOMPARE(m_player->playback().aspectRatio(), QString("16:9"));
    QCOMPARE(m_player->playback().cropGeometry(), QString("4:3"));
    m_player->setAspectRatioTo("");
    QTRY_COMPARE(m_player->playback().aspectRatio(), QString());
    QCOMPARE(aspect.size(), 1);
}

void TestMediaPlayer::rejectedGeometryIsLoggedAndPlayingGoesOn()
{
    QVERIFY(playFile());
    // libVLC checks the geometry in the video output once pictures flow.
    QTRY_VERIFY_WITH_TIMEOUT(m_player->playback().statistics().videoPicturesDisplayed > 0, 5000);
    m_player->setCrop("sideways");
    QTRY_VERIFY(m_log->contains("        [VLCLOG] [ERR]  Unknown crop format (sideways)"));
    QVERIFY(m_player->playback().isPlaying());
    m_player->setCrop("16:9");
    QTRY_COMPARE(m_player->playback().cropGeometry(), QString("16:9"));
}

void TestMediaPlayer::cropAndAspectChoicesComeFromTheVideoOutput()
{
    QVERIFY(m_player->playback().cropChoices().isEmpty());
    QVERIFY(m_log->contains("[MediaPlayer::getCropChoices] no VOUT found"));
    QVERIFY(playFile());
    QTRY_VERIFY_WITH_TIMEOUT(m_player->playback().cropChoices().size() > 2, 5000);
    const QList<PlaybackState::Choice> crops = m_player->playback().cropChoices();
    QCOMPARE(crops.first().value, QString());
    QVERIFY(std::any_of(crops.cbegin(), crops.cend(),
                        [](const auto& choice) { return choice.value == "16:9"; }));
    const QList<PlaybackState::Choice> aspects = m_player->playback().aspectRatioChoices();
    QVERIFY(std::any_of(aspects.cbegin(), aspects.cend(), [](const auto& choice) {
        return choice.value == "221:100" && choice.text == "2.21:1";
    }));
}

void TestMediaPlayer::marginCropNeedsAVideoOutput()
{
    QVERIFY(!m_player->setMarginCrop(8, 4, 8, 4));
    QVERIFY(m_log->contains("[MediaPlayer::setMarginCrop] no VOUT found"));
    QVERIFY(playFile());
    // Right after the first picture libVLC may still be rebuilding the video
    // output for its filters; on a busy machine the old one is gone for a moment.
    QTRY_VERIFY_WITH_TIMEOUT(m_player->setMarginCrop(8, 4, 8, 4), 5000);
}

void TestMediaPlayer::deinterlaceChangesAreLogged()
{
    m_player->setDeinterlace(DeinterlaceMode::Blend);
    m_player->setDeinterlace(DeinterlaceMode::Blend);
    m_player->setDeinterlace(DeinterlaceMode::None);
    QTRY_VERIFY(m_log->contains("Settings deinterlace to none"));
    QCOMPARE(m_log->count("Settings deinterlace to blend"), 1);
}

void TestMediaPlayer::gpuDecodingChangeReopensWhatPlays()
{
    QVERIFY(playFile());
    m_player->setGPUAcceleration(true);
    QVERIFY(m_signals->waitFor("playing", 2, playTimeout));
    QVERIFY(m_log->contains("Settings use GPU acceleration"));
    m_player->setGPUAcceleration(true);
    m_player->setGPUAcceleration(false);
    QVERIFY(m_signals->waitFor("playing", 3, playTimeout));
    QCOMPARE(m_log->count("Settings use GPU acceleration"), 1);
    QCOMPARE(m_log->count("Settings not use GPU acceleration"), 1);
}

void TestMediaPlayer::stopWithoutAnythingOpenReportsStopped()
{
    QSignalSpy opens(m_player.get(), &MediaPlayer::vlcOpen);
    m_player->open(m_server->url());
    m_player->stop();
    QVERIFY(m_signals->waitFor("stopped"));
    QCOMPARE(m_signals->names(), QStringList({"stopByUser", "stopped"}));
    QVERIFY(!opens.wait(MediaPlayer::openDelay + 100));
    QVERIFY(m_server->requestedPaths().isEmpty());
}

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
