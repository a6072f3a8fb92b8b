#include "deinterlacemode.h"
#include "instanceoptions.h"
#include "logcapture.h"
#include "medialocation.h"
#include "playertestsupport.h"
#include "settings.h"
#include "streamwatchdog.h"
#include "temporaryprofile.h"
#include "videoplatform.h"

#include <QSignalSpy>
#include <QTest>

#include <vlc/vlc.h>

Q_DECLARE_METATYPE(InstanceOptions)

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

InstanceOptions withCaching(int milliseconds)
{
    InstanceOptions options;
    options.networkCaching = milliseconds;
    return options;
}

}  // namespace

// What the player decides without anything playing: the arguments of its
// libVLC instance, the locations it opens, when a stream counts as stalled.
class TestPlayerRules : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();

    void instanceArgumentsAreTakenByLibvlc_data();
    void instanceArgumentsAreTakenByLibvlc();
    void optionsComeFromTheSettingsStore();
    void fileLocations_data();
    void fileLocations();
    void deinterlaceSettingsOutOfRangeReadAsNone();
    void watchdogReportsAStallOnceWhileArmed();

private:
    std::unique_ptr<PlayerTestEnvironment> m_environment;
};

void TestPlayerRules::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
}

void TestPlayerRules::instanceArgumentsAreTakenByLibvlc_data()
{
    QTest::addColumn<InstanceOptions>("options");
    QTest::addColumn<QStringList>("arguments");  // after "-I dummy --no-osd --ignore-config"
    QTest::addColumn<QStringList>("logged");

    InstanceOptions defaults;
    defaults.recordPath = "/home/user/Recordings";
    QTest::newRow("defaults") << defaults
                              << QStringList{"--avcodec-hw=none",
                                             "--deinterlace=1",
                                             "--udp-caching=1000",
                                             "--http-reconnect",
                                             "--network-caching=5000",
                                             "--input-record-path=/home/user/Recordings"}
                              << QStringList{"Setting network caching to 5000 ms",
                                             "Setting input-record-path to /home/user/Recordings"};
    InstanceOptions other;
    other.gpuDecoding = true;
    other.ftpSource = true;
    other.httpReconnect = false;
    other.recordPath = "/tmp/with space";
    other.subtitleFont = "/fonts/times.ttf";
    QTest::newRow("every choice the other way")
        << other
        << QStringList{"--avcodec-hw=any",
                       "--deinterlace=1",
                       "--ftp-caching=5000",
                       "--network-caching=5000",
                       "--input-record-path=/tmp/with space",
                       "--freetype-font=/fonts/times.ttf"}
        << QStringList{"Setting subtitle font to /fonts/times.ttf"};

    const QStringList common{"--avcodec-hw=none", "--deinterlace=1", "--udp-caching=1000",
                             "--http-reconnect"};
    for (const int caching : {0, -1, 60001})
        QTest::addRow("caching %d is left out", caching)
            << withCaching(caching) << common + QStringList{"--input-record-path="}
            << QStringList{};
    for (const int caching : {1, 60000})
        QTest::addRow("caching %d is kept", caching)
            << withCaching(caching)
            << common +
                   QStringList{QString("--network-caching=%1").arg(caching), "--input-record-path="}
            << QStringList{QString("Setting network caching to %1 ms").arg(caching)};
}

void TestPlayerRules::instanceArgumentsAreTakenByLibvlc()
{
    QFETCH(InstanceOptions, options);
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, logged);
    options.outputArguments = {"--vout=vdummy"};
    LogCapture log;
    const QStringList built = instanceArguments(options);
    QCOMPARE(built, QStringList({"-I", "dummy", "--no-osd", "--ignore-config"}) + arguments +
                        QStringList{"--vout=vdummy"});
    for (const QString& line : logged)
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
    QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
    QCOMPARE(options.outputArguments, VideoPlatform::outputArguments());
    QVERIFY(options.outputArguments.contains("--vout=vdummy"));
    QVERIFY(options.outputArguments.contains("--aout=adummy"));
    Settings::destroy();
}

// What is shown of a recording, and what libVLC is given to open it.
void TestPlayerRules::fileLocations_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("location");
    QTest::newRow("unix") << "/home/user/Rec/news.mpg"
                          << "file:///home/user/Rec/news.mpg"
                          << "file:///home/user/Rec/news.mpg";
    QTest::newRow("drive") << "C:/Users/user/Rec/news.mpg"
                           << "file:///C:/Users/user/Rec/news.mpg"
                           << "file:///C:/Users/user/Rec/news.mpg";
    QTest::newRow("blanks and signs") << "/rec/2024.05.01 20.00 - A&B #1.mpg"
                                      << "file:///rec/2024.05.01 20.00 - A&B #1.mpg"
                                      << "file:///rec/2024.05.01%2020.00%20-%20A%26B%20%231.mpg";
    QTest::newRow("cyrillic") << "/rec/Новости.mpg"
                              << "file:///rec/Новости.mpg"
                              << "file:///rec/%D0%9D%D0%BE%D0%B2%D0%BE%D1%81%D1%82%D0%B8.mpg";
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

QTEST_MAIN(TestPlayerRules)
#include "tst_playerrules.moc"
