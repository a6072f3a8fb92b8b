#include "mediaplayer.h"
#include "playertestsupport.h"
#include "recordingfile.h"

#include <QDir>
#include <QDirIterator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QStringList namesIn(const QString& folder)
{
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    names.sort();
    return names;
}

qint64 bytesIn(const QString& folder)
{
    qint64 bytes = 0;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
        bytes += it.nextFileInfo().size();
    return bytes;
}

void writeFile(const QString& path, const QByteArray& content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestRecording : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void recordsIntoANamedFileThatPlaysBack();
    void recordsIntoAFolderUnderLibvlcsName();
    void whatEndsTheRecordingLeavesItInPlace_data();
    void whatEndsTheRecordingLeavesItInPlace();
    void aDyingPlayerKeepsItsRecordingAndTellsNobody();
    void anUnwritableFolderIsRefused();

    void aFinishedRecordingTakesTheNextFreeName_data();
    void aFinishedRecordingTakesTheNextFreeName();
    void finishWaitsForLibvlcsFileAndAbandonCleansUp();

private:
    // Starts a recording into the folder and waits for its first bytes.
    bool record(const QString& name);
    QString folder() const { return m_folder->path(); }

    std::unique_ptr<PlayerTestEnvironment> m_environment;
    std::unique_ptr<PlayerFixture> m_f;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void TestRecording::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
}

void TestRecording::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    m_f = std::make_unique<PlayerFixture>();
    QVERIFY(m_f->server.port() != 0);
}

void TestRecording::cleanup()
{
    m_f.reset();
    m_folder.reset();
}

bool TestRecording::record(const QString& name)
{
    const qint64 before = bytesIn(folder());
    return m_f->player->startRecord(m_folder->filePath(name)) &&
           QTest::qWaitFor([&] { return bytesIn(folder()) > before; }, 5000);
}

void TestRecording::recordsIntoANamedFileThatPlaysBack()
{
    QVERIFY(!m_f->player->canRecord());
    QVERIFY(!m_f->player->startRecord(folder()));
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(m_f->player->canRecord());

    const QString target = m_folder->filePath("2024.05.01 20.00 - News - Evening.mpg");
    QVERIFY(record(QFileInfo(target).fileName()));
    QVERIFY(m_f->player->isRecording());
    QVERIFY(m_f->log.contains("[MediaPlayer::startRecord] Recording to " + target));
    QVERIFY(!m_f->player->startRecord(m_folder->filePath("second.mpg")));
    const qint64 early = bytesIn(folder());
    QTRY_VERIFY_WITH_TIMEOUT(bytesIn(folder()) > early + 50000, 5000);

    QSignalSpy finished(m_f->player.get(), &MediaPlayer::recordingFinished);
    m_f->player->stopRecord();
    QVERIFY(m_f->log.contains("[MediaPlayer::stopRecord] Recording stopped"));
    QVERIFY(!m_f->player->isRecording());
    QVERIFY(finished.wait());
    QCOMPARE(finished.first().at(0).toString(), target);
    QCOMPARE(namesIn(folder()), QStringList{QFileInfo(target).fileName()});
    QCOMPARE(m_f->events->names().mid(2), QStringList({"recording", "recordStopped"}));

    QVERIFY(m_f->playFile(target));
    QTRY_VERIFY_WITH_TIMEOUT(m_f->player->playback().statistics().videoBlocksDecoded > 0, 5000);
}

void TestRecording::recordsIntoAFolderUnderLibvlcsName()
{
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(m_f->player->startRecord(folder()));
    QTRY_VERIFY_WITH_TIMEOUT(bytesIn(folder()) > 0, 5000);
    QSignalSpy finished(m_f->player.get(), &MediaPlayer::recordingFinished);
    m_f->player->stopRecord();
    QVERIFY(finished.wait());
    QCOMPARE(finished.first().at(0).toString(), QDir(folder()).absolutePath());
    const QStringList names = namesIn(folder());
    QCOMPARE(names.size(), 1);
    QVERIFY2(names.first().startsWith("vlc-record-"), qPrintable(names.first()));
}

void TestRecording::whatEndsTheRecordingLeavesItInPlace_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("stopping playback") << "stop";
    QTest::newRow("the end of the stream") << "end";
    QTest::newRow("a channel switch") << "open";
    QTest::newRow("a file") << "openFile";
    QTest::newRow("a reopen") << "reopen";
    QTest::newRow("a new instance") << "instance";
}

// Each recording ends once, in place, and the next one starts afresh.
void TestRecording::whatEndsTheRecordingLeavesItInPlace()
{
    QFETCH(QString, ending);
    if (ending == "end")
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
    QTRY_COMPARE(namesIn(folder()), QStringList{"first.mpg"});
    if (ending == "stop" || ending == "end") {
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
    QTRY_COMPARE(namesIn(folder()), QStringList({"first.mpg", "second.mpg"}));
    QCOMPARE(m_f->events->count("recordStopped"), 2);
}

void TestRecording::aDyingPlayerKeepsItsRecordingAndTellsNobody()
{
    QVERIFY(m_f->play(m_f->server.url()));
    QVERIFY(record("until the end.mpg"));
    QSignalSpy stopped(m_f->player.get(), &MediaPlayer::recordStopped);
    QSignalSpy finished(m_f->player.get(), &MediaPlayer::recordingFinished);
    m_f->player.reset();
    QCOMPARE(stopped.count() + finished.count(), 0);
    QCOMPARE(namesIn(folder()), QStringList{"until the end.mpg"});
}

void TestRecording::anUnwritableFolderIsRefused()
{
    QVERIFY(m_f->play(m_f->server.url()));
    writeFile(m_folder->filePath("plain-file"), "x");
    QVERIFY(!m_f->player->startRecord(m_folder->filePath("plain-file/recording.mpg")));
    QVERIFY(m_f->log.contains("[MediaPlayer::startRecord] Failed to start recording, error = -1"));
    QCOMPARE(m_f->events->count("recording"), 0);
    QVERIFY(!m_f->player->isRecording());
    QVERIFY(record("after all.mpg"));
}

void TestRecording::aFinishedRecordingTakesTheNextFreeName_data()
{
    QTest::addColumn<QStringList>("taken");
    QTest::addColumn<QString>("placed");
    const QString name = QStringLiteral("2024.05.01 20.00 - News - Evening.mpg");
    const QString second = QStringLiteral("2024.05.01 20.00 - News - Evening (2).mpg");
    QTest::newRow("free") << QStringList() << name;
    QTest::newRow("taken") << QStringList{name} << second;
    QTest::newRow("taken twice") << QStringList{name, second}
                                 << "2024.05.01 20.00 - News - Evening (3).mpg";
    QTest::newRow("no suffix") << QStringList{"News"} << "News (2)";
}

void TestRecording::aFinishedRecordingTakesTheNextFreeName()
{
    QFETCH(QStringList, taken);
    QFETCH(QString, placed);
    for (const QString& name : taken)
        writeFile(m_folder->filePath(name), "earlier " + name.toUtf8());
    RecordingFile file;
    QVERIFY(file.begin(m_folder->filePath(taken.value(0, placed))));
    writeFile(file.folder() + "/vlc-record-2024-05-01-20h00m00s-stream.ts-.ts", "TS data");

    QCOMPARE(file.finish(), std::optional<QString>(m_folder->filePath(placed)));
    QCOMPARE(readFile(m_folder->filePath(placed)), QByteArray("TS data"));
    for (const QString& name : taken)
        QCOMPARE(readFile(m_folder->filePath(name)), "earlier " + name.toUtf8());
    QStringList expected = taken << placed;
    expected.sort();
    QCOMPARE(namesIn(folder()), expected);
}

void TestRecording::finishWaitsForLibvlcsFileAndAbandonCleansUp()
{
    RecordingFile file;
    const QString target = m_folder->filePath("later.mpg");
    QVERIFY(file.begin(target));
    QVERIFY(!file.finish());
    QVERIFY(file.isActive());
    writeFile(file.folder() + "/vlc-record.ts", "late");
    QCOMPARE(file.finish(), std::optional<QString>(target));
    QCOMPARE(readFile(target), QByteArray("late"));

    RecordingFile never;
    QVERIFY(never.begin(m_folder->filePath("never.mpg")));
    never.abandon();
    QVERIFY(!never.isActive());
    QCOMPARE(namesIn(folder()), QStringList{"later.mpg"});
}

QTEST_MAIN(TestRecording)
#include "tst_recording.moc"
