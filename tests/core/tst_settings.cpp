#include "jsonrows.h"
#include "tablerows.h"
#include "temporaryprofile.h"

#include <QHostAddress>
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

QByteArray dataFile(const QString& name)
{
    QFile file(QStringLiteral(ZENTRIA_CORE_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every "[Section]key=value" of an INI text, sorted: the order of keys is not ours.
QStringList iniLines(const QByteArray& ini)
{
    QStringList lines;
    QString section;
    for (const QByteArray& raw : ini.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.startsWith('['))
            section = line;
        else if (!line.isEmpty())
            lines << section + line;
    }
    lines.sort();
    return lines;
}

template <class T>
QString text(const T& value)
{
    QString out;
    QDebug(&out).noquote().nospace() << value;
    return out;
}

// What the getters read, by name, as the ".values" files write them.
QStringList readValues(Settings& s, const QStringList& names)
{
    const QMap<QString, QString> values{
        {"crop", text(s.crop())},
        {"aspectRatio", text(s.aspectRatio())},
        {"deinterlaceMode", text(s.deinterlaceMode())},
        {"lastMode", text(s.lastMode())},
        {"lastChannel", text(s.lastChannel())},
        {"windowSize", text(s.windowSize())},
        {"windowPosition", text(s.windowPosition())},
        {"channelListWidth", text(s.channelListWidth())},
        {"networkInterfaceAddress", s.networkInterfaceAddress().toString()},
        {"defaultInterface", text(s.getDefaultNetInterfaceUuid())},
        {"macAddress", text(s.macAddress())},
        {"udpToHttp", text(s.udpToHttp())},
        {"udpToHttpServer", text(s.udpToHttpServer())},
        {"udpToHttpPort", text(s.udpToHttpPort())},
        {"igmpRoutingOnStart", text(s.makeIgmpRoutingOnStart())},
        {"networkCaching", text(s.networkCaching())},
        {"globalVolume", text(s.globalVolume())},
        {"showChannelNumbers", text(s.showChannelNumbers())},
        {"useHotKeys", text(s.useHotKeys())},
        {"channelListVisible", text(s.isChannelListVisible())},
        {"recordSaveFolder", text(s.recordSaveFolder())},
        {"serverHost", text(s.serverHost())},
        {"serverPort", text(s.serverPort())},
        {"portalUrl", text(s.portalUrl())},
        {"updateUrl", text(s.getUpdateServerUrl())},
        {"hasCustomValue", text(s.hasCustomValue())},
        {"customValue", text(s.customValue())},
    };
    QStringList read;
    for (const QString& name : names)
        read << name + '=' + values.value(name, "?");
    return read;
}

}  // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_profile = std::make_unique<TemporaryProfile>(); }
    void cleanup() { m_profile.reset(); }

    void loadThenSave_data();
    void loadThenSave();
    void unreadableFileReadsDefaultsAndSaveDoesNotCrash();

    void changeEmitsChangedThenItsOwnSignalAndSaves();
    void unchangedValuesSaveNothingAndABatchSavesOnce();
    void settersDecideWhatIsAChange();

    void storedAndServerTextsRead_data();
    void storedAndServerTextsRead();

    void interfaceChoiceAndAddresses();
    void portalFollowsTheProductionServer();

private:
    std::unique_ptr<Settings> makeSettings() const
    {
        return std::make_unique<Settings>(machineInterfaces);
    }
    QStringList savedGeneral() const
    {
        return iniLines(m_profile->readIni()).filter(QRegularExpression("^\\[General\\]"));
    }

    std::unique_ptr<TemporaryProfile> m_profile;
};

void TestSettings::loadThenSave_data()
{
    addTableRows(ZENTRIA_CORE_DATA "/settings-files.txt");
}

// What a file reads as, and what is saved of it when asked.
void TestSettings::loadThenSave()
{
    QFETCH(QString, input);
    QFETCH(QString, saved);
    QFETCH(QString, values);
    if (input != "-")
        m_profile->writeIni(dataFile(input));
    const auto settings = makeSettings();
    QCOMPARE(Settings::settingsFileExists(), input != "-");
    QCOMPARE(Settings::settingsFilePath(), m_profile->iniPath());
    QVERIFY(QFileInfo(Settings::dataDirectory()).isDir());
    const QStringList expected =
        QString::fromUtf8(dataFile(values)).split('\n', Qt::SkipEmptyParts);
    QStringList names;
    for (const QString& line : expected)
        names << line.section('=', 0, 0);
    QCOMPARE(readValues(*settings, names), expected);

    settings->save();
    const QByteArray golden = dataFile(saved).replace("@HOME@", m_profile->home().toUtf8());
    QCOMPARE(iniLines(m_profile->readIni()), iniLines(golden));
}

void TestSettings::unreadableFileReadsDefaultsAndSaveDoesNotCrash()
{
    // A folder where the file should be can neither be read nor written,
    // whoever runs the test.
    QVERIFY(QDir().mkpath(m_profile->iniPath()));
    const auto settings = makeSettings();
    QCOMPARE(settings->deinterlaceMode(), 5);
    QVERIFY(settings->setGlobalVolume(10));
    QCOMPARE(settings->globalVolume(), 10);
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
    connect(settings.get(), &Settings::useHotKeysChanged, this, record("hotkeys"));

    QVERIFY(settings->setShowUserChannels(true));
    QVERIFY(settings->setShowChannelNumbers(false));
    QVERIFY(settings->setUseGPUAcceleration(true));
    QVERIFY(settings->setShowBlockedChannels(false));
    QVERIFY(settings->setPauseOnMinimize(true));
    QVERIFY(settings->setUseHotKeys(false));
    QCOMPARE(order, (QStringList{"changed", "user", "changed", "numbers", "changed", "gpu",
                                 "changed", "blocked", "changed", "changed", "hotkeys"}));
    QVERIFY(savedGeneral().contains("[General]pause-on-minimize=true"));
}

// Unchanged values neither signal nor save; a batch saves its changes once.
void TestSettings::unchangedValuesSaveNothingAndABatchSavesOnce()
{
    const auto settings = makeSettings();
    QSignalSpy changed(settings.get(), &Settings::changed);
    QSignalSpy numbers(settings.get(), &Settings::displayingChannelNumbersChanged);
    QSignalSpy hotKeys(settings.get(), &Settings::useHotKeysChanged);
    QVERIFY(!settings->setShowChannelNumbers(true));
    QVERIFY(!settings->setNetworkCaching(5000));
    QVERIFY(!settings->setLastMode(0));
    // The hot keys are told on every call: the window re-registers them.
    QVERIFY(!settings->setUseHotKeys(true));
    settings->beginBatch();
    QVERIFY(!settings->setGlobalVolume(100));
    settings->endBatch();
    settings->endBatch();
    QCOMPARE(changed.count(), 0);
    QCOMPARE(hotKeys.count(), 1);
    QVERIFY(!Settings::settingsFileExists());

    settings->beginBatch();
    QVERIFY(!settings->setShowChannelNumbers(false));
    QVERIFY(!settings->setGlobalVolume(30));
    QVERIFY(!settings->setUseHotKeys(false));
    QCOMPARE(settings->globalVolume(), 30);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(hotKeys.count(), 2);
    QVERIFY(!Settings::settingsFileExists());
    settings->endBatch();
    QCOMPARE(changed.count(), 1);
    QCOMPARE(numbers.count(), 0);
    QVERIFY(savedGeneral().contains("[General]show-channel-numbers=false"));
    QVERIFY(savedGeneral().contains("[General]global-volume=30"));

    // The batch is over: the next change saves at once.
    QVERIFY(settings->setGlobalVolume(31));
    QCOMPARE(changed.count(), 2);
}

void TestSettings::settersDecideWhatIsAChange()
{
    const auto settings = makeSettings();
    QVERIFY(!settings->setWindowSize(QSize(900, 600)));
    QVERIFY(settings->setWindowSize(QSize(900, 601)));
    QVERIFY(settings->setWindowPosition(QPoint(101, 100)));
    QVERIFY(settings->setWindowPosition(QPoint(101, 99)));

    // Empty and "Default" are the same crop and aspect.
    QVERIFY(settings->setCrop("4:3"));
    QVERIFY(settings->setCrop(""));
    QVERIFY(!settings->setAspectRatio(""));
    QVERIFY(!settings->setAspectRatio("Default"));
    QVERIFY(savedGeneral().contains("[General]crop-value=Default"));

    // Both folders at once; the scheduled one decides whether that is a change.
    QVERIFY(settings->setRecordFolders("/media/tv"));
    QVERIFY(settings->setRecordSaveFolder("/media/instant"));
    QVERIFY(!settings->setRecordFolders("/media/tv"));
    QCOMPARE(settings->recordSaveFolder(), QStringLiteral("/media/tv"));

    QVERIFY(settings->setLastMode(3));
    QVERIFY(savedGeneral().contains("[General]last-mode=iptv"));
    // The version this build runs as, which a version-override file can change.
    QCoreApplication::setApplicationVersion("2.3.0");
    QVERIFY(settings->setVersionInfo());
    QVERIFY(savedGeneral().contains("[General]version-info=2.3.0"));
}

void TestSettings::storedAndServerTextsRead_data()
{
    addJsonRows(ZENTRIA_CORE_DATA "/settings-reads.json");
}

// Named values, the server's address and the server's own settings as the
// getters read them, and as they are saved again.
void TestSettings::storedAndServerTextsRead()
{
    QFETCH(QJsonObject, row);
    m_profile->writeIni("[General]\n" + row["ini"].toString().toUtf8() + '\n');
    const auto settings = makeSettings();
    if (row.contains("custom")) {
        settings->applyServerCustomSettings(R"({"test": 3})");
        settings->applyServerCustomSettings(row["custom"].toString().toUtf8());
    }
    const QStringList values = strings(row["values"]);
    QStringList names;
    for (const QString& value : values)
        names << value.section('=', 0, 0);
    QCOMPARE(readValues(*settings, names), values);
    settings->save();
    for (const QString& saved : strings(row["saved"]))
        QVERIFY2(savedGeneral().contains("[General]" + saved), qPrintable(saved));
}

void TestSettings::interfaceChoiceAndAddresses()
{
    const auto settings = makeSettings();
    QVERIFY(settings->setNetworkInterface("eth0"));
    QCOMPARE(settings->macAddress(), QStringLiteral("AABBCCDDEE01"));
    QVERIFY(settings->hasNetworkInterfaceAddress());
    QVERIFY(settings->setNetworkInterface("gone"));
    QCOMPARE(settings->networkInterfaceAddress(), QHostAddress("127.0.0.1"));
    QCOMPARE(settings->macAddress(), QString());
    QVERIFY(!settings->hasNetworkInterfaceAddress());
    QVERIFY(settings->setNetworkInterface("wlan0"));  // IPv6 only
    QVERIFY(!settings->hasNetworkInterfaceAddress());

    // Interfaces without an IPv4 address are not offered.
    QString name;
    QString description;
    QStringList seen;
    for (int round = 0; round < 2; ++round) {
        QVERIFY(settings->beginInterfaceEnumeration());
        while (settings->nextInterface(&name, &description))
            seen << name + '|' + description;
    }
    const QStringList once{"lo|lo adapter - (127.0.0.1, ::1)",
                           "eth0|eth0 adapter - (192.168.1.20, fe80::1)",
                           "eth1|eth1 adapter - (10.1.2.3)"};
    QCOMPARE(seen, once + once);
    Settings empty({});
    QVERIFY(!empty.beginInterfaceEnumeration());
    QVERIFY(!empty.nextInterface(&name, &description));
}

void TestSettings::portalFollowsTheProductionServer()
{
    const auto settings = makeSettings();
    QCOMPARE(settings->updateServerUrl(), settings->getUpdateServerUrl());
    settings->setServer("127.0.0.1:9000");
    QCOMPARE(settings->portalUrl(), QStringLiteral("http://127.0.0.1:9000/?wap=1&lan=1&usex=1"));
    // The production host, once chosen, stays until it is chosen again.
    settings->setServer("127.0.0.2:9001");
    QCOMPARE(settings->portalUrl(), QStringLiteral("http://127.0.0.1:9000/?wap=1&lan=1&usex=1"));
    settings->selectProdServer();
    QCOMPARE(settings->portalUrl(), QStringLiteral("http://127.0.0.2:9001/?wap=1&lan=1&usex=1"));
}

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
