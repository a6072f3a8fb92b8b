#include "margincropcontroller.h"
#include "mediaplayer.h"
#include "playertestsupport.h"
#include "streamrecorder.h"
#include "tablerows.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QUdpSocket>

#include <limits>
#include <memory>

namespace {

QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                  QDir::Name);
}

qint64 bytesIn(const QString& folder)
{
    qint64 bytes = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        bytes += it.nextFileInfo().size();
    return bytes;
}

const QString networkError = QStringLiteral("Error encountered while retrieving data from FTP");
const QString cropSet = QStringLiteral("[MarginCropController::tryToSet] Crop set");

}  // namespace

// The media player over libVLC, playing the sample from a file and from a
// paced HTTP server, and recording what it plays.
class TestMediaPlayer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_environment = std::make_unique<PlayerTestEnvironment>(); }
    void init() { m_f = std::make_unique<PlayerFixture>(); }
    void cleanup() { m_f.reset(); }

    void playsAndSeeksAFileWithTheEventsInOrder();
    void playsAStreamUnderItsLowerCaseUrlWithCountersZeroOnceStopped();
    void opensOnlyTheLastOfQuickOpensAndNothingAfterAStop();
    void volumeIsClampedAndMuteRemembersIt();
    void aFailingSourceStopsOnceAndThePlayerRecovers_data()
    {
        addTableRows(QFINDTESTDATA("../data/player/failing-sources.txt"));
    }
    void aFailingSourceStopsOnceAndThePlayerRecovers();
    void audioTracksOfTwoLanguages();
    void videoGeometryNeedsTheVideoOutput();
    void marginCropIsSetOnceThePictureIsThere();
    void deinterlaceAndGpuChangesAreLoggedOnce();

    void recordsIntoANamedFileThatPlaysBack();
    void whatEndsTheRecordingLeavesItInPlace_data()
    {
        addTableRows(QFINDTESTDATA("../data/player/recording-endings.txt"));
    }
    void whatEndsTheRecordingLeavesItInPlace();
    void recordsIntoAFolderThenDiesKeepingTheRecordingAndTellingNobody();
    void aRecordingWithoutFolderOrDiskStopsWithAReason_data()
    {
        addTableRows(QFINDTESTDATA("../data/player/recording-failures.txt"));
    }
    void aRecordingWithoutFolderOrDiskStopsWithAReason();
    void recordsThroughAStallAndKeepsWhatCameWhenTheStreamEnds();

private:
    // Starts a recording into the fixture's folder and waits for its first bytes.
    bool record(const QString& name)
    {
        const qint64 before = bytesIn(m_f->folder.path());
        return m_f->player->startRecord(m_f->folder.filePath(name)) &&
               QTest::qWaitFor([&] { return bytesIn(m_f->folder.path()) > before; }, 5000);
    }

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<PlayerFixture> m_f;
};

// Pausing and resuming are seen through the play/pause action's test.
void TestMediaPlayer::playsAndSeeksAFileWithTheEventsInOrder()
{
    QSignalSpy volume(m_f->player.get(), &MediaPlayer::volumeChanged);
    QVERIFY(m_f->play());
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

// What the counters show while playing is seen in the statistics window's test.
void TestMediaPlayer::playsAStreamUnderItsLowerCaseUrlWithCountersZeroOnceStopped()
{
    QVERIFY(m_f->play(QString("HTTP://127.0.0.1:%1/Channel/ONE.TS").arg(m_f->server.port())));
    QCOMPARE(m_f->server.requestedPaths(), QStringList{"/channel/one.ts"});
    QCOMPARE(m_f->events->names(), QStringList({"playingNotVout", "playing"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().time() > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().statistics().videoBlocksDecoded > 0, 5000);
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    const StreamStatistics stats = m_f->player->playback().statistics();
    const StreamStatistics zero;
    QVERIFY(std::memcmp(&stats, &zero, sizeof stats) == 0);
}

// Opening waits a moment for the user to make up their mind.
void TestMediaPlayer::opensOnlyTheLastOfQuickOpensAndNothingAfterAStop()
{
    QSignalSpy opens(m_f->player.get(), &MediaPlayer::vlcOpen);
    m_f->player->open(m_f->server.url("/dropped"));
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    QCOMPARE(m_f->events->names(), QStringList({"stopByUser", "stopped"}));
    QVERIFY(!opens.wait(MediaPlayer::openDelay + 100));

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

void TestMediaPlayer::volumeIsClampedAndMuteRemembersIt()
{
    QVERIFY(m_f->play());
    QSignalSpy volume(m_f->player.get(), &MediaPlayer::volumeChanged);
    QSignalSpy muted(m_f->player.get(), &MediaPlayer::volumeMuted);
    for (const auto& [asked, set] : {std::pair{250, 200}, {-5, 0}, {120, 120}}) {
        m_f->player->setVolume(asked);
        QVERIFY(volume.wait());
        QCOMPARE(volume.last().at(0).toInt(), set);
        QCOMPARE(m_f->player->volume(), set);
    }
    for (const auto& [mute, shown] : {std::pair{true, 0}, {false, 120}}) {
        m_f->player->toggleMute();
        QTRY_COMPARE(muted.size(), mute ? 1 : 2);
        QCOMPARE(volume.last().at(0).toInt(), shown);
        QCOMPARE(muted.last().at(0).toBool(), mute);
    }
}

void TestMediaPlayer::aFailingSourceStopsOnceAndThePlayerRecovers()
{
    QFETCH(QString, source);
    QFETCH(QString, events);
    QFETCH(QString, logged);
    const QStringList expected = events.split(' ');
    m_f->player->setStallTimeout(2000);
    if (source == "refused" || source == "udp") {
        QUdpSocket socket;  // for a local port nobody listens on
        socket.bind(QHostAddress::LocalHost);
        const quint16 port = socket.localPort();
        socket.close();
        m_f->player->open(
            QString(source == "udp" ? "udp://@127.0.0.1:%1" : "http://127.0.0.1:%1/s.ts")
                .arg(port));
    } else if (source == "silent") {
        m_f->server.setSilentAfter(m_f->server.size() / 4);
        m_f->player->open(m_f->server.url());
    } else if (source == "ending") {
        m_f->server.setCloseAfter(m_f->server.size() / 2);
        m_f->player->open(m_f->server.url());
    } else {
        const QString path = m_f->folder.filePath(source + ".ts");
        if (source == "text") {
            QFile text(path);
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write("These are notes, not a stream.\n");
        }
        m_f->player->openFile(path);
    }
    QVERIFY(m_f->events->waitFor("stopped", 1, 20000));
    QVERIFY(m_f->play());
    QCOMPARE(m_f->events->names().mid(0, expected.size()), expected);
    QCOMPARE(m_f->events->count("stopped"), 1);
    QCOMPARE(m_f->events->errors(), QStringList(expected.count("playbackError"), networkError));
    QVERIFY2(m_f->log.contains(logged), qPrintable(logged));
}

void TestMediaPlayer::audioTracksOfTwoLanguages()
{
    QVERIFY(m_f->play());
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

// The choices libVLC offers, and the happy path of setting them, are seen
// through the window's context menu.
void TestMediaPlayer::videoGeometryNeedsTheVideoOutput()
{
    const PlaybackState& playback = m_f->player->playback();
    QVERIFY(playback.cropChoices().isEmpty());
    QVERIFY(m_f->log.contains("[MediaPlayer::getCropChoices] no VOUT found"));
    QVERIFY(!m_f->player->setMarginCrop(8, 4, 8, 4));
    QVERIFY(m_f->log.contains("[MediaPlayer::setMarginCrop] no VOUT found"));

    QVERIFY(m_f->play());
    // libVLC checks the geometry in the video output once pictures flow.
    QTRY_VERIFY_WITH_TIMEOUT(playback.statistics().videoPicturesDisplayed > 0, 5000);
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->setMarginCrop(8, 4, 8, 4), 5000);

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
    QVERIFY(m_f->play());
    QVERIFY(!m_f->log.waitFor("MarginCropController", quiet));

    controller.setMargins(4, 4, 4, 4);
    QVERIFY(m_f->log.waitFor(cropSet));
    QVERIFY(!controller.isTrying());
    m_f->player->stop();
    QVERIFY(m_f->events->waitFor("stopped"));
    controller.setMargins(16, 8, 16, 8);
    QVERIFY(controller.isTrying());
    QVERIFY(noNewFailure());
    QVERIFY(m_f->play());
    QTRY_VERIFY(m_f->log.count(cropSet) >= 2);

    controller.reset();
    const int setBefore = m_f->log.count(cropSet);
    QVERIFY(m_f->play());
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
    QVERIFY(m_f->play());
    m_f->player->setGPUAcceleration(true);
    QVERIFY(m_f->events->waitFor("playing", 2));
    m_f->player->setGPUAcceleration(true);
    m_f->player->setGPUAcceleration(false);
    QVERIFY(m_f->events->waitFor("playing", 3));
    QCOMPARE(m_f->log.count("Settings use GPU acceleration"), 1);
    QCOMPARE(m_f->log.count("Settings not use GPU acceleration"), 1);
}

void TestMediaPlayer::recordsIntoANamedFileThatPlaysBack()
{
    const QString folder = m_f->folder.path();
    QVERIFY(!m_f->player->canRecord());
    QVERIFY(!m_f->player->startRecord(folder));
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(m_f->player->canRecord());
    QFile plain(m_f->folder.filePath("plain-file"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    QVERIFY(!m_f->player->startRecord(plain.fileName() + "/recording.mpg"));
    QVERIFY(m_f->log.contains("[MediaPlayer::startRecord] Failed to start recording, error = -1"));
    QVERIFY(!m_f->player->isRecording());
    QVERIFY(plain.remove());

    // The file played back has a path that needs encoding in a location.
    const QString name = "2024.05.01 20.00 - Fête #1 (Copy) 100%.mpg";
    const QString target = m_f->folder.filePath(name);
    QVERIFY(record(name));
    QVERIFY(m_f->player->isRecording());
    QVERIFY(m_f->log.contains("[MediaPlayer::startRecord] Recording to " + target));
    QVERIFY(!m_f->player->startRecord(m_f->folder.filePath("second.mpg")));
    const qint64 early = bytesIn(folder);
    QTRY_VERIFY_WITH_TIMEOUT(bytesIn(folder) > early + 50000, 5000);

    QSignalSpy finished(m_f->player.get(), &MediaPlayer::recordingFinished);
    m_f->player->stopRecord();
    QVERIFY(m_f->log.contains("[MediaPlayer::stopRecord] Recording stopped"));
    QVERIFY(!m_f->player->isRecording());
    QVERIFY(finished.wait());
    QCOMPARE(finished.first().at(0).toString(), target);
    QCOMPARE(namesIn(folder), QStringList{name});
    QCOMPARE(m_f->events->names().mid(2), QStringList({"recording", "recordStopped"}));

    QVERIFY(m_f->play(target));
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().statistics().videoBlocksDecoded > 0, 5000);
}

// Each recording ends once, in place, and the next one starts afresh.
void TestMediaPlayer::whatEndsTheRecordingLeavesItInPlace()
{
    QFETCH(QString, ending);
    const bool stops = ending == "stop" || ending == "end of stream";
    if (ending == "end of stream")
        m_f->server.setCloseAfter(m_f->server.size() / 3);
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(record("first.mpg"));

    if (ending == "stop")
        m_f->player->stop();
    else if (ending == "open")
        m_f->player->open(m_f->server.url());
    else if (ending == "openFile")
        m_f->player->openFile(PlayerSample::path());
    else if (ending == "reopen")
        m_f->player->reopen();
    else if (ending == "instance")
        m_f->player->setGPUAcceleration(true);
    QVERIFY(m_f->events->waitFor("recordStopped", 1, 20000));
    QTRY_COMPARE(namesIn(m_f->folder.path()), QStringList{"first.mpg"});
    if (stops) {
        QVERIFY(m_f->events->waitFor("stopped"));
        QCOMPARE(m_f->events->count("stopped"), 1);
        if (ending == "stop")
            QCOMPARE(m_f->events->names().mid(2),
                     QStringList({"recording", "recordStopped", "stopByUser", "stopped"}));
        return;
    }
    QVERIFY(m_f->events->waitFor("playing", 2));
    QVERIFY(record("second.mpg"));
    m_f->player->stopRecord();
    QTRY_COMPARE(namesIn(m_f->folder.path()), QStringList({"first.mpg", "second.mpg"}));
    QCOMPARE(m_f->events->count("recordStopped"), 2);
}

// The window records into a folder, where the file keeps libVLC's name.
void TestMediaPlayer::recordsIntoAFolderThenDiesKeepingTheRecordingAndTellingNobody()
{
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(record(""));
    QSignalSpy finished(m_f->player.get(), &MediaPlayer::recordingFinished);
    m_f->player->stopRecord();
    QVERIFY(finished.wait());
    QCOMPARE(finished.first().at(0).toString(), QDir(m_f->folder.path()).absolutePath());
    const QStringList names = namesIn(m_f->folder.path());
    QCOMPARE(names.size(), 1);
    QVERIFY2(names.first().startsWith("vlc-record-"), qPrintable(names.first()));

    QVERIFY(record("until the end.mpg"));
    QSignalSpy stopped(m_f->player.get(), &MediaPlayer::recordStopped);
    m_f->player.reset();
    QCOMPARE(stopped.count() + finished.count(), 1);
    QCOMPARE(namesIn(m_f->folder.path()), QStringList{"until the end.mpg"} + names);
}

// The watch runs every few seconds; the player plays on.
void TestMediaPlayer::aRecordingWithoutFolderOrDiskStopsWithAReason()
{
    QFETCH(QString, failure);
    QFETCH(QString, reason);
    QFETCH(QString, kept);
    const QString folder = m_f->folder.filePath("telecasts");
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(record("telecasts/Evening.mpg"));
    QSignalSpy failed(m_f->player.get(), &MediaPlayer::recordingFailed);
    if (failure == "remove")
        QVERIFY(QDir(folder).removeRecursively());
    else
        m_f->player->findChild<StreamRecorder*>()->setDiskMargin(
            std::numeric_limits<qint64>::max());

    QVERIFY(failed.wait(3 * StreamRecorder::watchInterval));
    QCOMPARE(failed.first().at(0).toString(), reason.arg(QDir::toNativeSeparators(folder)));
    QVERIFY(!m_f->player->isRecording());
    QCOMPARE(m_f->events->names().mid(2), QStringList({"recording", "recordStopped"}));
    QTRY_COMPARE(namesIn(folder), kept.isEmpty() ? QStringList() : QStringList{kept});
    QCOMPARE(QFileInfo::exists(folder), failure != "remove");
    QVERIFY(m_f->player->playback().isPlaying());
    QVERIFY(!failed.wait(StreamRecorder::watchInterval + 500));
}

// A stall shorter than the player's patience leaves the recording running;
// the end of the stream puts it in place with what came after the stall.
void TestMediaPlayer::recordsThroughAStallAndKeepsWhatCameWhenTheStreamEnds()
{
    m_f->server.setSilentAfter(m_f->server.size() / 5, 3000);
    m_f->server.setCloseAfter(m_f->server.size() / 2);
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(record("stall.mpg"));
    QSignalSpy finished(m_f->player.get(), &MediaPlayer::recordingFinished);
    QVERIFY(m_f->events->waitFor("recordStopped", 1, 20000));
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().at(0).toString(), m_f->folder.filePath("stall.mpg"));
    QCOMPARE(namesIn(m_f->folder.path()), QStringList{"stall.mpg"});
    QVERIFY(QFileInfo(m_f->folder.filePath("stall.mpg")).size() > m_f->server.size() / 4);
    QCOMPARE(m_f->events->count("recordStopped"), 1);
}

QTEST_MAIN(TestMediaPlayer)
#include "tst_mediaplayer.moc"
