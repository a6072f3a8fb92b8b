// The built player driven as a user drives it: a real X server with a window
// manager, keys and clicks through xdotool, the operator emulator as server.
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

#include <csignal>

#include "playersession.h"

namespace {

const QString kFirst = QStringLiteral("Первый городской");  // channel 1
const QString kNews = QStringLiteral("Новости 24");         // channel 2
const QString kCinema = QStringLiteral("Кинодом");          // channel 3
const QString kVideoShown = QStringLiteral("[MainWindow] video page shown");
const QString kPortalPath = QStringLiteral("/?wap=1&lan=1&usex=1");
const QString kPortalLinksRead = QStringLiteral("[MainWindow::loadLinksToSeriesManager]");
const QString kNewsTitle = QStringLiteral("^Zentria Media Player [0-9.]+ - ");
const QString kFullscreenList = QStringLiteral("^(Channel list|Список каналов)$");
const QString kFullscreenPanel = QStringLiteral("^(Playback|Воспроизведение)$");
const QString kBanner = QStringLiteral("^(Now watching|Сейчас в эфире)$");
const QString kProgrammeOverlay = QStringLiteral("^(Programme|Программа)$");
const QString kSettingsDialog = QStringLiteral("^(Settings|Настройки) - Zentria Media Player$");
const QString kQuestionBox = QStringLiteral("^(Question|Вопрос) - Zentria Media Player$");
// Blocks of the emulator's portal pages, each of its own colour.
const QRgb kDramaButton = qRgb(0, 90, 90);
const QRgb kSecondFilmLink = qRgb(30, 60, 200);
const QRgb kImdbLink = qRgb(200, 120, 0);
const QRgb kAboutLink = qRgb(150, 0, 150);
const QRgb kSeriesButton = qRgb(0, 170, 170);
const QRgb kFirstEpisodeLink = qRgb(230, 90, 150);
const QRgb kBigSeriesButton = qRgb(60, 0, 120);
const QRgb kBrokenPageButton = qRgb(120, 120, 0);
const QRgb kUnknownSchemeLink = qRgb(180, 0, 60);
// A recording's name begins with the date and time it began.
const QString kRecordingStamp = QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d\\.\\d\\d ");

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

// The background of the operator's closed-channel picture.
bool isDenyGrey(int red, int green, int blue)
{
    return qAbs(red - 40) <= 4 && qAbs(green - 40) <= 4 && qAbs(blue - 40) <= 4;
}

// The part of a programme bar not yet played: grey stripes.
bool isBarGrey(int red, int green, int blue)
{
    return qAbs(red - green) <= 6 && qAbs(green - blue) <= 6 && red >= 94 && red <= 126;
}

// The status bar's error text and icon.
bool isErrorRed(int red, int green, int blue)
{
    return red > 150 && green < 60 && blue < 60;
}

// A chosen row of a list.
bool isSelectionBlue(int red, int green, int blue)
{
    return red < 90 && green > 100 && green < 170 && blue > 150;
}

QStringList capturesOf(const QRegularExpression& pattern, const QString& text)
{
    QStringList found;
    for (auto match = pattern.globalMatch(text); match.hasNext();)
        found.append(match.next().captured(1));
    return found;
}

int countPixels(const QByteArray& rgb, bool (*matches)(int, int, int))
{
    int count = 0;
    for (qsizetype i = 0; i + 2 < rgb.size(); i += 3)
        count += matches(quint8(rgb[i]), quint8(rgb[i + 1]), quint8(rgb[i + 2])) ? 1 : 0;
    return count;
}

// tests/data/e2e/recording.json, its times "now+50" made seconds since the epoch.
QJsonObject recordingScenario()
{
    QFile file(PlayerSession::dataFile("recording.json"));
    QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    static const QRegularExpression relative("\"now([+-]\\d+)\"");
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QRegularExpressionMatch time; (time = relative.match(text)).hasMatch();)
        text.replace(time.capturedStart(), time.capturedLength(),
                     QString::number(now + time.captured(1).toLongLong()));
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

// Seconds of video in the file by its timestamps, as a player that opens it
// sees its length.
double secondsOfVideo(const QString& file)
{
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                            "format=duration", "-of", "default=nw=1:nk=1", file});
    probe.waitForFinished(60000);
    return probe.readAllStandardOutput().split('\n').first().toDouble();
}

// Everything in the folder, hidden entries too.
QFileInfoList folderEntries(const QString& folder)
{
    return QDir(folder).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
    void portalAndBackTwentyTimesKeepsPlaying();
    void terminationSignalsEndTheProcessKeepingTheWindow_data();
    void terminationSignalsEndTheProcessKeepingTheWindow();
    void quittingWhileRecordingKeepsTheRecording();
    void scheduledTelecastIsRecordedAndPlaysFromTheBrowser();
    void scheduledTelecastsSurviveAKilledPlayer();
    void missingClosedChannelPictureStillPlays();
    void failingPortalScriptLeavesThePlayerRunning();
    void closedAndBrokenChannelsSayWhyNothingPlays();
    void channelVolumesOpenWithTheChannelAndReachTheServer();
    void newsAndWindowPlaceAcrossTwoStarts();
    void lostPortalStartsInTelevisionWhereTimeshiftKeysWork();
    void portalKeysStepThroughGenresAndMovies();
    void progressButtonsUnderTheVideoShiftTime();
    void fullscreenEdgesShowTheProgrammeAndTheChannelList();
    void filmSeeksByItsBarAndThePanelLeavesFullscreen();
    void userChannelListFromTheSettingsDialog();
    void portalLinksPlayFilmsOpenFilmDatabasesAndGoNowhereElse();
    void portalSeriesPlaysItsEpisodesInTurn();
    // Last: with a stale segment left behind, later starts would fail too.
    void killedPlayerDoesNotBlockTwentyLaterStarts();

private:
    // Desktop, emulator and player up, the last channel playing in the window.
    // With a local service, the emulator plays it too ("0", or "0,silent" and
    // the other faults) and the profile points there.
    void startPlaying(const QString& scenario, const QString& channel, int channelId,
                      const QByteArray& extraSettings = {}, const QString& localService = {});
    // The recording scenario, the channel playing and its guide page shown.
    void openGuide(const QString& channel, int channelId);
    // Waits until the window shows the image count times; where it does.
    QList<QPoint> waitForImages(const QString& image, int count);
    int windowWidth();
    // The recordings button, and where the one file the browser then lists
    // shows; a null point when either is missing.
    QPoint openRecordingsWithOneFile();
    // Return, and the window fills the screen.
    void enterFullscreen();
    // The pointer from the middle of the screen to the edge until the overlay
    // of that edge shows, as a user moves it again when the first move came
    // before the window had taken the whole screen; its windows.
    QStringList pointAtEdge(const QPoint& edge, const QString& overlay);
    void expectCleanExit();
    QString lastOpenStream();
    // The portal shown, its start page loaded, the channel stopped.
    void openPortal();
    // Clicks the topmost block of the colour once it shows in the window.
    void clickColour(QRgb colour);
    // Waits for the film's first picture to have shown count times.
    bool waitForFilmPicture(const QString& film, int count = 1);
    // Opens the settings dialog with its toolbar button and, on its User
    // Channels tab, moves the first available channel to the user's list,
    // leaving the focus in the available list. Where the dialog lies; empty
    // on failure.
    QRect moveFirstChannelInSettings();

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
                               const QByteArray& extraSettings, const QString& localService)
{
    QByteArray settings = extraSettings;
    if (localService.isEmpty()) {
        QVERIFY(m_session->startEmulator(scenario));
    } else {
        QVERIFY(m_session->emulator().start(scenario, {"--local-service", localService}));
        settings += QString("local-service=127.0.0.1:%1\n")
                        .arg(m_session->emulator().localServicePort())
                        .toUtf8();
    }
    QVERIFY(m_session->startPlayer(channel, settings));
    QVERIFY(m_session->waitForOpenStream(channelId));
    QVERIFY(m_session->waitForLog(kVideoShown));
    QVERIFY(m_session->mainWindow() != 0);
}

void UserStories::openGuide(const QString& channel, int channelId)
{
    QVERIFY(m_session->emulator().start(recordingScenario()));
    QVERIFY(m_session->startPlayer(channel));
    QVERIFY(m_session->waitForOpenStream(channelId));
    QVERIFY(m_session->waitForLog(kVideoShown));
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"t"}));
}

QList<QPoint> UserStories::waitForImages(const QString& image, int count)
{
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    QList<QPoint> shown;
    // Each look takes a screenshot: waited for by the clock, not by the count.
    static_cast<void>(QTest::qWaitFor(
        [&] { return (shown = m_session->findImage(window, image)).size() == count; }, 30000));
    if (shown.size() != count)  // what the window showed instead
        m_session->saveScreen(window, QString("not-%1-%2").arg(count).arg(image));
    return shown;
}

int UserStories::windowWidth()
{
    return m_session->windowGeometry(m_session->mainWindow()).width();
}

QPoint UserStories::openRecordingsWithOneFile()
{
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    const QList<QPoint> button =
        m_session->findImage(window.adjusted(0, 0, 0, 60 - window.height()), "folder-open-22.png");
    if (button.size() != 1 || !m_session->click(button.first()))
        return {};
    const QList<QPoint> files = waitForImages("video-x-generic.png", 1);
    return files.size() == 1 ? files.first() : QPoint();
}

void UserStories::enterFullscreen()
{
    QVERIFY(m_session->pressKeys({"Return"}));
    QTRY_COMPARE_WITH_TIMEOUT(windowWidth(), 1280, 30000);
}

QStringList UserStories::pointAtEdge(const QPoint& edge, const QString& overlay)
{
    QStringList shown;
    static_cast<void>(QTest::qWaitFor(
        [&] {
            return m_session->xdotool({"mousemove", "640", "400", "mousemove",
                                       QString::number(edge.x()), QString::number(edge.y())}) &&
                   QTest::qWaitFor(
                       [&] { return !(shown = m_session->windowsNamed(overlay)).isEmpty(); }, 2000);
        },
        30000));
    return shown;
}

void UserStories::expectCleanExit()
{
    QVERIFY(m_session->waitForExit());
    QCOMPARE(m_session->player().exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_session->player().exitCode(), 0);
}

void UserStories::openPortal()
{
    startPlaying(PlayerSession::dataFile("portal-keys.json"), kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"ctrl+alt+b"}));
    QVERIFY(m_session->waitForLog("portal page: start"));
    QVERIFY(m_session->pressKeys({"ctrl+s"}));
    QVERIFY(m_session->waitForLog("[MediaPlayer::stop] Playback stopped"));
}

void UserStories::clickColour(QRgb colour)
{
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    QPoint block;
    // Each look takes a screenshot: waited for by the clock, not by the count.
    QVERIFY(QTest::qWaitFor(
        [&] { return !(block = m_session->findColour(window, colour)).isNull(); }, 30000));
    QVERIFY(m_session->click(block));
}

bool UserStories::waitForFilmPicture(const QString& film, int count)
{
    const QString picture =
        "first picture of " + m_session->emulator().url("/films/" + film).toString();
    return QTest::qWaitFor([&] { return m_session->debugLog().count(picture) >= count; }, 30000);
}

QString UserStories::lastOpenStream()
{
    const QList<EmulatorRequest> opened = m_session->emulator().requests("OpenStream");
    return opened.isEmpty() ? QString() : opened.last().message;
}

QRect UserStories::moveFirstChannelInSettings()
{
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    // The toolbar alone: the dark gear is found on any dark patch below it.
    const QList<QPoint> button =
        m_session->findImage(window.adjusted(0, 0, 0, 34 - window.height()), "settings.png");
    if (button.size() != 1 || !m_session->click(button.first()) ||
        !m_session->answerBox(kSettingsDialog, {"ctrl+Tab", "ctrl+Tab"}))
        return {};
    const QRect dialog =
        m_session->windowGeometry(m_session->windowsNamed(kSettingsDialog).first().toULongLong());
    // The user's list comes with its first channel chosen.
    const bool loaded = QTest::qWaitFor(
        [&] { return countPixels(m_session->grabScreen(dialog), isSelectionBlue) > 4000; }, 30000);
    // The topmost is "Move to right", above "Move all to right".
    const QList<QPoint> right = m_session->findImage(dialog, "right.png");
    const QPoint available = right.value(0) - QPoint(80, 0);
    const bool moved = loaded && !right.isEmpty() && m_session->click(available) &&
                       m_session->pressKeys({"Home"}) && m_session->click(right.first()) &&
                       m_session->click(available);
    return moved ? dialog : QRect();
}

void UserStories::logInPlaysTheLastChannel()
{
    startPlaying("demo", kCinema, 3, {}, "0");
    const QStringList calls = rpcNames(m_session->emulator().requests());
    QVERIFY2(calls.contains("LocalService:GetServiceVersion"), qPrintable(calls.join(' ')));
    // Before it, only the update check's GET, which names no method.
    QCOMPARE(calls.filter(QRegularExpression("^(?!LocalService:).")).first(),
             QStringLiteral("Auth"));
    QCOMPARE(m_session->openedChannels(), QList<int>{3});
    QVERIFY(m_session->waitForLog("Player Service is active"));
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
    // And after a click on the video.
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    QVERIFY(m_session->click(window.topLeft() + QPoint(window.width() / 3, window.height() / 2)));
    QVERIFY(m_session->pressKeys({"Prior"}));
    QVERIFY(m_session->waitForOpenStream(11));
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

void UserStories::portalAndBackTwentyTimesKeepsPlaying()
{
    startPlaying("demo", kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    int shown = 0;
    for (int round = 1; round <= 20; ++round) {
        // Each entry to the portal reads its film links again.
        const int entered = int(m_session->debugLog().count(kPortalLinksRead));
        const int opened = int(m_session->openedChannels().size());
        shown = int(m_session->debugLog().count(kVideoShown));
        QVERIFY(m_session->pressKeys({"ctrl+alt+b"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kPortalLinksRead) > entered, 30000);
        QVERIFY(m_session->pressKeys({"ctrl+alt+d"}));
        QTRY_VERIFY_WITH_TIMEOUT(m_session->openedChannels().size() > opened, 30000);
        QCOMPARE(m_session->openedChannels().last(), 1);
        QCOMPARE(m_session->player().state(), QProcess::Running);
    }
    // Back from the last round, the video shows again.
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) > shown, 30000);
    QCOMPARE(countOf(m_session->emulator().requests(), kPortalPath), 1);
}

// A session's logout, Ctrl+C in a terminal and a service manager all end the
// player as Q does, even when closing only hides it to the tray.
void UserStories::terminationSignalsEndTheProcessKeepingTheWindow_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void UserStories::terminationSignalsEndTheProcessKeepingTheWindow()
{
    QFETCH(int, signal);
    startPlaying("demo", kFirst, 1, "close-to-tray=true\nfirst-time-tray=false\n");
    const QString window = QString::number(m_session->mainWindow());
    QVERIFY(m_session->xdotool({"windowsize", window, "1000", "640"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->windowGeometry(window.toULongLong()).size(),
                              QSize(1000, 640), 30000);
    m_session->emulator().clearRequests();
    m_session->sendSignal(signal);
    expectCleanExit();
    QVERIFY(m_session->settingsIni().contains("size=@Size(1000 640)"));
    QCOMPARE(m_session->emulator().requests("SetStbSettings").size(), 1);
}

void UserStories::quittingWhileRecordingKeepsTheRecording()
{
    startPlaying("demo", kFirst, 1);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"r"}));
    QVERIFY(m_session->waitForLog("Recording to"));
    QVERIFY(m_session->pressKeys({"q"}));
    expectCleanExit();
    const QFileInfoList recordings = folderEntries(m_session->recordingsDirectory());
    QCOMPARE(recordings.size(), 1);
    const QString name = recordings.first().fileName();
    QVERIFY2(QRegularExpression(kRecordingStamp + kFirst + " .+\\.mpg$").match(name).hasMatch(),
             qPrintable(name));
    QVERIFY2(recordings.first().size() > 0, qPrintable(name));
}

// A telecast of another channel, due within the minute, is scheduled from the
// guide: the player asks, switches and records it. The user stops the
// recording, finds the file in the recordings browser and plays it.
void UserStories::scheduledTelecastIsRecordedAndPlaysFromTheBrowser()
{
    openGuide("Alpha", 1);
    // The search line has the focus, its text selected.
    QVERIFY(m_session->xdotool({"type", "--delay", "100", "ch:Beta"}));
    QVERIFY(m_session->pressKeys({"Return"}));
    const QList<QPoint> links = waitForImages("no-record.png", 3);  // on air, Quiz Night, ...
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    QVERIFY(m_session->saveScreen(window, "guide-page.png"));
    QCOMPARE(links.size(), 3);
    QVERIFY(m_session->click(links[1]));
    QVERIFY(m_session->answerBox(kQuestionBox, {"Return"}));  // switch and record
    QVERIFY(m_session->waitForOpenStream(2));
    // A page chosen before the window has settled on the new picture gives way
    // to the video; it settles before it looks at the channel's audio tracks.
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count("Switching to audiotrack") >= 2, 30000);
    QVERIFY(m_session->waitForLog("Recording to"));
    QElapsedTimer recording;
    recording.start();
    QVERIFY(m_session->pressKeys({"F6"}));
    QCOMPARE(waitForImages("remove.png", 1).size(), 1);
    QCOMPARE(m_session->recordTable().size(), 1);
    QCOMPARE(m_session->recordTable().first().section('\t', 0, 1), QString("Beta\tQuiz Night"));
    // The user lets it record a while before stopping it.
    QTest::qWait(qMax(0, 8000 - int(recording.elapsed())));
    const double recorded = recording.elapsed() / 1000.0;
    QVERIFY(m_session->pressKeys({"F5"}));
    QVERIFY(m_session->answerBox(kQuestionBox, {"Return"}));  // cancel the recording
    QVERIFY(m_session->waitForLog("Recording stopped"));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->recordTable().isEmpty(), 30000);

    const QPoint file = openRecordingsWithOneFile();
    QVERIFY(!file.isNull());
    QVERIFY(m_session->saveScreen(window, "recordings-browser.png"));
    const QFileInfoList recordings = folderEntries(m_session->recordingsDirectory());
    QCOMPARE(recordings.size(), 1);
    const QString path = recordings.first().absoluteFilePath();
    QVERIFY2(QRegularExpression(kRecordingStamp + "- Beta - Quiz Night\\.mpg$")
                 .match(recordings.first().fileName())
                 .hasMatch(),
             qPrintable(path));
    QVERIFY(m_session->click(file, 2));
    QVERIFY(m_session->waitForLog("[MediaPlayer] first picture of file://" + path));
    const double video = secondsOfVideo(path);
    QVERIFY2(video >= recorded - 2, qPrintable(QString("%1 s of %2 s").arg(video).arg(recorded)));
}

// Three telecasts scheduled from the guide are a promise kept even by a
// player that is killed: the next start schedules them again.
void UserStories::scheduledTelecastsSurviveAKilledPlayer()
{
    openGuide("Gamma", 3);
    for (int scheduled = 1; scheduled <= 3; ++scheduled) {
        // The one on air first, then the next not scheduled.
        const QList<QPoint> links = waitForImages("no-record.png", 5 - scheduled);
        QCOMPARE(links.size(), 5 - scheduled);
        QVERIFY(m_session->click(links[1]));
        QTRY_COMPARE_WITH_TIMEOUT(m_session->recordTable().size(), scheduled, 30000);
    }
    const QStringList table = m_session->recordTable();
    m_session->sendSignal(SIGKILL);
    QVERIFY(m_session->waitForExit());
    QVERIFY(m_session->restartPlayer());
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count("Switching to audiotrack") >= 2, 30000);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"t"}));
    QCOMPARE(waitForImages("record.png", 3).size(), 3);
    QVERIFY(m_session->pressKeys({"F6"}));
    QCOMPARE(waitForImages("remove.png", 3).size(), 3);
    // Loading leaves the file as it was: nothing changed.
    QCOMPARE(m_session->recordTable(), table);
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

// A closed-channel picture the server does not have, and a local service that
// takes the question but never answers, leave the channel playing; the
// service is given up.
void UserStories::missingClosedChannelPictureStillPlays()
{
    startPlaying(PlayerSession::dataFile("picture-missing.json"), kCinema, 3, {}, "0,silent");
    QCOMPARE(countOf(m_session->emulator().requests(), "/images/no-such-picture.png"), 1);
    QVERIFY(m_session->waitForLog("Player Service not active"));
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

// Nothing plays on a closed channel: the operator's picture says why. A
// channel whose stream fails says so in the status bar.
void UserStories::closedAndBrokenChannelsSayWhyNothingPlays()
{
    startPlaying(PlayerSession::dataFile("stories.json"), kFirst, 1);
    const QRect window = m_session->windowGeometry(m_session->mainWindow());
    const QRect bottom = window.adjusted(0, window.height() * 9 / 10, 0, 0);
    const auto denyPicture = [&] {
        return countPixels(m_session->grabScreen(window), isDenyGrey) > window.width() * 10;
    };
    const auto errorText = [&] {
        return countPixels(m_session->grabScreen(bottom), isErrorRed) > 0;
    };
    QVERIFY(!denyPicture() && !errorText());
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"3"}));
    QVERIFY(m_session->waitForLog("[MediaPlayer::stop] Playback stopped"));
    // Each look takes a screenshot: waited for by the clock, not by the count.
    QVERIFY(QTest::qWaitFor(denyPicture, 30000));
    QCOMPARE(m_session->openedChannels(), QList<int>{1});
    QVERIFY(m_session->pressKeys({"4"}));
    QVERIFY(m_session->waitForOpenStream(4));
    QVERIFY(QTest::qWaitFor(errorText, 30000));
    QVERIFY(!denyPicture());
    QVERIFY(m_session->pressKeys({"1"}));
    QVERIFY(m_session->waitForOpenStream(1));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) >= 2, 30000);
    QVERIFY(!errorText());
}

// With a volume per channel, a channel opens at its own, keeps the change the
// user makes, and closing hands every channel's volume to the server.
void UserStories::channelVolumesOpenWithTheChannelAndReachTheServer()
{
    startPlaying(PlayerSession::dataFile("stories.json"), kFirst, 1, "use-global-volume=false\n");
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"Next"}));
    QVERIFY(m_session->waitForOpenStream(2));
    // The server keeps 30 of 100 for the channel; the player counts to 200.
    QTRY_VERIFY_WITH_TIMEOUT(m_session->settingsIni().contains("global-volume=60"), 30000);
    QVERIFY(m_session->pressKeys({"KP_Add"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->settingsIni().contains("global-volume=65"), 30000);
    QVERIFY(m_session->pressKeys({"q"}));
    expectCleanExit();
    const QList<EmulatorRequest> saved = m_session->emulator().requests("SetStbSettings");
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().message,
             "auth: \"emulator-token\" data { volume: 65 channel_volume { enabled: true "
             "record { id_channel: 1 volume: 50 } record { id_channel: 2 volume: 32 } "
             "record { id_channel: 3 volume: 50 } record { id_channel: 4 volume: 50 } } }");
}

// The first start of a new version offers its news until the user declines
// them; the window comes back where the user left it.
void UserStories::newsAndWindowPlaceAcrossTwoStarts()
{
    QVERIFY(m_session->startEmulator(PlayerSession::dataFile("stories.json")));
    QVERIFY(m_session->startPlayer(kFirst, "version-info=old\n"));
    QVERIFY(m_session->waitForLog("[main] Starting in new installed version"));
    QStringList news;
    QTRY_VERIFY_WITH_TIMEOUT(!(news = m_session->windowsNamed(kNewsTitle)).isEmpty(), 30000);
    // "Don't show this dialog at startup", just above the dialog's buttons.
    const QRect dialog = m_session->windowGeometry(news.first().toULongLong());
    QVERIFY(m_session->xdotool({"mousemove", "--window", news.first(), "17",
                                QString::number(dialog.height() - 56), "click", "1"}));
    QVERIFY(m_session->pressKeys({"Escape"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->windowsNamed(kNewsTitle).isEmpty(), 30000);
    QVERIFY(m_session->settingsIni().contains("version-info=2.2.16"));
    const qulonglong window = m_session->mainWindow();
    QVERIFY(m_session->xdotool({"windowsize", QString::number(window), "1000", "640"}));
    QVERIFY(m_session->xdotool({"windowmove", QString::number(window), "60", "40"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->windowGeometry(window).size(), QSize(1000, 640), 30000);
    const QRect placed = m_session->windowGeometry(window);
    QVERIFY(m_session->waitForLog(kVideoShown));
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"KP_Subtract", "q"}));
    expectCleanExit();
    const QList<EmulatorRequest> saved = m_session->emulator().requests("SetStbSettings");
    QCOMPARE(saved.size(), 1);
    QCOMPARE(saved.first().message,
             "auth: \"emulator-token\" data { volume: 95 channel_volume { enabled: false } }");
    QVERIFY(m_session->settingsIni().contains("size=@Size(1000 640)"));

    QVERIFY(m_session->restartPlayer());
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) >= 2, 30000);
    QCOMPARE(m_session->windowGeometry(m_session->mainWindow()), placed);
    QVERIFY(m_session->windowsNamed(kNewsTitle).isEmpty());
    const QString secondStart = m_session->debugLog().section("Session started", -1);
    QVERIFY(!secondStart.contains("Starting in new installed version"));
}

// A subscriber who left in the portal but has lost video on demand starts
// watching television, where the timeshift keys replay the channel an hour
// back and then live again.
void UserStories::lostPortalStartsInTelevisionWhereTimeshiftKeysWork()
{
    startPlaying(PlayerSession::dataFile("stories.json"), kFirst, 1,
                 "last-mode=media portal\nuser-vod-available=true\n");
    QTRY_VERIFY_WITH_TIMEOUT(m_session->settingsIni().contains("last-mode=iptv"), 30000);
    QVERIFY(m_session->clickTitleBar());
    QVERIFY(m_session->pressKeys({"ctrl+Left"}));
    QTRY_VERIFY_WITH_TIMEOUT(lastOpenStream().contains("channel_id: 1 offset_id: 7"), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(countOf(m_session->emulator().requests(), "/stream/1?offset=7"), 1,
                              30000);
    QVERIFY(m_session->pressKeys({"ctrl+z"}));
    QTRY_VERIFY_WITH_TIMEOUT(lastOpenStream().contains("channel_id: 1 offset_id: 1"), 30000);
    QTRY_COMPARE_WITH_TIMEOUT(countOf(m_session->emulator().requests(), "/stream/1?offset=1"), 2,
                              30000);
}

// In the portal with nothing playing, the remote's genre and movie keys step
// through the page.
void UserStories::portalKeysStepThroughGenresAndMovies()
{
    // The channel plays on behind the page; only once it is stopped do these
    // keys walk the page instead of seeking.
    openPortal();
    QVERIFY(m_session->waitForLog("[portal] console info: portal ready"));
    // Each press is followed by a look at the page, where the step shows.
    const QList<QPair<QString, QString>> steps = {
        {"ctrl+shift+f", "genre 1, movie 0"}, {"ctrl+shift+f", "genre 2, movie 0"},
        {"ctrl+shift+b", "genre 1, movie 0"}, {"ctrl+f", "genre 1, movie 1"},
        {"ctrl+b", "genre 1, movie 0"},
    };
    static const QRegularExpression shown("console info: step \\d+: (genre -?\\d+, movie -?\\d+)");
    for (int done = 0; done < steps.size(); ++done) {
        QVERIFY(m_session->pressKeys({steps[done].first}));
        QStringList positions;
        QTRY_VERIFY2_WITH_TIMEOUT(
            (positions = capturesOf(shown, m_session->debugLog())).size() > done,
            qPrintable(steps[done].first), 30000);
        QCOMPARE(positions.last(), steps[done].second);
    }
}

// A film link plays in the window, a film-database link goes to the desktop's
// browser, any other link stays unfollowed; pages with broken HTML or more
// episodes than a series holds leave the player as usable.
void UserStories::portalLinksPlayFilmsOpenFilmDatabasesAndGoNowhereElse()
{
    openPortal();
    clickColour(kImdbLink);
    QTRY_COMPARE_WITH_TIMEOUT(m_session->browserRequests(),
                              QStringList{"http://www.imdb.com/title/tt0000001/"}, 30000);
    clickColour(kAboutLink);
    QVERIFY(
        m_session->waitForLog("link clicked: " + m_session->emulator().url("/about").toString()));
    clickColour(kBigSeriesButton);
    QVERIFY(m_session->waitForLog("100 of 120 film links kept"));
    clickColour(kBrokenPageButton);
    QVERIFY(m_session->waitForLog("portal page: broken"));
    clickColour(kUnknownSchemeLink);
    clickColour(kSeriesButton);
    QVERIFY(m_session->waitForLog("3 of 3 film links kept"));
    QCOMPARE(countOf(m_session->emulator().requests(), "/about"), 0);

    clickColour(kDramaButton);
    QVERIFY(m_session->waitForLog("portal page: genre 1"));
    clickColour(kSecondFilmLink);
    QVERIFY(waitForFilmPicture("drama-2.mkv"));
    QVERIFY(QTest::qWaitFor([&] { return m_session->debugLog().count(kVideoShown) == 2; }, 30000));
    m_session->saveScreen(m_session->windowGeometry(m_session->mainWindow()),
                          "portal-playing-film.png");
}

// Clicked, an episode plays, the next follows when it ends, and the page keys
// step back and forth through the series.
void UserStories::portalSeriesPlaysItsEpisodesInTurn()
{
    openPortal();
    clickColour(kSeriesButton);
    QVERIFY(m_session->waitForLog("3 of 3 film links kept"));
    clickColour(kFirstEpisodeLink);
    QVERIFY(waitForFilmPicture("episode-1.mkv"));
    QVERIFY(waitForFilmPicture("episode-2.mkv"));  // four seconds on, by itself
    QVERIFY(m_session->waitForLog("[MainWindow::showSerialName] 2 "));
    QVERIFY(m_session->pressKeys({"Prior"}));
    QVERIFY(waitForFilmPicture("episode-1.mkv", 2));
    QVERIFY(m_session->pressKeys({"Next"}));
    QVERIFY(waitForFilmPicture("episode-2.mkv", 2));
}

// The row under the video: the channel's programme, and buttons that step
// back an hour and come back to live.
void UserStories::progressButtonsUnderTheVideoShiftTime()
{
    startPlaying(PlayerSession::dataFile("stories.json"), kFirst, 1);
    const QList<QPoint> stepBack = waitForImages("timeshift-step-back.png", 1);
    QVERIFY(!stepBack.isEmpty());
    m_session->saveScreen(m_session->windowGeometry(m_session->mainWindow()),
                          "window-with-progress-panel.png");
    QVERIFY(m_session->click(stepBack.first()));
    QTRY_VERIFY_WITH_TIMEOUT(lastOpenStream().contains("channel_id: 1 offset_id: 7"), 30000);
    const QList<QPoint> live = waitForImages("timeshift-live.png", 1);
    QVERIFY(!live.isEmpty());
    QVERIFY(m_session->click(live.first()));
    QTRY_VERIFY_WITH_TIMEOUT(lastOpenStream().contains("channel_id: 1 offset_id: 1"), 30000);
}

// In fullscreen the bottom edge shows the channel's programme and the right
// edge the channel list, where one click plays a channel; Escape comes back,
// and quitting from fullscreen keeps the window's own size. Fullscreen puts
// the window on top: the window, and the video surface libVLC draws into,
// must survive that, or libVLC opens a window of its own.
void UserStories::fullscreenEdgesShowTheProgrammeAndTheChannelList()
{
    startPlaying("demo", kFirst, 1);
    const int windowed = windowWidth();
    QVERIFY(m_session->clickTitleBar());
    enterFullscreen();
    const QRect screen(0, 0, 1280, 800);

    QVERIFY(!pointAtEdge({640, 799}, kProgrammeOverlay).isEmpty());
    m_session->saveScreen(screen, "fullscreen-channel-programme.png");

    const QStringList list = pointAtEdge({1279, 400}, kFullscreenList);
    QVERIFY(!list.isEmpty());
    QVERIFY(m_session->windowsNamed(kProgrammeOverlay).isEmpty());
    m_session->saveScreen(screen, "fullscreen-channel-list.png");
    const QRect listArea = m_session->windowGeometry(list.first().toULongLong());
    QVERIFY(m_session->click(listArea.topLeft() + QPoint(listArea.width() / 2, 48 + 24)));
    QVERIFY(m_session->waitForOpenStream(2));
    // The new channel's programme shows for a while, and a step back in time
    // shows the banner for a while.
    QTRY_VERIFY_WITH_TIMEOUT(!m_session->windowsNamed(kProgrammeOverlay).isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_session->windowsNamed(kProgrammeOverlay).isEmpty(), 10000);
    QVERIFY(m_session->pressKeys({"ctrl+Left"}));
    QTRY_VERIFY_WITH_TIMEOUT(!m_session->windowsNamed(kBanner).isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(m_session->windowsNamed(kBanner).isEmpty(), 10000);

    QVERIFY(m_session->pressKeys({"Escape"}));
    QTRY_COMPARE_WITH_TIMEOUT(windowWidth(), windowed, 30000);
    QVERIFY(m_session->windowsNamed(kFullscreenList).isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) >= 2, 30000);
    const QStringList ownWindows = m_session->windowsNamed("VLC");
    QVERIFY2(ownWindows.isEmpty(), qPrintable(m_session->windowNames(ownWindows).join(", ")));

    enterFullscreen();
    QVERIFY(m_session->pressKeys({"q"}));
    expectCleanExit();
    const QString ini = QString::fromUtf8(m_session->settingsIni());
    QVERIFY2(ini.contains(QString("size=@Size(%1 ").arg(windowed)), qPrintable(ini));
}

// A film the user put in the recordings folder plays from the browser; in
// fullscreen the bottom edge shows the panel, a click on its bar moves the
// film on, and its button leaves fullscreen.
void UserStories::filmSeeksByItsBarAndThePanelLeavesFullscreen()
{
    startPlaying("demo", kFirst, 1);
    const QString film = m_session->recordingsDirectory() + "/film.ts";
    QVERIFY(QFile::copy(ZENTRIA_E2E_FILM, film));
    const int windowed = windowWidth();
    const QPoint file = openRecordingsWithOneFile();
    QVERIFY(!file.isNull());
    QVERIFY(m_session->click(file, 2));
    QVERIFY(m_session->waitForLog("[MediaPlayer] first picture of file://" + film));

    enterFullscreen();
    const QStringList panel = pointAtEdge({640, 799}, kFullscreenPanel);
    QVERIFY(!panel.isEmpty());
    // The bar takes no click before it knows the film's length (about 120 s).
    static const QRegularExpression played("progres_max 1[12]\\d played_min 0 played_max (\\d+)");
    const auto playedSeconds = [this] {
        const QStringList seconds = capturesOf(played, m_session->debugLog());
        return seconds.isEmpty() ? -1 : seconds.last().toInt();
    };
    QTRY_VERIFY_WITH_TIMEOUT(playedSeconds() >= 0, 30000);
    const QRect panelArea = m_session->windowGeometry(panel.first().toULongLong());
    // Three quarters along the film's bar is 1:30; the bar is found by the
    // grey of the part not yet played.
    const int x = panelArea.left() + panelArea.width() * 3 / 4;
    const auto barRow = [&] {
        const QByteArray column =
            m_session->grabScreen(QRect(x, panelArea.top(), 1, panelArea.height()));
        int greyRun = 0;
        for (int row = 0; row * 3 + 2 < column.size(); ++row) {
            const bool grey = isBarGrey(quint8(column[row * 3]), quint8(column[row * 3 + 1]),
                                        quint8(column[row * 3 + 2]));
            greyRun = grey ? greyRun + 1 : 0;
            if (greyRun == 3)  // a stretch of the bar, not a grey pixel of the panel's edge
                return row - 1;
        }
        return -1;
    };
    int row = -1;
    // Each look takes a screenshot: waited for by the clock, not by the count.
    QVERIFY(QTest::qWaitFor([&] { return (row = barRow()) >= 0; }, 10000));
    QVERIFY(m_session->click({x, panelArea.top() + row}));
    QTRY_VERIFY_WITH_TIMEOUT(playedSeconds() >= 80, 30000);
    m_session->saveScreen(QRect(0, 0, 1280, 800), "fullscreen-film-panel.png");
    // Its first button, at the top right; the dark picture alone would be
    // found on every dark patch of the panel.
    const QRect corner(panelArea.right() - 60, panelArea.top(), 61, 40);
    const QList<QPoint> defullscreen = m_session->findImage(corner, "defullscreen.png");
    QVERIFY(!defullscreen.isEmpty());
    QVERIFY(m_session->click(defullscreen.first()));
    QTRY_COMPARE_WITH_TIMEOUT(windowWidth(), windowed, 30000);
}

// The user's own channel list, edited in the settings dialog: Cancel keeps
// everything as it was; OK sends the list to the server, and the next start
// lists the user's channels in the user's order.
void UserStories::userChannelListFromTheSettingsDialog()
{
    startPlaying(PlayerSession::dataFile("user-channels.json"), kNews, 2,
                 "show-user-channels=true\n");
    const QByteArray ini = m_session->settingsIni();
    QVERIFY(!moveFirstChannelInSettings().isEmpty());
    QVERIFY(m_session->pressKeys({"Escape"}));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->windowsNamed(kSettingsDialog).isEmpty(), 30000);
    QCOMPARE(m_session->settingsIni(), ini);
    QVERIFY(m_session->emulator().requests("SetUserChannel").isEmpty());

    const QRect dialog = moveFirstChannelInSettings();
    QVERIFY(!dialog.isEmpty());
    QVERIFY(m_session->saveScreen(dialog, "settings-dialog.png"));
    QVERIFY(m_session->pressKeys({"Return"}));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->emulator().requests("SetUserChannel").size(), 1, 30000);
    QCOMPARE(m_session->emulator().requests("SetUserChannel").first().message,
             "auth: \"emulator-token\" data { channel_id: 2 channel_id: 1 enabled: true } "
             "use_shared: true");
    // The window's keys work again as soon as the dialog has gone.
    QTRY_VERIFY_WITH_TIMEOUT(m_session->windowsNamed(kSettingsDialog).isEmpty(), 30000);
    QVERIFY(m_session->pressKeys({"q"}));
    expectCleanExit();
    QVERIFY(m_session->restartPlayer());
    QTRY_VERIFY_WITH_TIMEOUT(m_session->debugLog().count(kVideoShown) >= 2, 30000);
    // The restored window may still be settling in its place: a user who
    // missed the row double-clicks it again.
    QVERIFY(QTest::qWaitFor(
        [&] {
            return m_session->doubleClickChannelRow(1) && m_session->waitForOpenStream(1, 5000);
        },
        30000));
    QCOMPARE(m_session->emulator().requests("SetUserChannel").size(), 1);  // none on Cancel
}

QTEST_GUILESS_MAIN(UserStories)
#include "tst_userstories.moc"
