#include "channel.h"
#include "channellistview.h"
#include "fullstbsettings.h"
#include "mediaplayer.h"
#include "playersession.h"
#include "settings.h"
#include "statusbar.h"
#include "tablerows.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

// The main window against the emulator and a real libVLC, as start-up builds it.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<PlayerSession>(); }
    void cleanup() { m_session.reset(); }

    void pickedChannelPlaysRecordsAndStaysBehindTheGuide();
    void previousAndNextStopAtTheEnds();
    void serverErrorsAreShownInTheStatusBar_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/server-errors.txt"));
    }
    void serverErrorsAreShownInTheStatusBar();
    void failuresShowInTheStatusBarUntilRecovered();
    void sameModeAgainChangesNothing();
    void settingsReportedBeforeClosing_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/stb-settings.txt"));
    }
    void settingsReportedBeforeClosing();

private:
    MainWindow* window() const { return m_session->window.get(); }
    Channel* current() const { return m_session->channels->currentChannel(); }
    int page() const { return window()->currentPage(); }
    StatusBar* status() const { return m_session->child<StatusBar>("statusBar"); }

    std::unique_ptr<PlayerSession> m_session;
};

void TestMainWindow::pickedChannelPlaysRecordsAndStaysBehindTheGuide()
{
    Settings::instance()->setAspectRatio("16:9");
    Settings::instance()->setCrop("4:3");
    QTemporaryDir records;
    Settings::instance()->setRecordSaveFolder(records.path());
    Settings::instance()->setWindowSize(QSize(800, 560));
    QVERIFY(m_session->start());
    QCOMPARE(window()->size(), QSize(800, 560));
    QVERIFY(m_session->waitForLoad());
    auto* list = m_session->child<ChannelList::View>("lwChannelList");
    MediaPlayer* player = window()->getMediaPlayer();
    QSignalSpy video(window(), &MainWindow::switchedToVideo);
    QElapsedTimer sincePlaying;
    connect(player, &MediaPlayer::playing, this, [&] { sincePlaying.start(); });

    list->changeChannel(list->model()->index(1, 0));
    QCOMPARE(page(), int(MainWindow::StandByPage));
    QVERIFY(video.wait(20000));
    QVERIFY(sincePlaying.elapsed() >= MainWindow::blackBackgroundMs - 20);
    QCOMPARE(page(), int(MainWindow::VideoPage));
    QTRY_COMPARE(player->size(), m_session->child<QWidget>("logoSwitcher")->size());
    QCOMPARE(player->playback().aspectRatio(), QStringLiteral("16:9"));
    QCOMPARE(player->playback().cropGeometry(), QStringLiteral("4:3"));
    QCOMPARE(Settings::instance()->lastChannel(), QStringLiteral("Второй"));

    // The record button records the channel into a file of the save folder
    // named after it, and stops; the file is in place once finished.
    auto* record = m_session->child<QToolButton>("buttonRecord");
    QSignalSpy recording(player, &MediaPlayer::recording);
    record->click();
    QVERIFY(recording.count() == 1 || recording.wait());
    const auto written = [&] {  // libVLC writes into a hidden staging folder first
        return QDirIterator(records.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories)
            .hasNext();
    };
    QTRY_VERIFY_WITH_TIMEOUT(written(), 20000);
    QSignalSpy stopped(player, &MediaPlayer::recordStopped);
    record->click();
    QVERIFY(stopped.count() == 1 || stopped.wait());
    QVERIFY(!record->isChecked());
    QTRY_COMPARE_WITH_TIMEOUT(QDir(records.path()).entryList({"* Второй*.mpg"}, QDir::Files).size(),
                              1, 20000);

    // A channel change keeps the guide in front.
    m_session->child<QToolButton>("buttonTvProgram")->click();
    QSignalSpy playing(player, &MediaPlayer::playing);
    m_session->channels->setCurrentChannel(m_session->channels->channelAt(0));
    QVERIFY(playing.wait(20000));
    QCOMPARE(page(), int(MainWindow::TvProgramPage));
}

void TestMainWindow::previousAndNextStopAtTheEnds()
{
    QVERIFY(m_session->start() && m_session->waitForLoad());
    m_session->channels->setCurrentChannel(m_session->channels->channelAt(0));
    window()->prevChannel();
    QCOMPARE(current(), m_session->channels->channelAt(0));
    for (int step = 0; step < 3; ++step)
        window()->nextChannel();
    QCOMPARE(current(), m_session->channels->channelAt(2));
}

void TestMainWindow::serverErrorsAreShownInTheStatusBar()
{
    QFETCH(QString, userInfo);
    QFETCH(QString, arguments);
    QFETCH(QString, text);
    QJsonObject json = PlayerSession::scenario();
    json["userInfo"] = QJsonDocument::fromJson(userInfo.toUtf8()).object();
    QVERIFY(m_session->start(json, arguments.split(' ', Qt::SkipEmptyParts)));
    QTRY_VERIFY_WITH_TIMEOUT(status()->isVisible(), 15000);
    QCOMPARE(status()->text(), text);
}

void TestMainWindow::failuresShowInTheStatusBarUntilRecovered()
{
    QVERIFY(m_session->start(PlayerSession::scenario("broken-first-channel.json"),
                             {"--fault", "Auth:connection=reset,times=1"}));
    QTRY_VERIFY_WITH_TIMEOUT(status()->isVisible(), 15000);
    QCOMPARE(status()->text(), QStringLiteral("Network error"));
    QTest::mouseClick(window()->reconnectButton(), Qt::LeftButton);
    QVERIFY(m_session->waitForLoad());
    QVERIFY(!status()->isVisible());

    m_session->channels->setCurrentChannel(m_session->channels->channelAt(0));
    QTRY_VERIFY_WITH_TIMEOUT(status()->isVisible(), 20000);
    QCOMPARE(status()->text(), QStringLiteral("Error encountered while retrieving data from FTP"));
    QVERIFY(m_session->playChannel(1));
    QVERIFY(!status()->isVisible());
}

void TestMainWindow::sameModeAgainChangesNothing()
{
    QVERIFY(m_session->start());
    QSignalSpy modes(window(), &MainWindow::modeChanged);
    window()->setMode(MainWindow::IptvMode);
    QCOMPARE(modes.count(), 0);
    window()->setMode(MainWindow::IptvMode, true);
    QCOMPARE(modes.count(), 1);
    window()->setMode(MainWindow::RecordViewMode);
    QCOMPARE(Settings::instance()->lastMode(), int(MainWindow::RecordViewMode));
}

void TestMainWindow::settingsReportedBeforeClosing()
{
    QFETCH(QString, volume);
    QFETCH(QString, global);
    QFETCH(QString, channels);
    QFETCH(QString, report);
    QList<FullStbSettings::ChannelVolume> volumes;
    for (const QString& channel : channels.split(' ', Qt::SkipEmptyParts))
        volumes.append({channel.section(':', 0, 0).toInt(), channel.section(':', 1).toInt()});
    const proto::StbSettings built = FullStbSettings::build(volume.toInt(), global == "yes",
                                                            channels == "-" ? nullptr : &volumes);
    QCOMPARE(QString::fromStdString(built.ShortDebugString()), report);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
