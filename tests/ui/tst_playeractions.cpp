#include "channelmanager.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "playeractions.h"
#include "playersession.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QDirIterator>
#include <QJsonArray>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

constexpr int playTimeout = 20000;

QJsonObject scenario()
{
    QJsonArray channels;
    for (int id : {1, 2})
        channels << QJsonObject{
            {"id", id}, {"name", QStringLiteral("Channel %1").arg(id)}, {"offsets", QJsonArray{1}}};
    return QJsonObject{
        {"userInfo", QJsonObject{{"vod", true}, {"blocked", false}}},
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}}}},
        {"guide", QJsonObject{{"daysBefore", 0}, {"daysAfter", 0}}},
        {"updateInterval", 30},
        {"channels", channels},
    };
}

bool sameIcon(const QIcon& icon, const char* path)
{
    const QImage expected = QIcon(QString::fromLatin1(path)).pixmap(22).toImage();
    return !expected.isNull() && icon.pixmap(22).toImage() == expected;
}

qint64 bytesUnder(const QString& folder)
{
    qint64 total = 0;
    QDirIterator files(folder, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        total += QFileInfo(files.next()).size();
    return total;
}

}  // namespace

// The playback actions of the main window, against the emulator and a real
// libVLC.
class TestPlayerActions : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void idleButtonsFollowTheMode_data();
    void idleButtonsFollowTheMode();
    void tvProgramButtonOpensAndClosesTheGuide();
    void tvProgramClosesToTheVideoWhilePlaying();
    void toggleTvProgramSetsTheGuideState();
    void scheduledRecordListTogglesItsPage();
    void scheduledRecordListOutsideIptvIsLogged();
    void pauseOrPlayFollowsThePlayer();
    void portalStartsTheAnnouncedMovie();
    void stopEndsThePortalMovie();
    void recordRecordsIntoTheSaveFolder();
    void recordWithoutAChannelIsLogged();
    void savedPictureGeometryShowsInTheFirstPicture();

private:
    void createWindow() { m_session->createWindow(); }
    bool start() { return m_session->start(scenario()) && m_session->waitForLoad(); }
    bool playChannel(int row) { return m_session->playChannel(row, playTimeout); }
    bool startPortalMovie();
    template <typename Widget>
    Widget* child(const char* name) const
    {
        return m_session->child<Widget>(name);
    }
    template <typename Action>
    Action* action(const char* button) const
    {
        return qobject_cast<Action*>(child<QToolButton>(button)->defaultAction());
    }
    int page() const { return m_session->window->currentPage(); }
    MediaPlayer* player() const { return m_session->window->getMediaPlayer(); }

    std::unique_ptr<PlayerSession> m_session;
};

void TestPlayerActions::init()
{
    m_session = std::make_unique<PlayerSession>();
}

void TestPlayerActions::cleanup()
{
    m_session.reset();
}

bool TestPlayerActions::startPortalMovie()
{
    m_session->window->setMode(MainWindow::MediaPortalMode);
    m_session->window->setDefaultMovie(m_session->emulator->url("/stream/1").toString(), "Movie");
    QSignalSpy video(m_session->window.get(), &MainWindow::switchedToVideo);
    action<PauseOrPlayAction>("buttonPlayPause")->trigger();
    return video.wait(playTimeout);
}

void TestPlayerActions::idleButtonsFollowTheMode_data()
{
    QTest::addColumn<MainWindow::Mode>("mode");
    QTest::addColumn<bool>("guide");
    QTest::addColumn<bool>("playPause");
    QTest::addColumn<bool>("secondSeparator");
    QTest::newRow("IPTV") << MainWindow::IptvMode << true << false << true;
    QTest::newRow("portal") << MainWindow::MediaPortalMode << false << true << false;
    QTest::newRow("recordings") << MainWindow::RecordViewMode << false << false << false;
}

void TestPlayerActions::idleButtonsFollowTheMode()
{
    QFETCH(MainWindow::Mode, mode);
    QFETCH(bool, guide);
    QFETCH(bool, playPause);
    QFETCH(bool, secondSeparator);
    createWindow();
    m_session->window->setMode(mode, true);

    for (const char* name : {"buttonTvProgram", "buttonScheduledRecordList"}) {
        QCOMPARE(action<PlayerAction>(name)->isVisible(), guide);
        QCOMPARE(action<PlayerAction>(name)->isEnabled(), guide);
        QCOMPARE(child<QToolButton>(name)->isHidden(), !guide);
    }
    for (const char* name : {"buttonMovieOrPortal", "buttonStopPlayback", "buttonRecord"}) {
        QVERIFY2(!action<PlayerAction>(name)->isVisible(), name);
        QVERIFY2(child<QToolButton>(name)->isHidden(), name);
    }
    auto* playAction = action<PauseOrPlayAction>("buttonPlayPause");
    QCOMPARE(playAction->isVisible(), playPause);
    QCOMPARE(child<QToolButton>("buttonPlayPause")->isHidden(), !playPause);
    QCOMPARE(playAction->text(), QStringLiteral("Play (Space)"));
    QVERIFY(sameIcon(playAction->icon(), ":/images/media-playback-start.png"));
    if (mode == MainWindow::MediaPortalMode)
        QVERIFY(!playAction->isEnabled());  // no movie announced yet
    QCOMPARE(child<QFrame>("line_2")->isHidden(), !secondSeparator);
    QVERIFY(child<QToolButton>("buttonLinks")->isHidden());
}

void TestPlayerActions::toggleTvProgramSetsTheGuideState()
{
    createWindow();
    auto* guide = action<ShowTvProgramAction>("buttonTvProgram");
    m_session->window->toggleTvProgram(true);
    QCOMPARE(page(), int(MainWindow::TvProgramPage));
    QVERIFY(guide->isChecked());
    m_session->window->toggleTvProgram(true);  // already shown: stays
    QCOMPARE(page(), int(MainWindow::TvProgramPage));
    m_session->window->toggleTvProgram(false);
    QCOMPARE(page(), int(MainWindow::LogoPage));
    QVERIFY(!guide->isChecked());
}

void TestPlayerActions::tvProgramButtonOpensAndClosesTheGuide()
{
    createWindow();
    auto* guide = action<ShowTvProgramAction>("buttonTvProgram");
    auto* button = child<QToolButton>("buttonTvProgram");
    QCOMPARE(page(), int(MainWindow::LogoPage));
    QCOMPARE(guide->toolTip(), QStringLiteral("Show TV program (F3, t)"));
    QSignalSpy toggled(guide, &QAction::toggled);

    button->click();
    QCOMPARE(page(), int(MainWindow::TvProgramPage));
    QVERIFY(guide->isChecked());
    QVERIFY(button->isChecked());
    QCOMPARE(button->toolTip(), QStringLiteral("Hide TV program (F3, t)"));

    button->click();
    QCOMPARE(page(), int(MainWindow::LogoPage));
    QVERIFY(!guide->isChecked());
    QVERIFY(!button->isChecked());
    QCOMPARE(guide->text(), QStringLiteral("Show TV program (F3, t)"));
    QCOMPARE(toggled.count(), 2);  // the clicks only, not the re-evaluation

    // The page shown by other means checks the button.
    m_session->window->showPage(MainWindow::TvProgramPage);
    QVERIFY(button->isChecked());

    m_session->window->setMode(MainWindow::RecordViewMode);
    QVERIFY(!guide->isVisible());
    guide->execute();
    QCOMPARE(page(), int(MainWindow::RecordingsPage));
    QVERIFY(!guide->isChecked());
}

void TestPlayerActions::tvProgramClosesToTheVideoWhilePlaying()
{
    QVERIFY(start());
    QVERIFY(playChannel(0));
    auto* guide = action<ShowTvProgramAction>("buttonTvProgram");
    guide->trigger();
    QCOMPARE(page(), int(MainWindow::TvProgramPage));
    // A channel change keeps the guide in front.
    QSignalSpy playing(player(), &MediaPlayer::playing);
    m_session->channels->setCurrentChannel(m_session->channels->channelAt(1));
    QVERIFY(playing.wait(playTimeout));
    QCOMPARE(page(), int(MainWindow::TvProgramPage));
    QVERIFY(guide->isChecked());
    guide->trigger();
    QCOMPARE(page(), int(MainWindow::VideoPage));
    QVERIFY(!guide->isChecked());
}

void TestPlayerActions::scheduledRecordListTogglesItsPage()
{
    createWindow();
    auto* list = action<ScheduledRecordListAction>("buttonScheduledRecordList");
    QCOMPARE(list->toolTip(), QStringLiteral("Show/hide scheduled recordings"));
    QVERIFY(sameIcon(list->icon(), ":/images/scheduled-record-list.png"));
    child<QToolButton>("buttonScheduledRecordList")->click();
    QCOMPARE(page(), int(MainWindow::ScheduledRecordsPage));
    QVERIFY(list->isChecked());
    list->trigger();
    QCOMPARE(page(), int(MainWindow::LogoPage));
    QVERIFY(!list->isChecked());
}

void TestPlayerActions::scheduledRecordListOutsideIptvIsLogged()
{
    createWindow();
    m_session->window->setMode(MainWindow::RecordViewMode);
    auto* list = action<ScheduledRecordListAction>("buttonScheduledRecordList");
    LogCapture log;
    list->execute();
    QVERIFY(
        log.contains("[ScheduledRecordListAction::execute] !!! trying to call in mode, "
                     "different from IPTV !!!"));
    QCOMPARE(page(), int(MainWindow::RecordingsPage));
    QVERIFY(!list->isChecked());
}

void TestPlayerActions::pauseOrPlayFollowsThePlayer()
{
    QVERIFY(start());
    QVERIFY(playChannel(0));
    auto* playPause = action<PauseOrPlayAction>("buttonPlayPause");
    auto* button = child<QToolButton>("buttonPlayPause");
    QTRY_VERIFY(playPause->isVisible());
    QVERIFY(!button->isHidden());
    QVERIFY(playPause->isEnabled());
    QCOMPARE(playPause->text(), QStringLiteral("Pause (Space)"));
    QVERIFY(sameIcon(playPause->icon(), ":/images/media-playback-pause.png"));
    QVERIFY(!action<PlayerAction>("buttonStopPlayback")->isVisible());  // never in IPTV

    QSignalSpy paused(player(), &MediaPlayer::paused);
    button->click();
    QVERIFY(paused.wait(playTimeout));
    QCOMPARE(playPause->text(), QStringLiteral("Play (Space)"));
    QCOMPARE(button->toolTip(), QStringLiteral("Play (Space)"));
    QVERIFY(sameIcon(button->icon(), ":/images/media-playback-start.png"));
    QVERIFY(playPause->isVisible());  // paused is not idle

    QSignalSpy resumed(player(), &MediaPlayer::playingNotVout);
    playPause->trigger();
    QVERIFY(resumed.wait(playTimeout));
    QCOMPARE(playPause->toolTip(), QStringLiteral("Pause (Space)"));
    QVERIFY(sameIcon(playPause->icon(), ":/images/media-playback-pause.png"));
}

void TestPlayerActions::portalStartsTheAnnouncedMovie()
{
    QVERIFY(start());
    m_session->window->setMode(MainWindow::MediaPortalMode);
    auto* playPause = action<PauseOrPlayAction>("buttonPlayPause");
    QCOMPARE(playPause->portalState(), PauseOrPlayAction::NoMovie);
    QVERIFY(!playPause->isEnabled());

    m_session->window->setDefaultMovie(m_session->emulator->url("/stream/1").toString(), "Movie");
    QCOMPARE(playPause->portalState(), PauseOrPlayAction::MovieKnown);
    QVERIFY(playPause->isEnabled());
    QCOMPARE(playPause->text(), QStringLiteral("Play (Space)"));

    QSignalSpy playing(player(), &MediaPlayer::playing);
    playPause->trigger();
    QCOMPARE(playPause->portalState(), PauseOrPlayAction::MovieStarting);
    QVERIFY(!playPause->isEnabled());
    QVERIFY(playing.wait(playTimeout));
    QCOMPARE(playPause->portalState(), PauseOrPlayAction::MovieLoaded);
    QVERIFY(playPause->isEnabled());
    QCOMPARE(playPause->text(), QStringLiteral("Pause (Space)"));

    // A mode change forgets the started movie.
    m_session->window->setMode(MainWindow::RecordViewMode);
    QCOMPARE(playPause->portalState(), PauseOrPlayAction::MovieKnown);
}

void TestPlayerActions::stopEndsThePortalMovie()
{
    QVERIFY(start());
    QVERIFY(startPortalMovie());
    auto* stop = action<StopVideoAction>("buttonStopPlayback");
    auto* videoOrPortal = action<VideoOrPortalAction>("buttonMovieOrPortal");
    QVERIFY(stop->isVisible());
    QVERIFY(stop->isEnabled());
    QCOMPARE(stop->toolTip(), QStringLiteral("Stop playback"));
    QVERIFY(sameIcon(stop->icon(), ":/images/media-playback-stop.png"));
    QVERIFY(videoOrPortal->isVisible());
    QCOMPARE(page(), int(MainWindow::VideoPage));
    QCOMPARE(videoOrPortal->text(), QStringLiteral("Switch back to portal"));

    // To the portal and back: the movie pauses meanwhile.
    QSignalSpy paused(player(), &MediaPlayer::paused);
    videoOrPortal->trigger();
    QCOMPARE(page(), int(MainWindow::PortalPage));
    QCOMPARE(videoOrPortal->text(), QStringLiteral("Switch to movie"));
    QVERIFY(sameIcon(videoOrPortal->icon(), ":/images/go-next.png"));
    QVERIFY(paused.wait(playTimeout));
    QSignalSpy resumed(player(), &MediaPlayer::playingNotVout);
    videoOrPortal->trigger();
    QCOMPARE(page(), int(MainWindow::VideoPage));
    QVERIFY(resumed.wait(playTimeout));

    QSignalSpy stopped(player(), &MediaPlayer::stopped);
    child<QToolButton>("buttonStopPlayback")->click();
    QVERIFY(stopped.wait(playTimeout));
    QVERIFY(!stop->isVisible());
    QVERIFY(child<QToolButton>("buttonStopPlayback")->isHidden());
    QVERIFY(!videoOrPortal->isVisible());
    QCOMPARE(action<PauseOrPlayAction>("buttonPlayPause")->portalState(),
             PauseOrPlayAction::MovieKnown);
}

void TestPlayerActions::recordRecordsIntoTheSaveFolder()
{
    QTemporaryDir temporary;
    const QString folder = temporary.filePath("records/today");
    Settings::instance()->setRecordSaveFolder(folder);
    QVERIFY(start());
    auto* record = action<RecordAction>("buttonRecord");
    QVERIFY(!record->isVisible());
    QVERIFY(playChannel(0));
    QVERIFY(record->isVisible());
    QVERIFY(record->isEnabled());
    QVERIFY(!record->isChecked());
    QCOMPARE(record->toolTip(), QStringLiteral("Start/Stop Recording"));
    QVERIFY(sameIcon(record->icon(), ":/images/record.png"));

    QSignalSpy recording(player(), &MediaPlayer::recording);
    child<QToolButton>("buttonRecord")->click();
    QVERIFY(recording.count() == 1 || recording.wait());
    QVERIFY(player()->isRecording());
    QVERIFY(record->isChecked());
    QVERIFY(sameIcon(record->icon(), ":/images/stop-record.png"));
    QVERIFY(QFileInfo(folder).isDir());
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(folder) > 0, 5000);
    const qint64 early = bytesUnder(folder);
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(folder) > early, 5000);

    QSignalSpy stoppedRecording(player(), &MediaPlayer::recordStopped);
    record->trigger();
    QVERIFY(stoppedRecording.count() == 1 || stoppedRecording.wait());
    QVERIFY(!player()->isRecording());
    QVERIFY(!record->isChecked());
    QVERIFY(sameIcon(record->icon(), ":/images/record.png"));

    // The window closes while recording: the recording is kept.
    const qint64 first = bytesUnder(folder);
    record->trigger();
    QVERIFY(player()->isRecording());
    QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(folder) > first, 5000);
    const qint64 second = bytesUnder(folder);
    m_session->window.reset();
    QVERIFY(bytesUnder(folder) >= second);
}

void TestPlayerActions::recordWithoutAChannelIsLogged()
{
    createWindow();
    m_session->window->setMode(MainWindow::RecordViewMode);
    LogCapture log;
    action<RecordAction>("buttonRecord")->execute();
    QVERIFY(
        log.contains("[RecordAction::execute] !!! Trying to toggle recording in mode "
                     "different from IPTV, or channel manager is 0, or current channel is 0 "
                     "!!!"));
    QVERIFY(!player()->isRecording());
}

// What the picture menus offered last time is what the first picture of the
// next start shows, and what the menus mark.
void TestPlayerActions::savedPictureGeometryShowsInTheFirstPicture()
{
    Settings::instance()->setAspectRatio("16:9");
    Settings::instance()->setCrop("4:3");
    QVERIFY(start());
    QVERIFY(playChannel(0));
    QCOMPARE(player()->playback().aspectRatio(), QStringLiteral("16:9"));
    QCOMPARE(player()->playback().cropGeometry(), QStringLiteral("4:3"));
    QCOMPARE(Settings::instance()->aspectRatio(), QStringLiteral("16:9"));
}

QTEST_MAIN(TestPlayerActions)
#include "tst_playeractions.moc"
