#include "channel.h"
#include "channelnumberoverlay.h"
#include "customwebview.h"
#include "globalhotkeys.h"
#include "logcapture.h"
#include "mediaplayer.h"
#include "messageboxes.h"
#include "playersession.h"
#include "settings.h"
#include "tablerows.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

const QHash<QString, MainWindow::Mode> modes = {
    {"iptv", MainWindow::IptvMode},
    {"portal", MainWindow::MediaPortalMode},
    {"recordings", MainWindow::RecordViewMode},
};

// Presses keys as a user would, through the X server's XTEST extension.
bool xdotoolKeys(const QStringList& keys)
{
    QProcess xdotool;
    xdotool.start("xdotool", QStringList{"key", "--delay", "40"} + keys);
    return xdotool.waitForFinished() && xdotool.exitStatus() == QProcess::NormalExit &&
           xdotool.exitCode() == 0;
}

}  // namespace

// What the keys, the wheel, clicks, the context menu and the global hotkeys
// do to a window logged in to the emulator, with a real libVLC, on an X
// server. Which key asks for what is tst_windowparts'; keys as a user types
// them into a managed window are the end-to-end stories'.
class TestMainWindowKeys : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup() { m_session.reset(); }

    void inputChangesTheWindow_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/window-input.txt"));
    }
    void inputChangesTheWindow();
    void contextMenuOffersThePictureGeometry();
    void channelKeyWhileRecordingAsks();
    void hotkeysFollowTheSettingAndBringTheWindowBack();

private:
    MainWindow* window() const { return m_session->window.get(); }
    MediaPlayer* player() const { return window()->getMediaPlayer(); }
    ChannelManager* channels() const { return m_session->channels.get(); }
    int currentRow() const { return channels()->indexOf(channels()->currentChannel()); }
    // The window's state as "field=value" words.
    QStringList state() const;
    // A key goes where the platform sends it: to the focused widget.
    void input(const QString& step);

    std::unique_ptr<PlayerSession> m_session;
    bool m_muted = false;
};

void TestMainWindowKeys::init()
{
    m_session = std::make_unique<PlayerSession>();
    Settings::instance()->setGlobalVolume(50);
    QVERIFY(m_session->start(PlayerSession::scenario("twenty-channels.json")));
    QVERIFY(m_session->waitForLoad());
    QVERIFY(m_session->playChannel(2));
    Settings::instance()->setDeinterlaceMode(0);
    m_muted = false;
    connect(player(), &MediaPlayer::volumeMuted, this, [this](bool muted) { m_muted = muted; });
}

QStringList TestMainWindowKeys::state() const
{
    const auto yes = [](bool value) { return QString(value ? "yes" : "no"); };
    const auto* overlay = window()->findChild<ChannelNumberOverlay*>();
    return {
        QString("row=%1").arg(currentRow()),
        QString("offset=%1").arg(channels()->currentChannel()->offsetIndex()),
        "mode=" + modes.key(window()->getMode()),
        "guide=" + yes(window()->currentPage() == MainWindow::TvProgramPage),
        "search=" + yes(window()->focusWidget() == m_session->child<QWidget>("searchProgram")),
        "fullscreen=" + yes(window()->isFullScreen()),
        "list=" + yes(m_session->child<QToolButton>("buttonChannelList")->isChecked()),
        QString("deinterlace=%1").arg(Settings::instance()->deinterlaceMode()),
        QString("volume=%1").arg(player()->volume()),
        "muted=" + yes(m_muted),
        "digits=" + (overlay->isVisible() ? overlay->digits() : QString()),
    };
}

void TestMainWindowKeys::input(const QString& step)
{
    const QString gesture = step.section(':', 0, 0);
    const QString argument = step.section(':', 1);
    auto* widget = window()->findChild<QWidget*>(argument);
    if (gesture.endsWith("wheel")) {
        const QPointF position(10, 10);
        QWheelEvent wheel(position, player()->mapToGlobal(position), {}, {0, argument.toInt()},
                          Qt::NoButton,
                          gesture.startsWith("Ctrl") ? Qt::ControlModifier : Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(player(), &wheel);
    } else if (gesture == "press") {
        QTest::mousePress(widget, Qt::LeftButton);
    } else if (gesture.endsWith("double-click")) {
        QTest::mouseDClick(widget, gesture == "double-click" ? Qt::LeftButton : Qt::RightButton);
    } else {
        const QKeyCombination key = QKeySequence::fromString(step)[0];
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window(), key.key(), key.keyboardModifiers());
    }
}

void TestMainWindowKeys::inputChangesTheWindow()
{
    QFETCH(QString, mode);
    QFETCH(QString, input);
    QFETCH(QString, changes);
    window()->setMode(modes.value(mode));
    const QStringList before = state();
    for (const QString& step : input.split(' '))
        this->input(step);
    const auto changed = [&] {
        QStringList fields = state();
        fields.removeIf([&](const QString& field) { return before.contains(field); });
        return fields.join(' ');
    };
    QTRY_COMPARE(changed(), changes);
}

void TestMainWindowKeys::contextMenuOffersThePictureGeometry()
{
    const auto popUp = [this](const char* name) {
        auto* widget = window()->findChild<QWidget*>(name);
        const QPoint position(20, 20);
        QContextMenuEvent event(QContextMenuEvent::Mouse, position, widget->mapToGlobal(position));
        QApplication::sendEvent(widget, &event);
        return window()->contextMenu();
    };
    const auto entries = [](const QMenu* menu) {
        QStringList texts;
        for (const QAction* entry : menu->actions())
            texts << entry->text() + (entry->isChecked() ? "*" : "");
        return texts.join(' ');
    };
    QVERIFY(!popUp("labelLogo"));
    QTRY_VERIFY(player()->playback().aspectRatioChoices().size() > 2);
    QMenu* menu = popUp("mediaPlayer");
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(entries(menu), QStringLiteral("Aspect Ratio Crop"));
    // libVLC's own choices, those the menu offers, with its default in force.
    QMenu* aspect = menu->actions().at(0)->menu();
    QCOMPARE(entries(aspect), QStringLiteral("Default* 16:9 4:3 16:10 2.21:1"));
    aspect->actions().at(1)->trigger();
    QTRY_COMPARE(Settings::instance()->aspectRatio(), QStringLiteral("16:9"));
    menu->actions().at(1)->menu()->actions().at(2)->trigger();
    QTRY_COMPARE(Settings::instance()->crop(), QStringLiteral("4:3"));

    // Built again, it shows what is in force; a stop destroys it.
    menu->hide();
    QMetaObject::invokeMethod(window(), "prepareContextMenu");
    QCOMPARE(entries(window()->contextMenu()->actions().at(0)->menu()),
             QStringLiteral("Default 16:9* 4:3 16:10 2.21:1"));
    player()->stop();
    QTRY_VERIFY(!window()->contextMenu());
}

void TestMainWindowKeys::channelKeyWhileRecordingAsks()
{
    QTemporaryDir records;
    QVERIFY(player()->startRecord(records.filePath("channel.mpg")));
    QTRY_VERIFY(player()->isRecording());
    QStringList questions;
    bool answer = false;
    MessageBoxes::setPresenter([&](MessageBoxes::Kind, const QString&, const QString& text) {
        questions << text;
        return answer;
    });
    input("PgDown");
    QCOMPARE(questions,
             QStringList{"Player is still recording. Do you really wish to cancel this record?"});
    QCOMPARE(currentRow(), 2);
    QVERIFY(player()->isRecording());
    answer = true;
    input("Down");
    QCOMPARE(questions.size(), 2);
    QCOMPARE(currentRow(), 3);
    QVERIFY(!player()->isRecording());
}

// Hotkeys reach the window wherever the focus is, even in the tray.
void TestMainWindowKeys::hotkeysFollowTheSettingAndBringTheWindowBack()
{
    QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is not installed");
    LogCapture log;
    window()->setMode(MainWindow::RecordViewMode);
    window()->hide();
    // Off: a combination of the test's own tells when the X server has
    // delivered what xdotool pressed before it.
    Settings::instance()->setUseHotKeys(false);
    GlobalHotkeys marker;
    QVERIFY(marker.registerHotkey(1, Qt::ControlModifier | Qt::AltModifier, Qt::Key_Q));
    QSignalSpy markerPressed(&marker, &GlobalHotkeys::activated);
    QVERIFY(xdotoolKeys({"ctrl+alt+d", "ctrl+alt+q"}));
    QVERIFY(markerPressed.wait());
    QVERIFY(!window()->isVisible());
    QVERIFY(!log.contains("Hotkey message received."));

    Settings::instance()->setUseHotKeys(true);
    QVERIFY(xdotoolKeys({"ctrl+alt+d"}));
    QTRY_VERIFY(window()->isVisible());
    QVERIFY(log.contains("Hotkey message received."));
    QCOMPARE(window()->getMode(), MainWindow::IptvMode);
    window()->setMode(MainWindow::RecordViewMode);
    QVERIFY(xdotoolKeys({"ctrl+t"}));
    QTRY_COMPARE(window()->getMode(), MainWindow::IptvMode);
    QVERIFY(xdotoolKeys({"ctrl+e"}));
    QTRY_COMPARE(window()->getMode(), MainWindow::MediaPortalMode);
}

int main(int argc, char* argv[])
{
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    TestMainWindowKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowkeys.moc"
