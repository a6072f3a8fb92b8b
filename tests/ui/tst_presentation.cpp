#include "channel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "emulatorprocess.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "playersession.h"
#include "settings.h"
#include "trackmenu.h"

#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QLayout>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int playTimeout = 20000;
// libVLC knows a stream's tracks shortly after it plays; the first poll
// comes a second after that.
constexpr int tracksTimeout = 10000;

enum Row { EnglishRussian = 0, OneTrack = 1 };

QJsonObject scenario()
{
    const QJsonArray channels{
        QJsonObject{{"id", 1},
                    {"name", "English and Russian"},
                    {"offsets", QJsonArray{1}},
                    {"sample", "english-russian-audio.ts"}},
        QJsonObject{{"id", 2},
                    {"name", "One track"},
                    {"offsets", QJsonArray{1}},
                    {"sample", "test-pattern.ts"}},
    };
    return QJsonObject{
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}}}},
        {"updateInterval", 30},
        {"channels", channels},
    };
}

QString entryTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* entry : menu->actions())
        texts << entry->text() + (entry->isChecked() ? "*" : "");
    return texts.join(',');
}

bool showsPicture(const QLabel* label, const char* path)
{
    const QImage expected = QPixmap(QString::fromLatin1(path)).toImage();
    return !expected.isNull() && label->pixmap().toImage() == expected;
}

}  // namespace

// The window's presentation states, the tray and the track menus, against the
// emulator and a real libVLC.
class TestPresentation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // track menus
    void russianIsPreferredOverEnglish();
    void oneTrackNeverEnablesTheAudioButton();
    void choosingAnEntrySetsThePlayersTrack();
    void subtitlesArePolledOutsideIptv();

    // tray
    void withoutATrayTheWindowStays();
    void pauseOnMinimizeStopsAndRestorePlaysAgain();
    void makeFormActivRestoresAndStaysOnTop();

    // presentation states
    void toggleChannelListStoresWidthAndVisibility();
    void onlyPlayerHidesThePanelsAndRestoresThem();
    void fullscreenOnAndOff();
    void fullscreenVideoHidesTheMouseCursor();
    void alwaysOnTopIsStoredOnlyWhenAsked();

    // volume
    void volumeIndicatorFollowsTheVolume_data();
    void volumeIndicatorFollowsTheVolume();
    void volumeIsStoredPerChannel();

private:
    MainWindow* window() const { return m_session->window.get(); }
    MediaPlayer* player() const { return window()->getMediaPlayer(); }
    template <typename Widget>
    Widget* child(const char* name) const
    {
        return m_session->child<Widget>(name);
    }
    QMenu* audioMenu() const { return child<QToolButton>("audioTracks")->menu(); }
    QTimer* audioPollTimer() const { return child<QTimer>("audioPollTimer"); }
    QTimer* subtitlePollTimer() const { return child<QTimer>("subtitlePollTimer"); }
    QAction* trayToggleEntry() const
    {
        return window()->findChild<QSystemTrayIcon*>()->contextMenu()->actions().at(0);
    }
    bool startAndPlay(int row);
    bool waitForTracks() const;

    std::unique_ptr<PlayerSession> m_session;
};

void TestPresentation::init()
{
    m_session = std::make_unique<PlayerSession>();
}

void TestPresentation::cleanup()
{
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    m_session.reset();
}

bool TestPresentation::startAndPlay(int row)
{
    if (!m_session->start(scenario()) || !m_session->waitForLoad())
        return false;
    auto* list = child<ChannelList::View>("lwChannelList");
    QSignalSpy video(window(), &MainWindow::switchedToVideo);
    list->changeChannel(list->model()->index(row, 0));
    return video.wait(playTimeout);
}

// Tracks are found when the poll slows down.
bool TestPresentation::waitForTracks() const
{
    QTimer* poll = audioPollTimer();
    return QTest::qWaitFor([poll] { return poll->interval() == 60000; }, tracksTimeout);
}

// ---- track menus -----------------------------------------------------------

void TestPresentation::russianIsPreferredOverEnglish()
{
    QVERIFY(m_session->start(scenario()));
    QVERIFY(m_session->waitForLoad());
    QSignalSpy started(player(), &MediaPlayer::playing);
    auto* list = child<ChannelList::View>("lwChannelList");
    list->changeChannel(list->model()->index(EnglishRussian, 0));
    QVERIFY(started.wait(playTimeout));
    QVERIFY(audioPollTimer()->isActive());
    QCOMPARE(audioPollTimer()->interval(), 1000);

    QVERIFY(waitForTracks());
    QVERIFY(audioPollTimer()->isActive());
    QCOMPARE(entryTexts(audioMenu()), QStringLiteral("English,Russian*"));
    QVERIFY(child<QToolButton>("audioTracks")->isEnabled());
    QTRY_COMPARE(player()->currentAudioTrack(), 2);
    QCOMPARE(player()->playback().audioTracks().at(2).name, QStringLiteral("Track 2 - [Russian]"));
}

void TestPresentation::oneTrackNeverEnablesTheAudioButton()
{
    QVERIFY(startAndPlay(OneTrack));
    QVERIFY(waitForTracks());
    QCOMPARE(entryTexts(audioMenu()), QStringLiteral("Track 1*"));
    QVERIFY(!child<QToolButton>("audioTracks")->isEnabled());
    QCOMPARE(player()->currentAudioTrack(), 1);
    QVERIFY(!subtitlePollTimer()->isActive());
}

void TestPresentation::choosingAnEntrySetsThePlayersTrack()
{
    QVERIFY(startAndPlay(EnglishRussian));
    QVERIFY(waitForTracks());
    QTRY_COMPARE(player()->currentAudioTrack(), 2);

    audioMenu()->actions().at(0)->trigger();
    QCOMPARE(entryTexts(audioMenu()), QStringLiteral("English*,Russian"));
    QTRY_COMPARE(player()->currentAudioTrack(), 1);

    // Later polls show the player's track; the preference was applied once.
    QVERIFY(QMetaObject::invokeMethod(window(), "setupAudioTracks"));
    QCOMPARE(entryTexts(audioMenu()), QStringLiteral("English*,Russian"));
    QCOMPARE(player()->currentAudioTrack(), 1);

    audioMenu()->actions().at(1)->trigger();
    QCOMPARE(entryTexts(audioMenu()), QStringLiteral("English,Russian*"));
    QTRY_COMPARE(player()->currentAudioTrack(), 2);

    // A stop ends the polling.
    QSignalSpy stopped(player(), &MediaPlayer::stopped);
    player()->stop();
    QVERIFY(stopped.wait(playTimeout));
    QVERIFY(!audioPollTimer()->isActive());
}

void TestPresentation::subtitlesArePolledOutsideIptv()
{
    m_session->createWindow();
    window()->setMode(MainWindow::RecordViewMode);
    QSignalSpy playing(player(), &MediaPlayer::playing);
    player()->openFile(EmulatorProcess::samplesDirectory() + "/two-subtitles.mkv");
    QVERIFY(playing.wait(playTimeout));
    QVERIFY(subtitlePollTimer()->isActive());
    QCOMPARE(subtitlePollTimer()->interval(), 1000);
    QTimer* poll = subtitlePollTimer();
    QVERIFY(QTest::qWaitFor([poll] { return poll->interval() == 60000; }, tracksTimeout));

    // libVLC shows the first subtitle by itself.
    QMenu* menu = child<QToolButton>("subtitles")->menu();
    QCOMPARE(entryTexts(menu), QStringLiteral("Disable,English*,Russian"));
    QVERIFY(child<QToolButton>("subtitles")->isEnabled());
    menu->actions().at(2)->trigger();
    QCOMPARE(entryTexts(menu), QStringLiteral("Disable,English,Russian*"));
    QTRY_COMPARE(player()->currentSubtitle(), 2);
    menu->actions().at(0)->trigger();
    QTRY_COMPARE(player()->currentSubtitle(), 0);
    QVERIFY(QMetaObject::invokeMethod(window(), "setupSubtitles"));
    QCOMPARE(entryTexts(menu), QStringLiteral("Disable*,English,Russian"));

    QMetaObject::invokeMethod(window(), "clearSubtitles");
    QCOMPARE(menu->actions().size(), 0);
    QVERIFY(!child<QToolButton>("subtitles")->isEnabled());
}

// ---- tray ------------------------------------------------------------------

// Offscreen there is no tray host, and nothing could bring a hidden window
// back: minimising keeps the window, closing quits.
void TestPresentation::withoutATrayTheWindowStays()
{
    LogCapture log;
    QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
    Settings::instance()->setCloseToTray(true);
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    window()->showMinimized();
    QTRY_VERIFY(window()->isMinimized());
    QCOMPARE(trayToggleEntry()->text(), QStringLiteral("Hide Player"));
    window()->close();
    QVERIFY(log.waitFor("[MainWindow::onExit] application close"));
}

void TestPresentation::pauseOnMinimizeStopsAndRestorePlaysAgain()
{
    Settings::instance()->setPauseOnMinimize(true);
    QVERIFY(startAndPlay(OneTrack));
    QSignalSpy stopped(player(), &MediaPlayer::stopped);
    window()->toggleMinimizedToTray();
    QVERIFY(stopped.wait(playTimeout));
    QTRY_VERIFY(!window()->isVisible());

    QSignalSpy playing(player(), &MediaPlayer::playing);
    window()->toggleMinimizedToTray();
    QVERIFY(window()->isVisible());
    QVERIFY(playing.wait(playTimeout));
    QCOMPARE(m_session->emulator->requests("OpenStream").size(), 2);

    // Without the setting the tray leaves playback alone.
    Settings::instance()->setPauseOnMinimize(false);
    QSignalSpy stopRequests(player(), &MediaPlayer::vlcStop);
    window()->hideToTray();
    QTRY_VERIFY(!window()->isVisible());
    QCOMPARE(stopRequests.count(), 0);
    QVERIFY(player()->playback().isPlaying());
}

void TestPresentation::makeFormActivRestoresAndStaysOnTop()
{
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    window()->activateWindow();
    QTRY_VERIFY(window()->isActiveWindow());
    window()->MakeFormActiv();
    QVERIFY(!window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!Settings::instance()->isAlwaysOnTop());

    window()->hideToTray();
    QTRY_VERIFY(!window()->isVisible());
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    window()->MakeFormActiv();
    QVERIFY(window()->isVisible());
    QVERIFY(window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(Settings::instance()->isAlwaysOnTop());
    QVERIFY(child<QToolButton>("buttonAlwaysOnTop")->isChecked());
}

// ---- presentation states ---------------------------------------------------

void TestPresentation::toggleChannelListStoresWidthAndVisibility()
{
    Settings* store = Settings::instance();
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    auto* list = child<QWidget>("lwChannelList");
    auto* button = child<QToolButton>("buttonChannelList");
    QVERIFY(list->isVisible());
    const int width = list->width();
    QVERIFY(width > 0);
    store->setChannelListWidth(width + 17);
    QSignalSpy resized(window(), &MainWindow::Resize);

    window()->toggleChannelList();
    QVERIFY(!list->isVisible());
    QCOMPARE(store->channelListWidth(), width);
    QVERIFY(!store->isChannelListVisible());
    QVERIFY(!button->isChecked());
    QCOMPARE(button->toolTip(), QStringLiteral("Show channel list (F2, c)"));
    QCOMPARE(resized.count(), 1);

    button->click();
    QVERIFY(list->isVisible());
    QVERIFY(store->isChannelListVisible());
    QVERIFY(button->isChecked());
    QCOMPARE(button->toolTip(), QStringLiteral("Hide channel list (F2, c)"));
    QCOMPARE(resized.count(), 2);
}

void TestPresentation::onlyPlayerHidesThePanelsAndRestoresThem()
{
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    auto* onlyPlayer = child<QToolButton>("buttonOnlyPlayer");
    QSignalSpy resized(window(), &MainWindow::Resize);

    onlyPlayer->toggle();
    QVERIFY(!child<QWidget>("buttonPanel")->isVisible());
    QVERIFY(!child<QWidget>("bottomPanel")->isVisible());
    QVERIFY(!child<QWidget>("lwChannelList")->isVisible());
    QCOMPARE(window()->layout()->contentsMargins(), QMargins());
    QVERIFY(window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window()->isVisible());
    QVERIFY(!Settings::instance()->isAlwaysOnTop());
    QVERIFY(resized.count() >= 1);

    QVERIFY(QMetaObject::invokeMethod(window(), "setOnlyPlayerMode", Q_ARG(bool, false)));
    QVERIFY(!onlyPlayer->isChecked());
    QVERIFY(child<QWidget>("buttonPanel")->isVisible());
    QVERIFY(child<QWidget>("bottomPanel")->isVisible());
    QVERIFY(child<QWidget>("lwChannelList")->isVisible());
    QCOMPARE(window()->layout()->contentsMargins(), QMargins(9, 9, 9, 9));
    QVERIFY(!window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // A hidden channel list stays hidden.
    window()->toggleChannelList();
    onlyPlayer->toggle();
    onlyPlayer->toggle();
    QVERIFY(child<QWidget>("buttonPanel")->isVisible());
    QVERIFY(!child<QWidget>("lwChannelList")->isVisible());
}

void TestPresentation::fullscreenOnAndOff()
{
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QSignalSpy resized(window(), &MainWindow::Resize);
    child<QToolButton>("buttonFullscreen")->click();
    QVERIFY(window()->isFullScreen());
    QVERIFY(child<QToolButton>("buttonOnlyPlayer")->isChecked());
    QVERIFY(!child<QWidget>("buttonPanel")->isVisible());
    QVERIFY(player()->hasFocus() || !window()->isActiveWindow());
    QVERIFY(resized.count() >= 1);

    window()->toggleFullscreen();
    QVERIFY(!window()->isFullScreen());
    QVERIFY(!child<QToolButton>("buttonOnlyPlayer")->isChecked());
    QVERIFY(child<QWidget>("buttonPanel")->isVisible());
    QVERIFY(child<QWidget>("bottomPanel")->isVisible());
}

void TestPresentation::fullscreenVideoHidesTheMouseCursor()
{
    QVERIFY(startAndPlay(OneTrack));
    QVERIFY(!QApplication::overrideCursor());
    window()->toggleFullscreen();
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::overrideCursor(), 6000);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
    window()->toggleFullscreen();
}

void TestPresentation::alwaysOnTopIsStoredOnlyWhenAsked()
{
    LogCapture log;
    Settings* store = Settings::instance();
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    auto* button = child<QToolButton>("buttonAlwaysOnTop");

    window()->setAlwaysOnTop(true, false);
    QVERIFY(window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(window()->isVisible());
    QVERIFY(button->isChecked());
    QVERIFY(!store->isAlwaysOnTop());
    QCOMPARE(log.count("[MainWindow::setAlwaysOnTop] changing On-Top state"), 1);
    window()->setAlwaysOnTop(true, false);
    QCOMPARE(log.count("[MainWindow::setAlwaysOnTop] changing On-Top state"), 1);

    window()->setAlwaysOnTop(false, false);
    button->click();
    QVERIFY(window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(store->isAlwaysOnTop());

    // The stored state comes back with the next show.
    window()->setAlwaysOnTop(false, false);
    window()->hide();
    window()->show();
    QVERIFY(window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    window()->setAlwaysOnTop(false);
    QVERIFY(!store->isAlwaysOnTop());
    QVERIFY(!button->isChecked());
}

// ---- volume ----------------------------------------------------------------

void TestPresentation::volumeIndicatorFollowsTheVolume_data()
{
    QTest::addColumn<int>("volume");
    QTest::addColumn<QString>("picture");
    QTest::newRow("0") << 0 << ":/images/audio-volume-muted.png";
    QTest::newRow("1") << 1 << ":/images/audio-volume-low.png";
    QTest::newRow("60") << 60 << ":/images/audio-volume-low.png";
    QTest::newRow("61") << 61 << ":/images/audio-volume-medium.png";
    QTest::newRow("120") << 120 << ":/images/audio-volume-medium.png";
    QTest::newRow("121") << 121 << ":/images/audio-volume-high.png";
    QTest::newRow("200") << 200 << ":/images/audio-volume-high.png";
}

void TestPresentation::volumeIndicatorFollowsTheVolume()
{
    QFETCH(int, volume);
    QFETCH(QString, picture);
    QVERIFY(startAndPlay(OneTrack));
    // The slider follows only what the player announces.
    auto* slider = child<QSlider>("volumeSlider");
    const int other = volume == 200 ? 199 : 200;
    player()->setVolume(other);
    QTRY_COMPARE(slider->value(), other);
    player()->setVolume(volume);
    QTRY_COMPARE(slider->value(), volume);
    QVERIFY(showsPicture(child<QLabel>("volumeIndicator"), qPrintable(picture)));
    QCOMPARE(Settings::instance()->globalVolume(), volume);
}

void TestPresentation::volumeIsStoredPerChannel()
{
    QVERIFY(startAndPlay(OneTrack));
    Channel* channel = m_session->channels->currentChannel();
    const int channelVolume = channel->volume();
    QSignalSpy changed(player(), &MediaPlayer::volumeChanged);

    // With the global volume the channel keeps its own.
    player()->setVolume(channelVolume == 40 ? 60 : 80);
    QVERIFY(changed.wait());
    QCOMPARE(channel->volume(), channelVolume);

    Settings::instance()->setUseGlobalVolume(false);
    // The setting change itself re-applies the global volume first.
    child<QSlider>("volumeSlider")->setValue(150);
    QTRY_COMPARE(channel->volume(), 75);
    QCOMPARE(Settings::instance()->globalVolume(), 150);
}

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
