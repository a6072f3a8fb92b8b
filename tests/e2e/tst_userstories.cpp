// The built player driven as a user drives it: a real X server with a window
// manager, keys and clicks through xdotool, the operator emulator as server.
#include <QDir>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

#include <csignal>

#include "playersession.h"

namespace {

const QString kFirst = QStringLiteral("Первый городской");  // channel 1
const QString kCinema = QStringLiteral("Кинодом");          // channel 3
const QString kVideoShown = QStringLiteral("[MainWindow] video page shown");
const QString kPortalPath = QStringLiteral("/?wap=1&lan=1&usex=1");

int countOf(const QList<EmulatorRequest>& requests, const QString& path)
{
    return int(std::count_if(requests.begin(), requests.end(),
                             [&](const EmulatorRequest& request) { return request.path == path; }));
}

QStringList rpcNames(const QList<EmulatorRequest>& requests)
{
    QStringList names;
    for (const EmulatorRequest& request : requests)
        names.append(request.rpc);
    return names;
}

}  // namespace

class UserStories : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logInPlaysTheLastChannel();
    void listDoubleClickThenPageDownAndDigitsChangeChannel();
    void qQuitsThroughTheCloseSequence();
    void portalAndBackTwiceKeepsPlaying();
    void fullscreenAndBackKeepsThePictureInTheWindow();
    void sigtermWithCloseToTrayEndsTheProcess();
    void quittingWhileRecordingKeepsTheRecording();
    void missingClosedChannelPictureStillPlays();
    void failingPortalScriptLeavesThePlayerRunning();
    // Last: with a stale segment left behind, later starts would fail too.
    void killedPlayerDoesNotBlockTwentyLaterStarts();

private:
    // Desktop, emulator and player up, the last channel playing in the window.
    void startPlaying(const QString& scenario, const QString& channel, int channelId,
                      const QByteArray& extraSettings = {});
    void expectCleanExit();

    std::unique_ptr<PlayerSession> m_session;
};

void UserStories::init()
{
    m_session = std::make_unique<PlayerSession>();
    QVERIFY(m_session->startDesktop());
}

void UserStories::cleanup()
{
    m_session.reset();
}

void UserStories::startPlaying(const QString& scenario, const QString& channel, int channelId,
                               const QByteArray& extraSettings)
{
    QVERIFY(m_session->startEmulator(scenario));
    QVERIFY(m_session->startPlayer(channel, extraSettings));
    QVERIFY(m_session->waitForOpenStream(channelId));
    QVERIFY(m_session->waitForLog(kVideoShown));
    QVERIFY(m_session->mainWindow() != 0);
}

void UserStories::expectCleanExit()
{
    QVERIFY(m_session->waitForExit());
    QCOMPARE(m_session->player().exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_session->player().exitCode(), 0);
}

void UserStories::logInPlaysTheLastChannel()
{
    startPlaying("demo", kCinema, 3);
    QCOMPARE(rpcNames(m_session->emulator().requests()).first(), QStringLiteral("Auth"));
    QCOMPARE(m_session->openedChannels(), QList<int>{3});
}

void UserStories::listDoubleClickThenPageDownAndDigitsChangeChannel()
{
    startPlaying("demo", kFirst, 1);
    QVERIFY(m_session->doubleClickChannelRow(1));
    QVERIFY(m_session->waitForOpenStream(2));
    // The focus now sits in the list; the window's keys must still work.
    QVERIFY(m_session->pressKeys({"Next"}));
    QVERIFY(m_session->waitForOpenStream(3));
    QVERIFY(m_session->pressKeys({"1", "2"}));
    QVERIFY(m_session->waitForOpenStream(12));
}

void UserStories::qQuitsThroughTheCloseSequence()
{
    startPlaying("demo", kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"Next"}));
    QVERIFY(m_session->waitForOpenStream(2));
    m_session->emulator().clearRequests();
    QVERIFY(m_session->pressKeys({"q"}));
    expectCleanExit();
    const QStringList calls = rpcNames(m_session->emulator().requests());
    QVERIFY2(calls.indexOf("SetStbSettings") >= 0 &&
                 calls.indexOf("SetStbSettings") < calls.indexOf("CloseStream"),
             qPrintable(calls.join(' ')));
    const QString ini = QString::fromUtf8(m_session->settingsIni());
    QVERIFY2(ini.contains("last-channel=Новости 24"), qPrintable(ini));
    QVERIFY2(ini.contains("[MainWindow]") && ini.contains("size=@Size("), qPrintable(ini));
}

void UserStories::portalAndBackTwiceKeepsPlaying()
{
    startPlaying("demo", kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    for (int round = 1; round <= 2; ++round) {
        const int opened = int(m_session->openedChannels().size());
        QVERIFY(m_session->pressKeys({"ctrl+alt+b"}));
        QTRY_VERIFY_WITH_TIMEOUT(countOf(m_session->emulator().requests(), kPortalPath) >= 1,
                                 30000);
        QVERIFY(m_session->pressKeys({"ctrl+alt+d"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_session->openedChannels().size() > opened, 30000);
        QCOMPARE(m_session->openedChannels().last(), 1);
        QCOMPARE(m_session->player().state(), QProcess::Running);
    }
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) >= 3, 30000);
}

// Full screen puts the window on top; the window, and the video surface libVLC
// draws into, must survive that, or libVLC opens a window of its own.
void UserStories::fullscreenAndBackKeepsThePictureInTheWindow()
{
    startPlaying("demo", kFirst, 1);
    const auto windowWidth = [this] {
        QByteArray geometry;
        m_session->xdotool(
            {"getwindowgeometry", "--shell", QString::number(m_session->mainWindow())}, &geometry);
        return QRegularExpression("WIDTH=(\\d+)").match(geometry).captured(1).toInt();
    };
    const int windowed = windowWidth();
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"Return"}));
    QTRY_COMPARE_WITH_TIMEOUT(windowWidth(), 1280, 30000);  // the whole screen
    QVERIFY(m_session->pressKeys({"Return"}));
    QTRY_COMPARE_WITH_TIMEOUT(windowWidth(), windowed, 30000);
    QVERIFY(m_session->pressKeys({"Next"}));
    QVERIFY(m_session->waitForOpenStream(2));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) >= 2, 30000);
    const QStringList ownWindows = m_session->windowsNamed("VLC");
    QVERIFY2(ownWindows.isEmpty(), qPrintable(m_session->windowNames(ownWindows).join(", ")));
}

void UserStories::sigtermWithCloseToTrayEndsTheProcess()
{
    startPlaying("demo", kFirst, 1, "close-to-tray=true\nfirst-time-tray=false\n");
    m_session->sendSignal(SIGTERM);
    expectCleanExit();
    QVERIFY(m_session->settingsIni().contains("size=@Size("));
}

void UserStories::quittingWhileRecordingKeepsTheRecording()
{
    startPlaying("demo", kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"r"}));
    QVERIFY(m_session->waitForLog("Recording to"));
    QVERIFY(m_session->pressKeys({"q"}));
    expectCleanExit();
    const QFileInfoList recordings =
        QDir(m_session->recordingsDirectory()).entryInfoList(QDir::Files);
    QCOMPARE(recordings.size(), 1);
    QVERIFY2(recordings.first().size() > 0, qPrintable(recordings.first().fileName()));
}

void UserStories::killedPlayerDoesNotBlockTwentyLaterStarts()
{
    QVERIFY(m_session->startEmulator());
    QVERIFY(m_session->startPlayer(kFirst));
    QVERIFY(m_session->waitForLog(kVideoShown));
    m_session->sendSignal(SIGKILL);
    QVERIFY(m_session->waitForExit());
    for (int start = 1; start <= 20; ++start) {
        const int authsBefore = int(m_session->emulator().requests("Auth").size());
        QVERIFY(m_session->startPlayer(kFirst));
        QVERIFY2(
            QTest::qWaitFor(
                [&] { return m_session->emulator().requests("Auth").size() > authsBefore; }, 30000),
            qPrintable(QString("start %1 did not log in").arg(start)));
        m_session->sendSignal(SIGTERM);
        expectCleanExit();
    }
}

void UserStories::missingClosedChannelPictureStillPlays()
{
    startPlaying(PlayerSession::dataFile("picture-missing.json"), kCinema, 3);
    QCOMPARE(countOf(m_session->emulator().requests(), "/images/no-such-picture.png"), 1);
}

void UserStories::failingPortalScriptLeavesThePlayerRunning()
{
    startPlaying(PlayerSession::dataFile("portal-script-error.json"), kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"ctrl+alt+b"}));
    QVERIFY(m_session->waitForLog("portal script failed"));
    QVERIFY(m_session->waitForLog("portal broke"));
    QCOMPARE(m_session->player().state(), QProcess::Running);
    const QString boxes = "Critical Error|Критическая ошибка|Warning|Предупреждение";
    const QStringList shown = m_session->windowsNamed(boxes);
    QVERIFY2(shown.isEmpty(), qPrintable(m_session->windowNames(shown).join(", ")));
    m_session->sendSignal(SIGTERM);
    expectCleanExit();
}

QTEST_GUILESS_MAIN(UserStories)
#include "tst_userstories.moc"
