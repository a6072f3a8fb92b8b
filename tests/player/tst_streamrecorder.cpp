#include "logcapture.h"
#include "mediaplayer.h"
#include "pacedhttpserver.h"
#include "playertestsupport.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int playTimeout = 15000;

QFileInfoList filesUnder(const QString& folder)
{
    QFileInfoList files;
    const QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries)
        files += entry.isDir() ? filesUnder(entry.absoluteFilePath()) : QFileInfoList{entry};
    return files;
}

qint64 bytesUnder(const QString& folder)
{
    qint64 bytes = 0;
    for (const QFileInfo& file : filesUnder(folder))
        bytes += file.size();
    return bytes;
}

}  // namespace

class TestStreamRecorder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void nothingToRecordWhileStopped();
    void recordsIntoANamedFileThatGrowsAndPlaysBack();
    void recordsIntoAFolderUnderLibvlcsName();
    void aSecondStartIsRefusedWhileRecording();
    void stoppingPlaybackEndsTheRecording();
    void theEndOfTheStreamEndsTheRecording();
    void whatReplacesTheInputEndsTheRecording_data();
    void whatReplacesTheInputEndsTheRecording();
    void aDyingPlayerKeepsItsRecordingAndTellsNobody();
    void anUnwritableFolderIsRefused();

private:
    bool playStream();
    bool playFile(const QString& path);

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<PacedHttpServer> m_server;
    std::unique_ptr<MediaPlayer> m_player;
    std::unique_ptr<QTemporaryDir> m_folder;
    PlayerSignals* m_signals = nullptr;
};

void TestStreamRecorder::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
}

void TestStreamRecorder::init()
{
    m_log = std::make_unique<LogCapture>();
    m_folder = std::make_unique<QTemporaryDir>();
    m_server = std::make_unique<PacedHttpServer>(PlayerSample::path(), PlayerSample::seconds);
    QVERIFY(m_server->listen());
    m_player = std::make_unique<MediaPlayer>(PlayerTestEnvironment::options());
    m_signals = new PlayerSignals(m_player.get());
}

void TestStreamRecorder::cleanup()
{
    m_player.reset();
    m_server.reset();
    m_folder.reset();
    m_log.reset();
}

bool TestStreamRecorder::playStream()
{
    m_player->open(m_server->url());
    return m_signals->waitFor("playing", m_signals->count("playing") + 1, playTimeout);
}

bool TestStreamRecorder::playFile(const QString& path)
{
    m_player->openFile(path);
    return m_signals->waitFor("playing", m_signals->count("playing") + 1, playTimeout);
}

void TestStreamRecorder::nothingToRecordWhileStopped()
{
    QVERIFY(!m_player->canRecord());
    QVERIFY(!m_player->startRecord(m_folder->path()));
    QVERIFY(!m_player->isRecording());
    QCOMPARE(m_signals->count("recording"), 0);
}

void TestStreamRecorder::recordsIntoANamedFileThatGrowsAndPlaysBack()
{
    QVERIFY(playStream());
    QVERIFY(m_player->canRecord());
    const QString target = m_folder->filePath("2024.05.01 20.00 - News - Evening.mpg");
    QVERIFY(m_player->startRecord(target));
    QCOMPARE(m_signals->count("recording"), 1);
    QVERIFY(m_player->isRecording());
    QVERIFY(m_log->contains("[MediaPlayer::startRecord] Recording to " + target));

    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);
    const qint64 early = bytesUnder(m_folder->path());
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > early + 50000, 5000);

    QSignalSpy finished(m_player.get(), &MediaPlayer::recordingFinished);
    m_player->stopRecord();
    QCOMPARE(m_signals->count("recordStopped"), 1);
    QVERIFY(m_log->contains("[MediaPlayer::stopRecord] Recording stopped"));
    QVERIFY(!m_player->isRecording());
    QVERIFY(finished.wait());
    QCOMPARE(finished.first().at(0).toString(), target);
    QCOMPARE(filesUnder(m_folder->path()), QFileInfoList{QFileInfo(target)});

    m_player->stop();
    QVERIFY(m_signals->waitFor("stopped"));
    QVERIFY(playFile(target));
    QTRY_VERIFY_WITH_TIMEOUT(m_player->playback().statistics().videoBlocksDecoded > 0, 5000);
}

void TestStreamRecorder::recordsIntoAFolderUnderLibvlcsName()
{
    QVERIFY(playStream());
    QVERIFY(m_player->startRecord(m_folder->path()));
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);
    m_player->stopRecord();
    QCOMPARE(m_signals->count("recordStopped"), 1);
    const QFileInfoList files = filesUnder(m_folder->path());
    QCOMPARE(files.size(), 1);
    QCOMPARE(files.first().absolutePath(), QDir(m_folder->path()).absolutePath());
    QVERIFY2(files.first().fileName().startsWith("vlc-record-"),
             qPrintable(files.first().fileName()));
}

void TestStreamRecorder::aSecondStartIsRefusedWhileRecording()
{
    QVERIFY(playStream());
    QVERIFY(m_player->startRecord(m_folder->filePath("first.mpg")));
    QVERIFY(!m_player->startRecord(m_folder->filePath("second.mpg")));
    QCOMPARE(m_signals->count("recording"), 1);
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);
    m_player->stopRecord();
    QTRY_VERIFY(QFileInfo::exists(m_folder->filePath("first.mpg")));
    QVERIFY(!QFileInfo::exists(m_folder->filePath("second.mpg")));
}

void TestStreamRecorder::stoppingPlaybackEndsTheRecording()
{
    QVERIFY(playStream());
    const QString target = m_folder->filePath("cut short.mpg");
    QVERIFY(m_player->startRecord(target));
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);
    m_player->stop();
    QVERIFY(m_signals->waitFor("stopped"));
    QCOMPARE(m_signals->names().mid(2),
             QStringList({"recording", "recordStopped", "stopByUser", "stopped"}));
    QTRY_COMPARE(filesUnder(m_folder->path()), QFileInfoList{QFileInfo(target)});
    QVERIFY(QFileInfo(target).size() > 0);
}

void TestStreamRecorder::theEndOfTheStreamEndsTheRecording()
{
    m_server->setCloseAfter(m_server->size() / 3);
    QVERIFY(playStream());
    const QString target = m_folder->filePath("to the end.mpg");
    QVERIFY(m_player->startRecord(target));
    QVERIFY(m_signals->waitFor("recordStopped", 1, 20000));
    QVERIFY(m_signals->count("stopped") == 1);
    QTRY_COMPARE(filesUnder(m_folder->path()), QFileInfoList{QFileInfo(target)});
}

void TestStreamRecorder::whatReplacesTheInputEndsTheRecording_data()
{
    QTest::addColumn<QString>("replacement");
    QTest::newRow("a channel switch") << "open";
    QTest::newRow("a file") << "openFile";
    QTest::newRow("a reopen") << "reopen";
    QTest::newRow("a new instance") << "instance";
}

// Each recording ends once, in place, and the next one starts afresh.
void TestStreamRecorder::whatReplacesTheInputEndsTheRecording()
{
    QFETCH(QString, replacement);
    QVERIFY(playStream());
    const QString first = m_folder->filePath("first.mpg");
    QVERIFY(m_player->startRecord(first));
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);

    if (replacement == "open")
        m_player->open(m_server->url());
    else if (replacement == "openFile")
        m_player->openFile(PlayerSample::path());
    else if (replacement == "reopen")
        m_player->reopen();
    else
        m_player->setGPUAcceleration(true);
    QVERIFY(m_signals->waitFor("playing", 2, playTimeout));
    QVERIFY(m_signals->waitFor("recordStopped"));
    QTRY_COMPARE(filesUnder(m_folder->path()), QFileInfoList{QFileInfo(first)});

    const QString second = m_folder->filePath("second.mpg");
    QVERIFY(m_player->startRecord(second));
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > QFileInfo(first).size(), 5000);
    m_player->stopRecord();
    QTRY_VERIFY(QFileInfo(second).size() > 0);
    QCOMPARE(filesUnder(m_folder->path()), QFileInfoList({QFileInfo(first), QFileInfo(second)}));
    QCOMPARE(m_signals->count("recordStopped"), 2);
}

void TestStreamRecorder::aDyingPlayerKeepsItsRecordingAndTellsNobody()
{
    QVERIFY(playStream());
    const QString target = m_folder->filePath("until the end.mpg");
    QVERIFY(m_player->startRecord(target));
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);
    QSignalSpy stopped(m_player.get(), &MediaPlayer::recordStopped);
    QSignalSpy finished(m_player.get(), &MediaPlayer::recordingFinished);
    m_player.reset();
    QCOMPARE(stopped.count() + finished.count(), 0);
    QCOMPARE(filesUnder(m_folder->path()), QFileInfoList{QFileInfo(target)});
    QVERIFY(QFileInfo(target).size() > 0);
}

void TestStreamRecorder::anUnwritableFolderIsRefused()
{
    QVERIFY(playStream());
    QFile plain(m_folder->filePath("plain-file"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();
    QVERIFY(!m_player->startRecord(plain.fileName() + "/recording.mpg"));
    QVERIFY(m_log->contains("[MediaPlayer::startRecord] Failed to start recording, error = -1"));
    QCOMPARE(m_signals->count("recording"), 0);
    QVERIFY(!m_player->isRecording());
    QVERIFY(m_player->startRecord(m_folder->filePath("after all.mpg")));
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(m_folder->path()) > 0, 5000);
    m_player->stopRecord();
    QTRY_VERIFY(QFileInfo::exists(m_folder->filePath("after all.mpg")));
}

QTEST_MAIN(TestStreamRecorder)
#include "tst_streamrecorder.moc"
