#include "appinfo.h"
#include "jsonrows.h"
#include "singleinstance.h"
#include "tablerows.h"
#include "temporaryprofile.h"
#include "updateservice.h"

#include <QProcess>
#include <QSettings>
#include <QSharedMemory>
#include <QTest>

namespace {

const QString published = QStringLiteral("Setting HWND for SHOWPLAYERMSG to ");
const QString activated = QStringLiteral("SHOWPLAYERMSG message received, activating window");
const QString newVersionLine = QStringLiteral("[main] Starting in new installed version");
// A profile on an interface that does not exist has no MAC address, so the
// player never tries to log in to the operator's real server.
const QByteArray offline = "[General]\nnetwork-interface=offline\n";

QString fileText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// zentria-player run as a real process on a profile folder of its own,
// headless, with its boxes answered and written to a file.
class PlayerProcess
{
public:
    explicit PlayerProcess(const QString& home) : m_home(home)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", home);
        environment.insert("XDG_DATA_HOME", home + "/data");
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("ZENTRIA_MESSAGE_BOX_LOG", home + "/boxes.txt");
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    ~PlayerProcess() { kill(); }

    static QString executable()
    {
        QString directory = qEnvironmentVariable("ZENTRIA_BIN_DIR");
        if (directory.isEmpty())
            directory = QCoreApplication::applicationDirPath() + "/../bin";
        return directory + "/zentria-player";
    }
    void start(const QStringList& arguments = {})
    {
        m_process.start(executable(), arguments);
        QVERIFY2(m_process.waitForStarted(10000), qPrintable(m_process.errorString()));
    }
    // The exit code, or -1 when the player crashed or hung.
    int waitForExit()
    {
        if (!m_process.waitForFinished(15000) || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }
    int run(const QStringList& arguments = {})
    {
        start(arguments);
        return waitForExit();
    }
    void terminate() { m_process.terminate(); }  // SIGTERM, as a desktop session ends a program
    void kill()                                  // SIGKILL, no chance to clean up
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    bool waitForLog(const QString& text, int count = 1) const
    {
        return QTest::qWaitFor([&] { return log().count(text) >= count; }, 15000);
    }
    QString log() const { return fileText(m_home + "/data/Zentria Media Player/debug.log"); }
    // "kind<TAB>title<TAB>text", of one kind
    QStringList boxes(const QString& kind) const
    {
        return fileText(m_home + "/boxes.txt")
            .split('\n', Qt::SkipEmptyParts)
            .filter(QRegularExpression('^' + kind + '\t'));
    }

private:
    QString m_home;
    QProcess m_process;
};

}  // namespace

// The player started as real processes on a profile of its own.
class TestStartup : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_profile.reset(); }

    void secondStartHandsOverToTheFirst();
    void startAfterKilledInstanceRuns();
    void terminationDuringStartUpEndsCleanly();
    void commandLineWords_data();
    void commandLineWords();
    void updateModeReportsAndEndsWithZero();
    void unopenableLogEndsWithCriticalBox();
    void versionsPackIntoFourBytes_data();
    void versionsPackIntoFourBytes();

private:
    // Starts a player, waits for its window and ends it as the system would.
    void runToWindow(PlayerProcess& player, const QStringList& arguments = {});

    std::unique_ptr<TemporaryProfile> m_profile;
};

void TestStartup::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_profile->writeIni(offline);
}

void TestStartup::runToWindow(PlayerProcess& player, const QStringList& arguments)
{
    player.start(arguments);
    QVERIFY(player.waitForLog(published));
    player.terminate();
    QCOMPARE(player.waitForExit(), 0);
}

void TestStartup::commandLineWords_data()
{
    addJsonRows(ZENTRIA_APP_DATA "/command-lines.json");
}

// Any start that reaches its window: what it logs and keeps in the profile,
// and what the words of its command line change in that.
void TestStartup::commandLineWords()
{
    QFETCH(QJsonObject, row);
    // Without one, the profile was last used by this very version.
    const QByteArray versionInfo = row["versionInfo"].toString(AppInfo::version).toUtf8();
    const bool newVersion = row["newVersion"].toBool();  // and install-zm cleared
    m_profile->writeIni(offline + "version-info=" + versionInfo + "\ninstall-zm=true\n");
    PlayerProcess player(m_profile->home());
    runToWindow(player, strings(row["arguments"]));
    if (QTest::currentTestFailed())
        return;

    const QString log = player.log();
    const QString executable = QFileInfo(PlayerProcess::executable()).canonicalFilePath();
    QVERIFY(log.contains(": [main] Starting from " + executable + "\r\n"));
    QVERIFY(log.contains(": [main] Local version = 2.2.16\r\n"));
    QVERIFY(log.indexOf("Local version") < log.indexOf(published));
    // Asked twice in a row: the second time is counted.
    QVERIFY(log.contains(QRegularExpression(R"(\[Settings::getUpdateServerUrl\] Using update URL )"
                                            R"([^\r]*\r\n[\d:.]+: \.\.\. \(repeated 1 times\))")));
    QVERIFY(player.boxes("critical").isEmpty());
    const QStringList developer =
        player.boxes("information").filter("\tgetUpdateServerUrl\tisDeveloperMode");
    QCOMPARE(developer.size(), row["developerBoxes"].toInt());
    QCOMPARE(log.contains(newVersionLine), newVersion);
    const QSettings ini(m_profile->iniPath(), QSettings::IniFormat);
    QCOMPARE(ini.value("server").toString(), QStringLiteral("tv.zentria.ru"));
    QCOMPARE(ini.value("install-zm").toString(), newVersion ? "false" : "true");
    QCOMPARE(ini.value("version-info").toByteArray(), versionInfo);
}

void TestStartup::secondStartHandsOverToTheFirst()
{
    PlayerProcess first(m_profile->home());
    first.start();
    QVERIFY(first.waitForLog(published));

    PlayerProcess second(m_profile->home());
    QCOMPARE(second.run(), 0);
    QVERIFY(first.waitForLog(activated));

    const QString log = first.log();
    QCOMPARE(log.count("Session started at "), 2);
    QCOMPARE(log.count(published), 1);
    const int handOver = log.lastIndexOf("Sending SHOWPLAYERMSG message to HWND ");
    QVERIFY(handOver > log.lastIndexOf("Received HWND for SHOWPLAYERMSG "));
    QVERIFY(log.lastIndexOf("Session started at ") < handOver);

    // The first one keeps running and still ends normally.
    first.terminate();
    QCOMPARE(first.waitForExit(), 0);
}

// A player that died without its shut-down leaves its segment behind. Once
// its key files are gone as well, the next files made in the temporary folder
// may get the same inodes, and with them the same System V keys: here the key
// files of a profile that has all its other files already.
void TestStartup::startAfterKilledInstanceRuns()
{
    const QString killedKey = SingleInstance::scopedKey();  // before HOME moves on
    TemporaryProfile other;
    other.writeIni(offline + "server=tv.local\nversion-info=" + AppInfo::version + "\n");
    PlayerProcess next(other.home());
    runToWindow(next);

    PlayerProcess killed(m_profile->home());
    killed.start();
    QVERIFY(killed.waitForLog(published));
    killed.kill();
    const QString keyFile = QSharedMemory(killedKey).nativeKey();
    QVERIFY(QFile::remove(QString(keyFile).replace("qipc_sharedmemory_", "qipc_systemsem_")));
    QVERIFY(QFile::remove(keyFile));

    next.start();
    QVERIFY(next.waitForLog(published, 2));
    QVERIFY(next.boxes("critical").isEmpty());

    next.terminate();
    QCOMPARE(next.waitForExit(), 0);
}

// Whenever the request comes, from the first log lines on, the player ends
// normally and takes its segment with it.
void TestStartup::terminationDuringStartUpEndsCleanly()
{
    PlayerProcess player(m_profile->home());
    player.start();
    QVERIFY(player.waitForLog("[main] Local version = "));
    player.terminate();
    QCOMPARE(player.waitForExit(), 0);
    QSharedMemory segment(SingleInstance::scopedKey());
    QVERIFY(!segment.attach(QSharedMemory::ReadOnly));
}

void TestStartup::updateModeReportsAndEndsWithZero()
{
    PlayerProcess player(m_profile->home());
    QCOMPARE(player.run({"update", "2.2.15", "4242", "/tmp/extract", "/tmp/target"}), 0);
    QVERIFY(player.log().contains(": [main] Starting in update mode\r\n"));
    QVERIFY(!player.log().contains(published));
    const QStringList critical = player.boxes("critical");
    QCOMPARE(critical.size(), 1);
    QVERIFY2(critical.first().startsWith("critical\tОшибка обновления\t"),
             qPrintable(critical.first()));
}

// A log that is a folder is the logging test's; whatever keeps the log from
// opening ends the player the same way.
void TestStartup::unopenableLogEndsWithCriticalBox()
{
    QVERIFY(QDir(m_profile->dataDirectory()).removeRecursively());
    QFile blocker(m_profile->dataDirectory());
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    PlayerProcess player(m_profile->home());
    QCOMPARE(player.run(), 1);
    QCOMPARE(player.boxes("critical"),
             QStringList{"critical\tКритическая ошибка\tНе удаётся открыть файл журнала"});
}

void TestStartup::versionsPackIntoFourBytes_data()
{
    addTableRows(ZENTRIA_APP_DATA "/version-packing.txt");
}

// Versions are compared by their packed values: a wrong byte offers an
// update that is none, or hides one.
void TestStartup::versionsPackIntoFourBytes()
{
    QFETCH(QString, version);
    QFETCH(QString, packed);
    QCOMPARE(UpdateService::packVersion(version), packed.toUInt(nullptr, 16));
}

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
