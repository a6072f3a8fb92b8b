#include "instanceoptions.h"
#include "logcapture.h"
#include "playertestsupport.h"
#include "settings.h"
#include "temporaryprofile.h"
#include "videoplatform.h"

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

}  // namespace

class TestInstanceOptions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void defaultsInOrder();
    void conditionalOptions();
    void networkCachingRange_data();
    void networkCachingRange();
    void logsWhatItSets();
    void libvlcAcceptsEveryVariant_data();
    void libvlcAcceptsEveryVariant();
    void headlessPlatformGetsDummyOutputs();
    void optionsFromTheSettingsStore();

private:
    std::unique_ptr<PlayerTestEnvironment> m_environment;
};

void TestInstanceOptions::initTestCase()
{
    m_environment = std::make_unique<PlayerTestEnvironment>();
}

void TestInstanceOptions::defaultsInOrder()
{
    InstanceOptions options;
    options.recordPath = "/records";
    options.outputArguments = {"--vout=vdummy"};
    const QStringList expected = {
        "-I",
        "dummy",
        "--no-osd",
        "--ignore-config",
        "--avcodec-hw=none",
        "--deinterlace=1",
        "--udp-caching=1000",
        "--http-reconnect",
        "--network-caching=5000",
        "--input-record-path=/records",
        "--vout=vdummy",
    };
    QCOMPARE(instanceArguments(options), expected);
}

void TestInstanceOptions::conditionalOptions()
{
    InstanceOptions options;
    options.gpuDecoding = true;
    options.ftpSource = true;
    options.httpReconnect = false;
    options.subtitleFont = "/fonts/times.ttf";
    const QStringList arguments = instanceArguments(options);
    QVERIFY(arguments.contains("--avcodec-hw=any"));
    QVERIFY(!arguments.contains("--avcodec-hw=none"));
    QVERIFY(arguments.contains("--ftp-caching=5000"));
    QVERIFY(!arguments.contains("--udp-caching=1000"));
    QVERIFY(!arguments.contains("--http-reconnect"));
    QCOMPARE(arguments.last(), QString("--freetype-font=/fonts/times.ttf"));
}

void TestInstanceOptions::networkCachingRange_data()
{
    QTest::addColumn<int>("caching");
    QTest::addColumn<bool>("passed");
    QTest::newRow("0") << 0 << false;
    QTest::newRow("1") << 1 << true;
    QTest::newRow("60000") << 60000 << true;
    QTest::newRow("60001") << 60001 << false;
    QTest::newRow("-1") << -1 << false;
}

void TestInstanceOptions::networkCachingRange()
{
    QFETCH(int, caching);
    QFETCH(bool, passed);
    InstanceOptions options;
    options.networkCaching = caching;
    LogCapture log;
    const QStringList arguments = instanceArguments(options);
    QCOMPARE(arguments.contains(QString("--network-caching=%1").arg(caching)), passed);
    QCOMPARE(arguments.filter("--network-caching").size(), passed ? 1 : 0);
    QCOMPARE(log.contains(QString("Setting network caching to %1 ms").arg(caching)), passed);
}

void TestInstanceOptions::logsWhatItSets()
{
    InstanceOptions options;
    options.recordPath = "/home/user/Recordings";
    options.subtitleFont = "/fonts/times.ttf";
    LogCapture log;
    instanceArguments(options);
    QVERIFY(log.contains("Setting input-record-path to /home/user/Recordings"));
    QVERIFY(log.contains("Setting subtitle font to /fonts/times.ttf"));
}

void TestInstanceOptions::libvlcAcceptsEveryVariant_data()
{
    QTest::addColumn<InstanceOptions>("options");
    InstanceOptions defaults;
    QTest::newRow("defaults") << defaults;
    InstanceOptions everything;
    everything.gpuDecoding = true;
    everything.ftpSource = true;
    everything.networkCaching = 60000;
    everything.recordPath = "/tmp/with space";
    everything.subtitleFont = "/usr/share/fonts/none.ttf";
    QTest::newRow("every option") << everything;
    InstanceOptions nothingOptional;
    nothingOptional.httpReconnect = false;
    nothingOptional.networkCaching = 0;
    QTest::newRow("no optional option") << nothingOptional;
}

void TestInstanceOptions::libvlcAcceptsEveryVariant()
{
    QFETCH(InstanceOptions, options);
    options.outputArguments = VideoPlatform::outputArguments();
    QVERIFY(libvlcAccepts(instanceArguments(options)));
    QVERIFY(!libvlcAccepts(instanceArguments(options) << "--no-such-option"));
}

void TestInstanceOptions::headlessPlatformGetsDummyOutputs()
{
    QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
    const QStringList outputs = VideoPlatform::outputArguments();
    QVERIFY(outputs.contains("--vout=vdummy"));
    QVERIFY(outputs.contains("--aout=adummy"));
}

void TestInstanceOptions::optionsFromTheSettingsStore()
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
    QCOMPARE(options.outputArguments, VideoPlatform::outputArguments());
    Settings::destroy();
}

QTEST_MAIN(TestInstanceOptions)
#include "tst_instanceoptions.moc"
