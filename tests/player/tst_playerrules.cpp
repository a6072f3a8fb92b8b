#include "deinterlacemode.h"
#include "instanceoptions.h"
#include "logcapture.h"
#include "medialocation.h"
#include "playertestsupport.h"
#include "recordingfile.h"
#include "settings.h"
#include "streamwatchdog.h"
#include "tablerows.h"
#include "temporaryprofile.h"
#include "videoplatform.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

#include <vlc/vlc.h>

namespace {

// Whether libVLC takes the arguments: it refuses an unknown option.
bool libvlcAccepts(const QStringList& arguments)
{
    const ArgumentVector argv(arguments);
    libvlc_instance_t* instance = libvlc_new(argv.count(), argv.data());
    if (instance)
        libvlc_release(instance);
    return instance != nullptr;
}

QStringList listOf(const QString& cell)
{
    QStringList items = cell.split(';', Qt::SkipEmptyParts);
    for (QString& item : items)
        item = item.trimmed();
    return items;
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

// What the player decides without anything playing: the arguments of its
// libVLC instance, the locations it opens, when a stream counts as stalled,
// where a finished recording goes.
class TestPlayerRules : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_environment = std::make_unique<PlayerTestEnvironment>(); }

    void instanceArgumentsAreTakenByLibvlc_data()
    {
        addTableRows(QFINDTESTDATA("../data/player/instance-arguments.txt"));
    }
    void instanceArgumentsAreTakenByLibvlc();
    void optionsComeFromTheSettingsStore();
    void fileLocations_data() { addTableRows(QFINDTESTDATA("../data/player/file-locations.txt")); }
    void fileLocations();
    void deinterlaceSettingsOutOfRangeReadAsNone();
    void watchdogReportsAStallOnceWhileArmed();
    void aFinishedRecordingTakesTheNextFreeName_data()
    {
        addTableRows(QFINDTESTDATA("../data/player/recording-names.txt"));
    }
    void aFinishedRecordingTakesTheNextFreeName();

private:
    std::unique_ptr<PlayerTestEnvironment> m_environment;
};

void TestPlayerRules::instanceArgumentsAreTakenByLibvlc()
{
    QFETCH(QString, gpu);
    QFETCH(QString, ftp);
    QFETCH(QString, reconnect);
    QFETCH(QString, caching);
    QFETCH(QString, record);
    QFETCH(QString, font);
    QFETCH(QString, arguments);
    QFETCH(QString, logged);
    InstanceOptions options;
    const auto set = [](const QString& cell, auto& field, auto value) {
        if (cell != "-")
            field = value;
    };
    set(gpu, options.gpuDecoding, gpu == "yes");
    set(ftp, options.ftpSource, ftp == "yes");
    set(reconnect, options.httpReconnect, reconnect == "yes");
    set(caching, options.networkCaching, caching.toInt());
    set(record, options.recordPath, record);
    set(font, options.subtitleFont, font);
    options.outputArguments = {"--vout=vdummy"};
    LogCapture log;
    const QStringList built = instanceArguments(options);
    QCOMPARE(built, QStringList({"-I", "dummy", "--no-osd", "--ignore-config"}) +
                        listOf(arguments) + QStringList{"--vout=vdummy"});
    for (const QString& line : listOf(logged))
        QVERIFY2(log.contains(line), qPrintable(line));
    QCOMPARE(log.count("Setting network caching"), int(built.filter("--network-caching").size()));

    options.outputArguments = VideoPlatform::outputArguments();
    QVERIFY(libvlcAccepts(instanceArguments(options)));
    QVERIFY(!libvlcAccepts(instanceArguments(options) << "--no-such-option"));
}

void TestPlayerRules::optionsComeFromTheSettingsStore()
{
    TemporaryProfile profile;
    profile.writeIni(
        "use-GPU-acceleration=true\n"
        "use-http-reconnect=false\n"
        "network-caching=1500\n"
        "record-save-folder=/srv/records\n");
    const InstanceOptions options = InstanceOptions::fromSettings();
    QVERIFY(options.gpuDecoding);
    QVERIFY(!options.httpReconnect);
    QCOMPARE(options.networkCaching, 1500);
    QCOMPARE(options.recordPath, QString("/srv/records"));
    // Headless, libVLC gets dummy outputs.
    QCOMPARE(options.outputArguments, VideoPlatform::outputArguments());
    QVERIFY(options.outputArguments.contains("--vout=vdummy"));
    QVERIFY(options.outputArguments.contains("--aout=adummy"));
    Settings::destroy();
}

void TestPlayerRules::fileLocations()
{
    QFETCH(QString, path);
    QFETCH(QString, url);
    QFETCH(QString, location);
    QCOMPARE(MediaLocation::fileUrl(path), url);
    QCOMPARE(MediaLocation::ofFile(path), location);
}

void TestPlayerRules::deinterlaceSettingsOutOfRangeReadAsNone()
{
    QCOMPARE(Deinterlace::fromInt(3), DeinterlaceMode::Blend);
    QCOMPARE(Deinterlace::fromInt(-1), DeinterlaceMode::None);
    QCOMPARE(Deinterlace::fromInt(Deinterlace::modeCount), DeinterlaceMode::None);
    Deinterlace::registerMetaType();
    QCOMPARE(QMetaType::fromName("DeinterlaceMode"), QMetaType::fromType<DeinterlaceMode>());
}

// Silence while disarmed is no stall; a stall is reported once, then the
// watchdog is disarmed. That the counter moving holds it off is seen with a
// real stream in the player's tests.
void TestPlayerRules::watchdogReportsAStallOnceWhileArmed()
{
    StreamWatchdog watchdog([] { return qint64(42); });
    watchdog.setTimeout(100);
    QSignalSpy stalled(&watchdog, &StreamWatchdog::stalled);
    watchdog.arm();
    watchdog.disarm();
    QVERIFY(!stalled.wait(400));
    QElapsedTimer sinceArmed;
    sinceArmed.start();
    watchdog.arm();
    QVERIFY(stalled.wait());
    QVERIFY(sinceArmed.elapsed() >= 100);
    QVERIFY(!watchdog.isArmed());
    QVERIFY(!stalled.wait(400));
    QCOMPARE(stalled.size(), 1);
}

void TestPlayerRules::aFinishedRecordingTakesTheNextFreeName()
{
    QFETCH(QString, way);
    QFETCH(QString, names);
    QFETCH(QString, placed);
    QStringList taken = listOf(names);
    QTemporaryDir folder;
    for (const QString& name : taken)
        writeFile(folder.filePath(name), "earlier " + name.toUtf8());
    RecordingFile file;
    QVERIFY(file.begin(folder.filePath(taken.value(0, placed))));
    QVERIFY(!file.finish());  // until libVLC has written its file
    QVERIFY(file.isActive());
    writeFile(file.folder() + "/vlc-record-2024-05-01-20h00m00s-stream.ts-.ts", "TS data");

    if (way == "finish") {
        QCOMPARE(file.finish(), std::optional<QString>(folder.filePath(placed)));
        QVERIFY(!file.isActive());
    } else {
        // A player killed while recording this, and another recording that
        // had written nothing yet; a third recording is running.
        RecordingFile empty;
        QVERIFY(empty.begin(folder.filePath("nothing yet.mpg")));
        RecordingFile running;
        QVERIFY(running.begin(folder.filePath("running.mpg")));
        writeFile(running.folder() + "/vlc-record-running.ts", "running");
        QCOMPARE(RecordingFile::recoverAbandoned(folder.path(), {running.folder()}),
                 QStringList{folder.filePath(placed)});
        QCOMPARE(QDir(running.folder()).entryList(QDir::Files), {"vlc-record-running.ts"});
        QVERIFY(QDir(running.folder()).removeRecursively());
    }
    QCOMPARE(readFile(folder.filePath(placed)), QByteArray("TS data"));
    for (const QString& name : taken)
        QCOMPARE(readFile(folder.filePath(name)), "earlier " + name.toUtf8());
    QStringList expected = taken << placed;
    expected.sort();
    QCOMPARE(QDir(folder.path())
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
             expected);
}

QTEST_MAIN(TestPlayerRules)
#include "tst_playerrules.moc"
