#include "channel.h"
#include "closepictureoverlay.h"
#include "logcapture.h"
#include "playersession.h"
#include "presentation.h"
#include "settings.h"
#include "tablerows.h"
#include "toolbarstate.h"

#include <QApplication>
#include <QJsonDocument>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

void table(const char* file)
{
    addTableRows(QFINDTESTDATA(QStringLiteral("../data/ui/") + file));
}

QString applyRule(const QString& rule, const QString& input)
{
    if (rule == "buttons") {
        const QStringList words = input.split(' ');
        const ToolbarState state =
            ToolbarState::of({QStringList{"video", "standby", "guide"}.contains(words[0]),
                              words[1] == "iptv", words[1] == "portal", words.contains("channel")});
        return QStringList{state.videoControls ? "controls" : "",
                           state.subtitles ? "subtitles" : "", state.volumeUsable ? "volume" : ""}
            .join(' ')
            .simplified();
    }
    if (rule == "separators") {
        QList<RowItem> row;
        for (const QChar c : input)
            row << (c == '/' ? RowItem::Separator : c == 'x' ? RowItem::Shown : RowItem::Hidden);
        const QList<bool> shown = separatorsShown(row);
        QString result = input;
        qsizetype line = 0;
        for (QChar& c : result)
            c = c == '/' && !shown.value(line++) ? QChar('_') : c;
        return result;
    }
    if (rule == "on top") {
        LogCapture log;
        QWidget window;
        window.show();
        Presentation presentation(window, *Settings::instance());
        const WId native = window.winId();
        for (const QString& call : input.split(','))
            presentation.setAlwaysOnTop(call.startsWith("on"), call.endsWith("+store"));
        // A new native window would leave libVLC's video surface behind.
        return QString("%1%2 %3 %4 told")
            .arg(window.winId() == native && window.isVisible() ? "" : "new window ",
                 presentation.isAlwaysOnTop() ? "on top" : "not on top",
                 Settings::instance()->isAlwaysOnTop() ? "stored" : "not stored")
            .arg(log.count("[MainWindow::setAlwaysOnTop] changing On-Top state"));
    }
    if (rule == "volume")
        return ToolbarState::volumePicture(input.toInt());
    const QRect place = ClosePictureOverlay::placement(
        QSize(input.section('x', 0, 0).toInt(), input.section('x', 1).toInt()));
    return QString::asprintf("%d,%d %dx%d", place.x(), place.y(), place.width(), place.height());
}

}  // namespace

// How the window presents itself: its parts on their own, then the window
// over channels of the emulator played by libVLC.
class TestPresentation : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<PlayerSession>(); }
    void cleanup() { m_session.reset(); }

    void rules_data() { table("presentation-rules.txt"); }
    void rules();
    void fullscreenShowsOnlyThePlayerOnTopAndHidesTheCursor();
    void closedChannelPictureShowsOnlyWhatArrived();
    void playingOffersTheTracksAndPausesInTheTray();
    void onlyPlayerHidesThePanelsAndNoTrayTakesTheWindow();

private:
    MainWindow* window() const { return m_session->window.get(); }

    std::unique_ptr<PlayerSession> m_session;
};

void TestPresentation::rules()
{
    QFETCH(QString, rule);
    QFETCH(QString, input);
    QTEST(applyRule(rule, input), "result");
}

void TestPresentation::fullscreenShowsOnlyThePlayerOnTopAndHidesTheCursor()
{
    QWidget window;
    window.show();
    Presentation presentation(window, *Settings::instance());
    presentation.toggleFullscreen(true);
    QVERIFY(window.isFullScreen() && presentation.isOnlyPlayer() && presentation.isAlwaysOnTop());
    QVERIFY(!Settings::instance()->isAlwaysOnTop());
    QTRY_VERIFY_WITH_TIMEOUT(QApplication::overrideCursor(), 10000);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::BlankCursor);
    presentation.toggleFullscreen(true);
    QVERIFY(!window.isFullScreen() && !presentation.isOnlyPlayer() &&
            !presentation.isAlwaysOnTop());

    // An open menu keeps the cursor.
    QApplication::restoreOverrideCursor();
    QMenu menu;
    menu.addAction(QStringLiteral("entry"));
    menu.popup(window.geometry().center());
    QTRY_VERIFY(QApplication::activePopupWidget());
    presentation.hideCursor();
    QVERIFY(!QApplication::overrideCursor());
    menu.close();
}

void TestPresentation::closedChannelPictureShowsOnlyWhatArrived()
{
    QWidget window;
    ClosePictureOverlay overlay(&window);
    overlay.setPicture(ClosePictureOverlay::ChannelDenied, QPixmap());
    QVERIFY(!overlay.showPicture(ClosePictureOverlay::ChannelDenied));
    QPixmap picture(40, 30);
    picture.fill(Qt::red);
    overlay.setPicture(ClosePictureOverlay::ChannelDenied, picture);
    QVERIFY(!overlay.showPicture(ClosePictureOverlay::TimeShiftDenied) && !overlay.isVisible());
    QVERIFY(overlay.showPicture(ClosePictureOverlay::ChannelDenied) && overlay.isVisible());
    QCOMPARE(overlay.findChild<QLabel*>()->pixmap().size(), QSize(400, 200));
}

void TestPresentation::onlyPlayerHidesThePanelsAndNoTrayTakesTheWindow()
{
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    auto* onlyPlayer = m_session->child<QToolButton>("buttonOnlyPlayer");
    const auto shown = [this](const char* name) {
        return m_session->child<QWidget>(name)->isVisible();
    };
    onlyPlayer->toggle();
    QVERIFY(!shown("buttonPanel") && !shown("bottomPanel") && !shown("lwChannelList"));
    QCOMPARE(window()->layout()->contentsMargins(), QMargins());
    QVERIFY(m_session->child<QToolButton>("buttonAlwaysOnTop")->isChecked());

    onlyPlayer->toggle();
    QVERIFY(shown("buttonPanel") && shown("bottomPanel") && shown("lwChannelList"));
    QCOMPARE(window()->layout()->contentsMargins(), QMargins(9, 9, 9, 9));
    window()->toggleChannelList();
    QVERIFY(!Settings::instance()->isChannelListVisible());
    onlyPlayer->toggle();
    onlyPlayer->toggle();
    QVERIFY(shown("buttonPanel") && !shown("lwChannelList"));
    window()->showMinimized();  // offscreen, where no tray could give it back
    QCoreApplication::processEvents();
    QVERIFY(window()->isMinimized() && window()->isVisible());
}

// The track menus, the volume and the tray over streams libVLC plays.
void TestPresentation::playingOffersTheTracksAndPausesInTheTray()
{
    QFile scenario(QFINDTESTDATA("../data/ui/two-audio-tracks.json"));
    QVERIFY(scenario.open(QIODevice::ReadOnly));
    QVERIFY(m_session->start(QJsonDocument::fromJson(scenario.readAll()).object()));
    QVERIFY(m_session->waitForLoad() && m_session->playChannel(0));
    MediaPlayer* player = window()->getMediaPlayer();
    auto* audio = m_session->child<QToolButton>("audioTracks");
    QTRY_COMPARE_WITH_TIMEOUT(audio->menu()->actions().size(), 2, 10000);
    QVERIFY(audio->menu()->actions().at(1)->isChecked() && audio->isEnabled());
    QTRY_COMPARE(player->currentAudioTrack(), 2);
    audio->menu()->actions().at(0)->trigger();
    QTRY_COMPARE(player->currentAudioTrack(), 1);

    Settings::instance()->setUseGlobalVolume(false);
    m_session->child<QSlider>("volumeSlider")->setValue(150);
    QTRY_COMPARE(m_session->channels->currentChannel()->volume(), 75);
    QCOMPARE(Settings::instance()->globalVolume(), 150);
    QCOMPARE(m_session->child<QLabel>("volumeIndicator")->pixmap().toImage(),
             QPixmap(ToolbarState::volumePicture(150)).toImage());

    Settings::instance()->setPauseOnMinimize(true);
    QSignalSpy stopped(player, &MediaPlayer::stopped);
    window()->toggleMinimizedToTray();
    QVERIFY(stopped.wait());
    QTRY_VERIFY(!window()->isVisible());
    QVERIFY(audio->isHidden());
    QSignalSpy playing(player, &MediaPlayer::playing);
    window()->toggleMinimizedToTray();
    QVERIFY(playing.wait(20000));
    QCOMPARE(m_session->emulator->requests("OpenStream").size(), 2);

    window()->setMode(MainWindow::RecordViewMode);
    player->openFile(EmulatorProcess::samplesDirectory() + "/two-subtitles.mkv");
    auto* subtitles = m_session->child<QToolButton>("subtitles");
    QTRY_COMPARE_WITH_TIMEOUT(subtitles->menu()->actions().size(), 3, 10000);
    QVERIFY(subtitles->isEnabled());
    subtitles->menu()->actions().at(2)->trigger();
    QTRY_COMPARE(player->currentSubtitle(), 2);
}

QTEST_MAIN(TestPresentation)
#include "tst_presentation.moc"
