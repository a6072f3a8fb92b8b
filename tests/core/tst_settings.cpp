#include "temporaryprofile.h"

#include <QSignalSpy>
#include <QTest>

namespace {

NetInterface makeInterface(const QString& name, const QStringList& addresses,
                           const QString& mac = QStringLiteral("02:00:00:00:00:01"))
{
    NetInterface result;
    result.name = name;
    result.humanReadableName = name + QStringLiteral(" adapter");
    result.hardwareAddress = mac;
    result.addresses = addresses;
    return result;
}

const QList<NetInterface> machineInterfaces{
    makeInterface("lo", {"127.0.0.1", "::1"}, "00:00:00:00:00:00"),
    makeInterface("wlan0", {"fe80::2"}),
    makeInterface("eth0", {"192.168.1.20", "fe80::1"}, "AA:BB:CC:DD:EE:01"),
    makeInterface("eth1", {"10.1.2.3"}, "AA:BB:CC:DD:EE:02"),
};

// The lines of one INI section, as "key=value".
QStringList sectionLines(const QByteArray& ini, const QString& section)
{
    QStringList lines;
    bool inside = false;
    for (const QByteArray& raw : ini.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('[')) {
            inside = line == '[' + section + ']';
            continue;
        }
        if (inside && !line.isEmpty())
            lines << line;
    }
    return lines;
}

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_profile = std::make_unique<TemporaryProfile>(); }
    void cleanup() { m_profile.reset(); }

    // Defaults and the file written.
    void freshProfileDefaults();
    void freshProfileWritesNothingUntilSaved();
    void savedIniText();
    void valuesSurviveRestart();

    // Bad files.
    void garbageValuesReadAsDefaults();
    void unreadableFileReadsDefaultsAndSaveDoesNotCrash();
    void handEditedKeysSurviveSaves();
    void emptyRecordFolderTakesScheduledFolder();

    // The setter protocol.
    void unchangedValueDoesNothing();
    void changeEmitsChangedThenItsOwnSignalAndSaves();
    void batchCollectsChangesIntoOneSave();
    void endBatchWithoutChangesIsSilent();
    void hotKeysSignalOnEveryCall();
    void windowGeometryComparesBothCoordinates();
    void cropAndAspectDefaultRule();
    void recordFoldersSetTogether();

    // Text mappings.
    void lastModeText_data();
    void lastModeText();
    void lastModeSaved_data();
    void lastModeSaved();
    void deinterlaceText_data();
    void deinterlaceText();

    // Interfaces and operator URLs.
    void interfaceChoiceAndAddresses();
    void storedInterfaceWinsOverDefault();
    void interfaceEnumeration();
    void updateAndPortalUrls();
    void serverHostAndPort_data();
    void serverHostAndPort();
    void serverCustomSettings_data();
    void serverCustomSettings();

private:
    std::unique_ptr<Settings> makeSettings() const
    {
        return std::make_unique<Settings>(machineInterfaces);
    }

    std::unique_ptr<TemporaryProfile> m_profile;
};

void TestSettings::freshProfileDefaults()
{
    const auto settings = makeSettings();
    const QString recordings = m_profile->home() + "/Documents/Zentria Media Player Recordings";
    QCOMPARE(settings->deinterlaceMode(), 5);
    QCOMPARE(settings->networkCaching(), 5000);
    QCOMPARE(settings->windowSize(), QSize(900, 600));
    QCOMPARE(settings->windowPosition(), QPoint(100, 100));
    QCOMPARE(settings->lastMode(), 0);
    QCOMPARE(settings->versionInfo(), QStringLiteral("old"));
    QCOMPARE(settings->scheduledRecordSaveFolder(), recordings);
    QCOMPARE(settings->recordSaveFolder(), recordings);
    QCOMPARE(settings->crop(), QString());
    QCOMPARE(settings->aspectRatio(), QString());
    QCOMPARE(settings->server(), QString());
    QCOMPARE(settings->globalVolume(), 100);
    QVERIFY(settings->isChannelListVisible());
    QVERIFY(settings->showChannelNumbers());
    QVERIFY(settings->showBlockedChannels());
    QVERIFY(settings->useHttpReconnect());
    QVERIFY(settings->useGlobalChannelList());
    QVERIFY(settings->useGlobalVolume());
    QVERIFY(settings->useHotKeys());
    QVERIFY(settings->firstTimeTray());
    QVERIFY(!settings->showUserChannels());
    QVERIFY(!settings->useGPUAcceleration());
    QVERIFY(!settings->closeToTray());
    QVERIFY(!settings->isAlwaysOnTop());
    QCOMPARE(settings->udpToHttpServer(), QStringLiteral("localhost"));
    QCOMPARE(settings->udpToHttpPort(), QStringLiteral("1234"));
    QCOMPARE(settings->networkInterface(), QStringLiteral("eth1"));
    QCOMPARE(settings->networkInterfaceAddress(), QHostAddress("10.1.2.3"));
    QCOMPARE(settings->macAddress(), QStringLiteral("AABBCCDDEE02"));
}

void TestSettings::freshProfileWritesNothingUntilSaved()
{
    const auto settings = makeSettings();
    QVERIFY(!Settings::settingsFileExists());
    QVERIFY(QFileInfo(Settings::dataDirectory()).isDir());
    QCOMPARE(Settings::settingsFilePath(), m_profile->iniPath());
}

void TestSettings::savedIniText()
{
    makeSettings()->save();
    const QByteArray ini = m_profile->readIni();
    const QString recordings = m_profile->home() + "/Documents/Zentria Media Player Recordings";

    QStringList general = sectionLines(ini, "General");
    general.sort();
    QStringList expectedGeneral{
        "aspect-value=Default",
        "channel-list-visible=true",
        "close-to-tray=false",
        "crop-value=Default",
        "deinterlace=linear",
        "first-time-tray=true",
        "global-volume=100",
        "install-zm=false",
        "last-channel=",
        "last-mode=iptv",
        "make-igmp-routing=false",
        "network-caching=5000",
        "network-interface=eth1",
        "pause-on-minimize=false",
        "portal-was-shown=false",
        "record-save-folder=" + recordings,
        "scheduled-record-save-folder=" + recordings,
        "server=",
        "show-blocked-channels=true",
        "show-channel-numbers=true",
        "show-user-channels=false",
        "use-GPU-acceleration=false",
        "use-global-channel-list=true",
        "use-global-volume=true",
        "use-hot-keys=true",
        "use-http-reconnect=true",
        "user-vod-available=false",
        "version-info=old",
    };
    expectedGeneral.sort();
    QCOMPARE(general, expectedGeneral);

    QStringList window = sectionLines(ini, "MainWindow");
    window.sort();
    const QStringList expectedWindow{"always-on-top=false", "channel-list-width=0",
                                     "maximized=false", "position=@Point(100 100)",
                                     "size=@Size(900 600)"};
    QCOMPARE(window, expectedWindow);
}

void TestSettings::valuesSurviveRestart()
{
    {
        const auto settings = makeSettings();
        settings->setDeinterlaceMode(3);
        settings->setCrop("16:9");
        settings->setNetworkInterface("eth0");
        settings->setLastChannel("Первый канал");
        settings->setServer("127.0.0.1:8080");
        settings->setWindowSize(QSize(1280, 720));
        settings->setWindowPosition(QPoint(-5, 40));
        settings->setWindowMaximized(true);
        settings->setLastMode(2);
        settings->setNetworkCaching(1500);
        settings->setGlobalVolume(42);
        settings->setVersionInfo();
        settings->setShowUserChannels(true);
    }
    const auto reloaded = makeSettings();
    QCOMPARE(reloaded->deinterlaceMode(), 3);
    QCOMPARE(reloaded->crop(), QStringLiteral("16:9"));
    QCOMPARE(reloaded->networkInterface(), QStringLiteral("eth0"));
    QCOMPARE(reloaded->networkInterfaceAddress(), QHostAddress("192.168.1.20"));
    QCOMPARE(reloaded->lastChannel(), QStringLiteral("Первый канал"));
    QCOMPARE(reloaded->server(), QStringLiteral("127.0.0.1:8080"));
    QCOMPARE(reloaded->windowSize(), QSize(1280, 720));
    QCOMPARE(reloaded->windowPosition(), QPoint(-5, 40));
    QVERIFY(reloaded->isWindowMaximized());
    QCOMPARE(reloaded->lastMode(), 2);
    QCOMPARE(reloaded->networkCaching(), 1500);
    QCOMPARE(reloaded->globalVolume(), 42);
    QCOMPARE(reloaded->versionInfo(), QStringLiteral("2.2.16"));
    QVERIFY(reloaded->showUserChannels());
}

void TestSettings::garbageValuesReadAsDefaults()
{
    m_profile->writeIni(
        "[General]\n"
        "deinterlace=sideways\n"
        "network-caching=lots\n"
        "global-volume=\n"
        "show-channel-numbers=maybe\n"
        "use-hot-keys=false\n"
        "channel-list-visible=0\n"
        "last-channel=a, b\n"
        "[MainWindow]\n"
        "size=huge\n"
        "position=@Size(3 4)\n"
        "channel-list-width=wide\n"
        "garbage line without equals\n");
    const auto settings = makeSettings();
    QCOMPARE(settings->deinterlaceMode(), 0);
    QCOMPARE(settings->networkCaching(), 5000);
    QCOMPARE(settings->globalVolume(), 100);
    QVERIFY(settings->showChannelNumbers());
    QVERIFY(!settings->useHotKeys());
    QVERIFY(!settings->isChannelListVisible());
    QCOMPARE(settings->lastChannel(), QStringLiteral("a,b"));
    QCOMPARE(settings->windowSize(), QSize(900, 600));
    QCOMPARE(settings->windowPosition(), QPoint(100, 100));
    QCOMPARE(settings->channelListWidth(), 0);
}

void TestSettings::unreadableFileReadsDefaultsAndSaveDoesNotCrash()
{
    // A folder where the file should be can neither be read nor written,
    // whoever runs the test.
    QVERIFY(QDir().mkpath(m_profile->iniPath()));
    const auto settings = makeSettings();
    QCOMPARE(settings->deinterlaceMode(), 5);
    QCOMPARE(settings->windowSize(), QSize(900, 600));
    QVERIFY(settings->setGlobalVolume(10));
    QCOMPARE(settings->globalVolume(), 10);
}

void TestSettings::handEditedKeysSurviveSaves()
{
    m_profile->writeIni(
        "[General]\n"
        "udp-to-http=true\n"
        "udp-to-http-server=relay.local\n"
        "udp-to-http-port=9999\n"
        "make-igmp-routing-on-start=true\n"
        "update-host=127.0.0.1:8081\n"
        "my-own-note=keep me\n"
        "[Elsewhere]\n"
        "x=1\n");
    {
        const auto settings = makeSettings();
        QVERIFY(settings->udpToHttp());
        QCOMPARE(settings->udpToHttpServer(), QStringLiteral("relay.local"));
        QCOMPARE(settings->udpToHttpPort(), QStringLiteral("9999"));
        QVERIFY(settings->makeIgmpRoutingOnStart());
        QCOMPARE(settings->updateHost(), QStringLiteral("127.0.0.1:8081"));
        QVERIFY(settings->setGlobalVolume(55));
        settings->save();
    }
    const QByteArray ini = m_profile->readIni();
    const QStringList general = sectionLines(ini, "General");
    for (const QString& line :
         QStringList{"udp-to-http=true", "udp-to-http-server=relay.local", "udp-to-http-port=9999",
                     "make-igmp-routing-on-start=true", "update-host=127.0.0.1:8081",
                     "my-own-note=keep me", "global-volume=55"})
        QVERIFY2(general.contains(line), qPrintable(line));
    QCOMPARE(sectionLines(ini, "Elsewhere"), QStringList{"x=1"});
}

void TestSettings::emptyRecordFolderTakesScheduledFolder()
{
    m_profile->writeIni("[General]\nscheduled-record-save-folder=/srv/tv\nrecord-save-folder=\n");
    const auto settings = makeSettings();
    QCOMPARE(settings->scheduledRecordSaveFolder(), QStringLiteral("/srv/tv"));
    QCOMPARE(settings->recordSaveFolder(), QStringLiteral("/srv/tv"));
}

void TestSettings::unchangedValueDoesNothing()
{
    const auto settings = makeSettings();
    QSignalSpy changed(settings.get(), &Settings::changed);
    QSignalSpy numbers(settings.get(), &Settings::displayingChannelNumbersChanged);
    QVERIFY(!settings->setShowChannelNumbers(true));
    QVERIFY(!settings->setNetworkCaching(5000));
    QVERIFY(!settings->setLastMode(0));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(numbers.count(), 0);
    QVERIFY(!Settings::settingsFileExists());
}

void TestSettings::changeEmitsChangedThenItsOwnSignalAndSaves()
{
    const auto settings = makeSettings();
    QStringList order;
    const auto record = [&order](const char* name) {
        return [&order, name] { order << QString::fromLatin1(name); };
    };
    connect(settings.get(), &Settings::changed, this, record("changed"));
    connect(settings.get(), &Settings::showingUserChannelsChanged, this, record("user"));
    connect(settings.get(), &Settings::displayingChannelNumbersChanged, this, record("numbers"));
    connect(settings.get(), &Settings::useGPUAccelerationChanged, this, record("gpu"));
    connect(settings.get(), &Settings::showingBlockedChannelsChanged, this, record("blocked"));

    QVERIFY(settings->setShowUserChannels(true));
    QVERIFY(settings->setShowChannelNumbers(false));
    QVERIFY(settings->setUseGPUAcceleration(true));
    QVERIFY(settings->setShowBlockedChannels(false));
    QVERIFY(settings->setPauseOnMinimize(true));
    QCOMPARE(order, (QStringList{"changed", "user", "changed", "numbers", "changed", "gpu",
                                 "changed", "blocked", "changed"}));
    QVERIFY(sectionLines(m_profile->readIni(), "General").contains("pause-on-minimize=true"));
}

void TestSettings::batchCollectsChangesIntoOneSave()
{
    const auto settings = makeSettings();
    QSignalSpy changed(settings.get(), &Settings::changed);
    QSignalSpy numbers(settings.get(), &Settings::displayingChannelNumbersChanged);

    settings->beginBatch();
    QVERIFY(!settings->setShowChannelNumbers(false));
    QVERIFY(!settings->setGlobalVolume(30));
    QCOMPARE(settings->globalVolume(), 30);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(numbers.count(), 0);
    QVERIFY(!Settings::settingsFileExists());

    settings->endBatch();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(numbers.count(), 0);
    const QStringList general = sectionLines(m_profile->readIni(), "General");
    QVERIFY(general.contains("show-channel-numbers=false"));
    QVERIFY(general.contains("global-volume=30"));

    // The batch is over: the next change saves at once.
    QVERIFY(settings->setGlobalVolume(31));
    QCOMPARE(changed.count(), 2);
}

void TestSettings::endBatchWithoutChangesIsSilent()
{
    const auto settings = makeSettings();
    QSignalSpy changed(settings.get(), &Settings::changed);
    settings->beginBatch();
    QVERIFY(!settings->setGlobalVolume(100));
    settings->endBatch();
    settings->endBatch();
    QCOMPARE(changed.count(), 0);
    QVERIFY(!Settings::settingsFileExists());
}

void TestSettings::hotKeysSignalOnEveryCall()
{
    const auto settings = makeSettings();
    QSignalSpy hotKeys(settings.get(), &Settings::useHotKeysChanged);
    QSignalSpy changed(settings.get(), &Settings::changed);
    QVERIFY(!settings->setUseHotKeys(true));
    QCOMPARE(hotKeys.count(), 1);
    QCOMPARE(changed.count(), 0);
    QVERIFY(!Settings::settingsFileExists());

    settings->beginBatch();
    QVERIFY(!settings->setUseHotKeys(false));
    QCOMPARE(hotKeys.count(), 2);
    settings->endBatch();
    QCOMPARE(changed.count(), 1);
}

void TestSettings::windowGeometryComparesBothCoordinates()
{
    const auto settings = makeSettings();
    QVERIFY(!settings->setWindowSize(QSize(900, 600)));
    QVERIFY(settings->setWindowSize(QSize(900, 601)));
    QVERIFY(settings->setWindowPosition(QPoint(101, 100)));
    QVERIFY(!settings->setWindowPosition(QPoint(101, 100)));
    QVERIFY(settings->setWindowPosition(QPoint(101, 99)));
}

void TestSettings::cropAndAspectDefaultRule()
{
    const auto settings = makeSettings();
    QVERIFY(settings->setCrop("4:3"));
    QVERIFY(settings->setCrop(""));
    QCOMPARE(settings->crop(), QString());
    QVERIFY(!settings->setAspectRatio(""));
    QVERIFY(!settings->setAspectRatio("Default"));
    QVERIFY(settings->setAspectRatio("16:10"));
    const QStringList general = sectionLines(m_profile->readIni(), "General");
    QVERIFY(general.contains("crop-value=Default"));
    QVERIFY(general.contains("aspect-value=16:10"));
}

void TestSettings::recordFoldersSetTogether()
{
    const auto settings = makeSettings();
    QVERIFY(settings->setRecordFolders("/media/tv"));
    QCOMPARE(settings->recordSaveFolder(), QStringLiteral("/media/tv"));
    QCOMPARE(settings->scheduledRecordSaveFolder(), QStringLiteral("/media/tv"));
    QVERIFY(settings->setRecordSaveFolder("/media/instant"));
    // The scheduled folder decides whether this counts as a change.
    QVERIFY(!settings->setRecordFolders("/media/tv"));
    QCOMPARE(settings->recordSaveFolder(), QStringLiteral("/media/tv"));
}

void TestSettings::lastModeText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("mode");
    QTest::newRow("iptv") << QByteArray("iptv") << 0;
    QTest::newRow("media portal") << QByteArray("media portal") << 1;
    QTest::newRow("recordings") << QByteArray("recordings") << 2;
    QTest::newRow("other case") << QByteArray("Recordings") << 0;
    QTest::newRow("unknown") << QByteArray("ftp") << 0;
}

void TestSettings::lastModeText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, mode);
    m_profile->writeIni("[General]\nlast-mode=" + text + "\n");
    QCOMPARE(makeSettings()->lastMode(), mode);
}

void TestSettings::lastModeSaved_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("line");
    QTest::newRow("1") << 1 << "last-mode=media portal";
    QTest::newRow("2") << 2 << "last-mode=recordings";
    QTest::newRow("3") << 3 << "last-mode=iptv";
    QTest::newRow("-1") << -1 << "last-mode=iptv";
}

void TestSettings::lastModeSaved()
{
    QFETCH(int, mode);
    QFETCH(QString, line);
    const auto settings = makeSettings();
    QVERIFY(settings->setLastMode(mode));
    QVERIFY(sectionLines(m_profile->readIni(), "General").contains(line));
}

void TestSettings::deinterlaceText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("mode");
    const QStringList names{"none", "discard", "mean", "blend", "bob", "linear", "x"};
    for (int mode = 0; mode < names.size(); ++mode)
        QTest::newRow(qPrintable(names.at(mode))) << names.at(mode) << mode;
}

void TestSettings::deinterlaceText()
{
    QFETCH(QString, text);
    QFETCH(int, mode);
    m_profile->writeIni("[General]\ndeinterlace=" + text.toUtf8() + "\n");
    const auto settings = makeSettings();
    QCOMPARE(settings->deinterlaceMode(), mode);
    settings->save();
    QVERIFY(sectionLines(m_profile->readIni(), "General").contains("deinterlace=" + text));
    QCOMPARE(Settings::deinterlaceModeOf(text.toUpper()), 0);
}

void TestSettings::interfaceChoiceAndAddresses()
{
    const auto settings = makeSettings();
    QVERIFY(settings->setNetworkInterface("eth0"));
    QCOMPARE(settings->networkInterfaceAddress(), QHostAddress("192.168.1.20"));
    QCOMPARE(settings->macAddress(), QStringLiteral("AABBCCDDEE01"));
    QVERIFY(settings->hasNetworkInterfaceAddress());
    QVERIFY(settings->setNetworkInterface("gone"));
    QCOMPARE(settings->networkInterfaceAddress(), QHostAddress("127.0.0.1"));
    QCOMPARE(settings->macAddress(), QString());
    QVERIFY(!settings->hasNetworkInterfaceAddress());
    QVERIFY(settings->setNetworkInterface("wlan0"));  // IPv6 only
    QVERIFY(!settings->hasNetworkInterfaceAddress());
}

void TestSettings::storedInterfaceWinsOverDefault()
{
    m_profile->writeIni("[General]\nnetwork-interface=eth0\n");
    const auto settings = makeSettings();
    QCOMPARE(settings->getDefaultNetInterfaceUuid(), QStringLiteral("eth1"));
    QCOMPARE(settings->networkInterface(), QStringLiteral("eth0"));
    QCOMPARE(settings->networkInterfaceAddress(), QHostAddress("192.168.1.20"));
}

void TestSettings::interfaceEnumeration()
{
    const auto settings = makeSettings();
    QVERIFY(settings->beginInterfaceEnumeration());
    QString name;
    QString description;
    QStringList seen;
    while (settings->nextInterface(&name, &description))
        seen << name + '|' + description;
    QCOMPARE(seen, (QStringList{"lo|lo adapter - (127.0.0.1, ::1)",
                                "eth0|eth0 adapter - (192.168.1.20, fe80::1)",
                                "eth1|eth1 adapter - (10.1.2.3)"}));
    QVERIFY(!settings->nextInterface(&name, &description));

    QVERIFY(settings->beginInterfaceEnumeration());
    QVERIFY(settings->nextInterface(&name, &description));
    QCOMPARE(name, QStringLiteral("lo"));

    Settings empty({});
    QVERIFY(!empty.beginInterfaceEnumeration());
    QVERIFY(!empty.nextInterface(&name, &description));
}

void TestSettings::updateAndPortalUrls()
{
    {
        const auto settings = makeSettings();
        QCOMPARE(settings->getUpdateServerUrl(),
                 QStringLiteral("http://www.zentria.ru/iptv/zmplayer"));
        QCOMPARE(settings->updateServerUrl(), settings->getUpdateServerUrl());
        QCOMPARE(settings->portalUrl(), QString());
        settings->setServer("127.0.0.1:9000");
        QCOMPARE(settings->portalUrl(),
                 QStringLiteral("http://127.0.0.1:9000/?wap=1&lan=1&usex=1"));
        // The production host, once chosen, stays until it is chosen again.
        settings->setServer("127.0.0.2:9001");
        QCOMPARE(settings->portalUrl(),
                 QStringLiteral("http://127.0.0.1:9000/?wap=1&lan=1&usex=1"));
        settings->selectProdServer();
        QCOMPARE(settings->portalUrl(),
                 QStringLiteral("http://127.0.0.2:9001/?wap=1&lan=1&usex=1"));
    }
    m_profile->writeIni("[General]\nupdate-host=127.0.0.1:8081\nserver=tv.local\n");
    const auto settings = makeSettings();
    QCOMPARE(settings->getUpdateServerUrl(), QStringLiteral("http://127.0.0.1:8081/iptv/zmplayer"));
    QCOMPARE(settings->portalUrl(), QStringLiteral("http://tv.local/?wap=1&lan=1&usex=1"));
    QCOMPARE(settings->selectedProdServer(), QStringLiteral("tv.local"));
}

void TestSettings::serverHostAndPort_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("host only") << "tv.example"
                               << "tv.example" << 80;
    QTest::newRow("host and port") << "127.0.0.1:8080"
                                   << "127.0.0.1" << 8080;
    QTest::newRow("bad port") << "tv.example:http"
                              << "tv.example" << 80;
    QTest::newRow("port out of range") << "tv.example:70000"
                                       << "tv.example" << 80;
}

void TestSettings::serverHostAndPort()
{
    QFETCH(QString, server);
    QFETCH(QString, host);
    QFETCH(int, port);
    const auto settings = makeSettings();
    settings->setServer(server);
    QCOMPARE(settings->serverHost(), host);
    QCOMPARE(settings->serverPort(), port);
}

void TestSettings::serverCustomSettings_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("hasValue");
    QTest::addColumn<int>("value");
    QTest::newRow("value") << QByteArray(R"({"test": 7})") << true << 7;
    QTest::newRow("member missing") << QByteArray(R"({"other": 1})") << true << 0;
    QTest::newRow("not json") << QByteArray("test=7") << false << 0;
    QTest::newRow("array") << QByteArray("[1, 2]") << false << 0;
    QTest::newRow("empty") << QByteArray() << false << 0;
}

void TestSettings::serverCustomSettings()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, hasValue);
    QFETCH(int, value);
    const auto settings = makeSettings();
    settings->applyServerCustomSettings(R"({"test": 3})");
    settings->applyServerCustomSettings(json);
    QCOMPARE(settings->hasCustomValue(), hasValue);
    if (hasValue || !json.isEmpty())
        QCOMPARE(settings->customValue(), value);
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
