#include "margincropcontroller.h"
#include "mediaplayer.h"
#include "playertestsupport.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

#include <memory>

namespace {

// Local ports nobody listens on.
quint16 unusedTcpPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

quint16 unusedUdpPort()
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost);
    return socket.localPort();
}

bool isZero(const StreamStatistics& stats)
{
    const StreamStatistics zero;
    return std::memcmp(&stats, &zero, sizeof stats) == 0;
}

template <class Choice>
bool offers(const QList<Choice>& choices, const QString& value)
{
    return std::any_of(choices.cbegin(), choices.cend(),
                       [&](const Choice& choice) { return choice.value == value; });
}

const QString networkError = QStringLiteral("Error encountered while retrieving data from FTP");
const QString cropSet = QStringLiteral("[MarginCropController::tryToSet] Crop set");

}  // namespace

class TestMediaPlayer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void playsAndSeeksAFileWithTheEventsInOrder();
    void playsAStreamUnderItsLowerCaseUrl();
    void opensOnlyTheLastOfQuickOpens();
    void stopDropsAPendingOpen();
    void playsAFileWhosePathNeedsEncoding();
    void volumeIsClampedAndMuteRemembersIt();
    void aFailingSourceStopsOnceAndThePlayerRecovers_data();
    void aFailingSourceStopsOnceAndThePlayerRecovers();
    void audioTracksOfTwoLanguages();
    void statisticsAreZeroOnceStopped();
    void videoGeometryNeedsTheVideoOutput();
    void marginCropIsSetOnceThePictureIsThere();
    void deinterlaceAndGpuChangesAreLoggedOnce();

private:
    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<PlayerFixture> m_f;
};

void TestMediaPlayer::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
    QVERIFY(QFileInfo::exists(PlayerSample::path()));
}

void TestMediaPlayer::init()
{
    m_f = std::make_unique<PlayerFixture>();
    QVERIFY(m_f->server.port() != 0);
}

void TestMediaPlayer::cleanup()
{
    m_f.reset();
}

// Pausing and resuming are seen through the play/pause action's test.
void TestMediaPlayer::playsAndSeeksAFileWithTheEventsInOrder()
{
    QSignalSpy volume(m_f->player.get(), &MediaPlayer::volumeChanged);
    QVERIFY(m_f->playFile());
    QVERIFY(m_f->player->playback().isPlaying());
    QCOMPARE(volume.last().at(0).toInt(), 50);
    m_f->player->setTime(6);
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().time() >= 5500, 5000);
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    QCOMPARE(m_f->events->names(),
             QStringList({"playingNotVout", "playing", "stopByUser", "stopped"}));
    QVERIFY(m_f->player->playback().isStopped());
    for (const char* line :
         {"vlc_callback: ev->type = 260 MediaPlayerPlaying",
          "vlc_callback: ev->type = 274 MediaPlayerVout",
          "[MediaPlayer::stop] Trying to stop playback...", "[MediaPlayer::stop] Playback stopped"})
        QVERIFY2(m_f->log.contains(line), line);
}

void TestMediaPlayer::playsAStreamUnderItsLowerCaseUrl()
{
    QVERIFY(m_f->play(QString("HTTP://127.0.0.1:%1/Channel/ONE.TS").arg(m_f->server.port())));
    QCOMPARE(m_f->server.requestedPaths(), QStringList{"/channel/one.ts"});
    QCOMPARE(m_f->events->names(), QStringList({"playingNotVout", "playing"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().time() > 0, 5000);
}

void TestMediaPlayer::opensOnlyTheLastOfQuickOpens()
{
    QSignalSpy opens(m_f->player.get(), &MediaPlayer::vlcOpen);
    m_f->player->open(m_f->server.url("/first"));
    QTest::qWait(50);  // keys pressed apart, well inside the delay
    m_f->player->open(m_f->server.url("/second"));
    QTest::qWait(50);
    QElapsedTimer sinceLast;
    sinceLast.start();
    m_f->player->open(m_f->server.url("/third"));
    QVERIFY(opens.wait());
    QVERIFY2(sinceLast.elapsed() >= MediaPlayer::openDelay,
             qPrintable(QString::number(sinceLast.elapsed())));
    QCOMPARE(opens.size(), 1);
    QVERIFY(m_f->events->waitFor("playing"));
    QCOMPARE(m_f->server.requestedPaths(), QStringList{"/third"});
}

void TestMediaPlayer::stopDropsAPendingOpen()
{
    QSignalSpy opens(m_f->player.get(), &MediaPlayer::vlcOpen);
    m_f->player->open(m_f->server.url());
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    QCOMPARE(m_f->events->names(), QStringList({"stopByUser", "stopped"}));
    QVERIFY(!opens.wait(MediaPlayer::openDelay + 100));
    QVERIFY(m_f->server.requestedPaths().isEmpty());
}

void TestMediaPlayer::playsAFileWhosePathNeedsEncoding()
{
    QTemporaryDir folder;
    const QString path = folder.filePath("Fête #1 (Copy) 100%.ts");
    QVERIFY(QFile::copy(PlayerSample::path(), path));
    QVERIFY(m_f->playFile(path));
}

void TestMediaPlayer::volumeIsClampedAndMuteRemembersIt()
{
    QVERIFY(m_f->playFile());
    QSignalSpy volume(m_f->player.get(), &MediaPlayer::volumeChanged);
    QSignalSpy muted(m_f->player.get(), &MediaPlayer::volumeMuted);
    for (const auto& [asked, set] : {std::pair{250, 200}, {-5, 0}, {120, 120}}) {
        m_f->player->setVolume(asked);
        QVERIFY(volume.wait());
        QCOMPARE(volume.last().at(0).toInt(), set);
        QCOMPARE(m_f->player->volume(), set);
    }
    m_f->player->toggleMute();
    QTRY_COMPARE(muted.size(), 1);
    QCOMPARE(volume.last().at(0).toInt(), 0);
    QCOMPARE(muted.last().at(0).toBool(), true);
    m_f->player->toggleMute();
    QTRY_COMPARE(muted.size(), 2);
    QCOMPARE(volume.last().at(0).toInt(), 120);
    QCOMPARE(muted.last().at(0).toBool(), false);
}

void TestMediaPlayer::aFailingSourceStopsOnceAndThePlayerRecovers_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QString>("logged");
    const QStringList played{"playingNotVout", "playing"};
    QTest::newRow("refused HTTP") << "refused" << QStringList{"playbackError", "stopped"}
                                  << "[VLCLOG] [ERR]  ";
    QTest::newRow("UDP group without sender")
        << "udp" << QStringList{"playbackError", "stopped"} << "!!! no data from udp://@127.0.0.1";
    QTest::newRow("stream gone silent")
        << "silent" << played + QStringList{"playbackError", "stopped"}
        << "!!! no data from http://127.0.0.1";
    // Data that keeps coming holds the stall timeout off until the end.
    QTest::newRow("stream ending midway")
        << "ending" << played + QStringList{"endPlayingOpenFile", "stopped"} << "";
    // A local file that fails is no playback error.
    QTest::newRow("missing file") << "missing" << QStringList{"stopped"}
                                  << "vlc_callback: ev->type = 266 MediaPlayerEncounteredError";
    QTest::newRow("file that is not media, played to its end")
        << "text" << QStringList{"playingNotVout", "endPlayingOpenFile", "stopped"} << "";
}

void TestMediaPlayer::aFailingSourceStopsOnceAndThePlayerRecovers()
{
    QFETCH(QString, source);
    QFETCH(QStringList, events);
    QFETCH(QString, logged);
    QTemporaryDir folder;
    m_f->player->setStallTimeout(2000);
    if (source == "refused") {
        m_f->player->open(QString("http://127.0.0.1:%1/s.ts").arg(unusedTcpPort()));
    } else if (source == "udp") {
        m_f->player->open(QString("udp://@127.0.0.1:%1").arg(unusedUdpPort()));
    } else if (source == "silent") {
        m_f->server.setSilentAfter(m_f->server.size() / 4);
        m_f->player->open(m_f->server.url());
    } else if (source == "ending") {
        m_f->server.setCloseAfter(m_f->server.size() / 2);
        m_f->player->open(m_f->server.url());
    } else if (source == "missing") {
        m_f->player->openFile(folder.filePath("no-such-sample.ts"));
    } else {
        QFile text(folder.filePath("notes.ts"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("These are notes, not a stream.\n");
        text.close();
        m_f->player->openFile(text.fileName());
    }
    QVERIFY(m_f->events->waitFor("stopped", 1, 20000));
    QVERIFY(m_f->playFile());
    QCOMPARE(m_f->events->names().mid(0, events.size()), events);
    QCOMPARE(m_f->events->count("stopped"), 1);
    QCOMPARE(m_f->events->errors(), QStringList(events.count("playbackError"), networkError));
    QVERIFY2(m_f->log.contains(logged), qPrintable(logged));
}

void TestMediaPlayer::audioTracksOfTwoLanguages()
{
    QVERIFY(m_f->playFile());
    QTRY_COMPARE_WITH_TIMEOUT(m_f->player->playback().audioTracks().size(), 3, 5000);
    const QList<Track> tracks = m_f->player->playback().audioTracks();
    QCOMPARE(tracks.at(0).id, -1);
    QVERIFY2(tracks.at(1).name.contains("Russian"), qPrintable(tracks.at(1).name));
    QVERIFY2(tracks.at(2).name.contains("English"), qPrintable(tracks.at(2).name));
    QVERIFY(m_f->player->playback().subtitles().isEmpty());

    m_f->player->setAudioTrack(3);
    m_f->player->setSubtitle(1);
    m_f->player->setAudioTrack(2);
    QTRY_VERIFY(m_f->log.contains(
        QString("Switching to audiotrack number #2 with track_id %1").arg(tracks.at(2).id)));
    QVERIFY(m_f->log.contains("[MediaPlayer::setAudioTrack] !!! no track #3, there are 3 !!!"));
    QVERIFY(m_f->log.contains("[MediaPlayer::setSubtitle] !!! no track #1, there are 0 !!!"));
    QCOMPARE(m_f->log.count("Switching to"), 1);
    QVERIFY(m_f->player->playback().isPlaying());
}

// What the counters show while playing is seen in the statistics window's test.
void TestMediaPlayer::statisticsAreZeroOnceStopped()
{
    QVERIFY(m_f->play(m_f->server.url()));
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().statistics().videoBlocksDecoded > 0, 5000);
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    QVERIFY(isZero(m_f->player->playback().statistics()));
}

void TestMediaPlayer::videoGeometryNeedsTheVideoOutput()
{
    const PlaybackState& playback = m_f->player->playback();
    QVERIFY(playback.cropChoices().isEmpty());
    QVERIFY(m_f->log.contains("[MediaPlayer::getCropChoices] no VOUT found"));
    QVERIFY(!m_f->player->setMarginCrop(8, 4, 8, 4));
    QVERIFY(m_f->log.contains("[MediaPlayer::setMarginCrop] no VOUT found"));

    QVERIFY(m_f->playFile());
    // libVLC checks the geometry in the video output once pictures flow.
    QTRY_VERIFY_WITH_TIMEOUT(playback.statistics().videoPicturesDisplayed > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->setMarginCrop(8, 4, 8, 4), 5000);
    QCOMPARE(playback.cropChoices().first().value, QString());
    QVERIFY(offers(playback.cropChoices(), "16:9"));
    QVERIFY(offers(playback.aspectRatioChoices(), "221:100"));

    QSignalSpy aspect(m_f->player.get(), &MediaPlayer::aspectRatioChanged);
    QSignalSpy crop(m_f->player.get(), &MediaPlayer::cropChanged);
    m_f->player->setAspectRatio("16:9");
    m_f->player->setCrop("sideways");
    QTRY_VERIFY(m_f->log.contains("        [VLCLOG] [ERR]  Unknown crop format (sideways)"));
    m_f->player->setCrop("4:3");
    QTRY_COMPARE(crop.size(), 2);
    QCOMPARE(crop.last().at(0).toString(), QString("4:3"));
    QCOMPARE(playback.cropGeometry(), QString("4:3"));
    QCOMPARE(aspect.first().at(0).toString(), QString("16:9"));
    QCOMPARE(playback.aspectRatio(), QString("16:9"));
    m_f->player->setAspectRatioTo("");
    QTRY_COMPARE(playback.aspectRatio(), QString());
    QCOMPARE(aspect.size(), 1);
    QVERIFY(playback.isPlaying());
}

// Nothing while no margins are asked for or nothing plays; set at once while
// playing, and again with every new picture until reset.
void TestMediaPlayer::marginCropIsSetOnceThePictureIsThere()
{
    MarginCropController controller;
    controller.setMediaPlayer(m_f->player.get());
    const int quiet = 3 * MarginCropController::retryInterval;
    // Failed attempts while a picture is still coming are fine; none may come
    // where nothing is to be set.
    const auto noNewFailure = [&] {
        const int before = m_f->log.count("Attempt failed");
        return !QTest::qWaitFor([&] { return m_f->log.count("Attempt failed") > before; }, quiet);
    };
    QVERIFY(m_f->playFile());
    QVERIFY(!m_f->log.waitFor("MarginCropController", quiet));

    controller.setMargins(4, 4, 4, 4);
    QVERIFY(m_f->log.waitFor(cropSet));
    QVERIFY(!controller.isTrying());
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    controller.setMargins(16, 8, 16, 8);
    QVERIFY(controller.isTrying());
    QVERIFY(noNewFailure());
    QVERIFY(m_f->playFile());
    QTRY_VERIFY(m_f->log.count(cropSet) >= 2);

    controller.reset();
    const int setBefore = m_f->log.count(cropSet);
    QVERIFY(m_f->playFile());
    QVERIFY(noNewFailure());
    QCOMPARE(m_f->log.count(cropSet), setBefore);
}

void TestMediaPlayer::deinterlaceAndGpuChangesAreLoggedOnce()
{
    m_f->player->setDeinterlace(DeinterlaceMode::Blend);
    m_f->player->setDeinterlace(DeinterlaceMode::Blend);
    m_f->player->setDeinterlace(DeinterlaceMode::None);
    QTRY_VERIFY(m_f->log.contains("Settings deinterlace to none"));
    QCOMPARE(m_f->log.count("Settings deinterlace to blend"), 1);

    // A new decoding setting needs a new instance: what plays is opened again.
    QVERIFY(m_f->playFile());
    m_f->player->setGPUAcceleration(true);
    QVERIFY(m_f->events->waitFor("playing", 2));
    m_f->player->setGPUAcceleration(true);
    m_f->player->setGPUAcceleration(false);
    QVERIFY(m_f->events->waitFor("playing", 3));
    QCOMPARE(m_f->log.count("Settings use GPU acceleration"), 1);
    QCOMPARE(m_f->log.count("Settings not use GPU acceleration"), 1);
}

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
