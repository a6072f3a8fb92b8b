// The self-update as a user meets it, on a copy of the player installed with
// cmake --install: the emulator offers a newer build (the installed folder
// with a version-override file), the user presses Update and the new version
// runs from the installation; a failed update leaves the old one as it was.
#include <QDir>
#include <QDirIterator>
#include <QTest>

#include "playersession.h"
#include "tablerows.h"
#include "zipwriter.h"

namespace {

const QString kNewVersion = QStringLiteral("2.3.0");
const QString kUpdateWindow = QStringLiteral("^(Update|Обновление)( - |$)");
const QString kUpdateError = QStringLiteral("^(Update error|Ошибка обновления)( - |$)");
const QString kPlayerFolder = QStringLiteral("/lib/zentria-media-player");
const QString kFaults = QStringLiteral(ZENTRIA_E2E_DATA "/update-faults.txt");

// The files below a folder and their contents, by their paths inside it.
QMap<QString, QByteArray> filesIn(const QString& folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator found(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (found.hasNext()) {
        QFile file(found.next());
        files[QDir(folder).relativeFilePath(file.fileName())] =
            file.open(QIODevice::ReadOnly) ? file.readAll() : "unreadable";
    }
    return files;
}

bool install(const QString& prefix)
{
    QProcess cmake;
    cmake.start("cmake", {"--install", ZENTRIA_BUILD_DIR, "--prefix", prefix});
    return cmake.waitForFinished(60000) && cmake.exitCode() == 0;
}

}  // namespace

class TestUpdateStories : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup() { m_session.reset(); }
    void updateHandsOverToTheNewVersion();
    void failedUpdateLeavesTheOldVersion_data() { addTableRows(kFaults); }
    void failedUpdateLeavesTheOldVersion();

private:
    QString installed() const { return m_prefix->path() + kPlayerFolder; }
    bool offer(const QString& archive, const QString& fault = "none");

    QTemporaryDir m_work;
    QMap<QString, QByteArray> m_newBuild;
    std::unique_ptr<QTemporaryDir> m_prefix;
    std::unique_ptr<PlayerSession> m_session;
};

// The newer build, and the same with an entry that leads out of the folder.
// The players' temporary folder is the test's own, to see where that went.
void TestUpdateStories::initTestCase()
{
    QVERIFY(install(m_work.filePath("build")));
    const QString build = m_work.filePath("build") + kPlayerFolder;
    for (const char* name : {"product.zip", "zip-slip.zip"}) {
        ZipWriter archive(m_work.filePath(name));
        archive.addFolder(build);
        archive.addFile("version-override", kNewVersion.toUtf8() + '\n');
        if (QByteArray(name) == "zip-slip.zip")
            archive.addFile("../zentria-zip-slip", "outside");
        QVERIFY(archive.close());
    }
    m_newBuild = filesIn(build);
    m_newBuild["version-override"] = kNewVersion.toUtf8() + '\n';
    QVERIFY(QDir().mkpath(m_work.filePath("tmp")));
    qputenv("TMPDIR", QFile::encodeName(m_work.filePath("tmp")));
}

void TestUpdateStories::init()
{
    m_prefix = std::make_unique<QTemporaryDir>();
    QVERIFY(install(m_prefix->path()));
    m_session = std::make_unique<PlayerSession>();
    m_session->setPlayerProgram(m_prefix->filePath("bin/zentria-player"));
    QVERIFY(m_session->startDesktop());
}

bool TestUpdateStories::offer(const QString& archive, const QString& fault)
{
    QJsonObject scenario = EmulatorProcess::shippedScenario("demo");
    scenario["update"] = QJsonObject{
        {"version", kNewVersion}, {"archive", m_work.filePath(archive)}, {"fault", fault}};
    return m_session->emulator().start(scenario) && m_session->startPlayer("1");
}

void TestUpdateStories::updateHandsOverToTheNewVersion()
{
    QVERIFY(offer("product.zip"));
    QVERIFY(m_session->waitForLog("Version on server: " + kNewVersion));
    QVERIFY(m_session->debugLog().contains("Local version = 2.2.16"));
    QVERIFY(m_session->answerBox(kUpdateWindow, {"Return"}));
    QVERIFY(m_session->waitForExit());

    // The process in update mode waited for that one, copied, and started this
    // one, which ends with the desktop.
    const auto fresh = [this] {
        const QString log = m_session->debugLog();
        const qsizetype handedOver = log.lastIndexOf("starting fresh version");
        return handedOver < 0 ? QString() : log.mid(handedOver);
    };
    QVERIFY(
        QTest::qWaitFor([&] { return fresh().contains("Local version = " + kNewVersion); }, 30000));
    QVERIFY(fresh().contains("Starting from " + installed() + "/zentria-player"));
    QVERIFY(filesIn(installed()) == m_newBuild);
}

// A fault met, the user starts the player again once the update server is
// mended (no offer): the old version runs, its folder untouched.
void TestUpdateStories::failedUpdateLeavesTheOldVersion()
{
    QFETCH(QString, fault);
    QFETCH(QString, archive);
    QFETCH(QString, offered);
    QFETCH(QString, log);
    const QMap<QString, QByteArray> before = filesIn(installed());
    QVERIFY(offer(archive, fault));
    if (offered == "yes") {
        QVERIFY(m_session->answerBox(kUpdateWindow, {"Return"}));
        QVERIFY(m_session->answerBox(kUpdateError, {"Return"}));
        QVERIFY(m_session->waitForExit());
    }
    QVERIFY(m_session->waitForLog(log));
    if (offered == "yes") {
        m_session->emulator().stop();
        QVERIFY(m_session->startEmulator() && m_session->startPlayer("1"));
    }
    QVERIFY(m_session->mainWindow() != 0);
    const QString text = m_session->debugLog();  // the last start's version
    QVERIFY(text.mid(text.lastIndexOf("Local version = ")).startsWith("Local version = 2.2.16"));
    QVERIFY(filesIn(installed()) == before);
    QVERIFY(!QFile::exists(m_work.filePath("tmp/zentria-zip-slip")));
}

QTEST_MAIN(TestUpdateStories)
#include "tst_updatestories.moc"
