#include "channel.h"
#include "channelmanager.h"
#include "channelnumberoverlay.h"
#include "customwebview.h"
#include "globalhotkeys.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "messageboxes.h"
#include "playersession.h"
#include "settings.h"

#include <QApplication>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

namespace {

constexpr int playTimeout = 20000;
constexpr int channelCount = 20;

QJsonObject scenario(bool videoOnDemand = true)
{
    return QJsonObject{
        {"userInfo", QJsonObject{{"vod", videoOnDemand}, {"blocked", false}}},
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}},
                               QJsonObject{{"id", 7}, {"minutes", -60}},
                               QJsonObject{{"id", 8}, {"minutes", -120}}}},
        {"guide", QJsonObject{{"daysBefore", 0}, {"daysAfter", 0}}},
        {"updateInterval", 30},
        {"generatedChannels", QJsonObject{{"count", channelCount},
                                          {"firstId", 1},
                                          {"name", "Channel %1"},
                                          {"offsets", QJsonArray{1, 7, 8}}}},
    };
}

QStringList entryTexts(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* entry : menu->actions())
        texts << entry->text();
    return texts;
}

QAction* entryNamed(const QMenu* menu, const QString& text)
{
    for (QAction* entry : menu->actions()) {
        if (entry->text() == text)
            return entry;
    }
    return nullptr;
}

}  // namespace

// The main window's keys, remote-control digits, mouse and context menu,
// against the emulator and a real libVLC.
class TestMainWindowKeys : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void channelKeysStepThroughTheList();
    void digitsTakeTheChannelAfterAPause();
    void digitsOnlyCountInIptvMode();
    void modeKeys_data();
    void modeKeys();
    void enterTogglesFullscreenUnlessTheGuideShows();
    void keysForSettingsAndSound();
    void timeShiftKeysMoveTheOffset();
    void wheelChangesVolumeAndChannel();
    void doubleClickTogglesFullscreen();
    void guideDoubleClickClosesTheGuide();
    void contextMenuOffersThePictureGeometry();
    void contextMenuIsDisabledWhenNotPlaying();
    void channelKeyWhileRecordingAsks();
    void hotkeysNeedAnX11Display();

private:
    bool start(bool videoOnDemand = true)
    {
        return m_session->start(scenario(videoOnDemand)) && m_session->waitForLoad();
    }
    MainWindow* window() const { return m_session->window.get(); }
    MediaPlayer* player() const { return window()->getMediaPlayer(); }
    ChannelManager* channels() const { return m_session->channels.get(); }
    int currentRow() const { return channels()->indexOf(channels()->currentChannel()); }
    void selectRow(int row) { channels()->setCurrentChannel(channels()->channelAt(row)); }
    ChannelNumberOverlay* overlay() const { return window()->findChild<ChannelNumberOverlay*>(); }
    // The key goes where the platform sends it: to the focused widget.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window(), Qt::Key(key), modifiers);
    }
    // Double-clicks the channel at row in the list, which takes the focus.
    bool doubleClickRow(int row);
    void typeDigits(const QString& digits)
    {
        for (QChar digit : digits)
            press(Qt::Key_0 + digit.digitValue());
    }
    void sendWheel(int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void sendContextMenu();

    std::unique_ptr<PlayerSession> m_session;
};

void TestMainWindowKeys::init()
{
    m_session = std::make_unique<PlayerSession>();
}

void TestMainWindowKeys::cleanup()
{
    m_session.reset();
}

void TestMainWindowKeys::sendWheel(int delta, Qt::KeyboardModifiers modifiers)
{
    const QPointF position(10, 10);
    QWheelEvent wheel(position, player()->mapToGlobal(position), QPoint(), QPoint(0, delta),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(player(), &wheel);
}

void TestMainWindowKeys::sendContextMenu()
{
    const QPoint position(20, 20);
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, player()->mapToGlobal(position));
    QApplication::sendEvent(player(), &event);
}

bool TestMainWindowKeys::doubleClickRow(int row)
{
    window()->activateWindow();
    if (!QTest::qWaitForWindowActive(window()))
        return false;
    auto* list = m_session->child<QListView>("lwChannelList");
    const QPoint place = list->visualRect(list->model()->index(row, 0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place);
    return currentRow() == row && QApplication::focusWidget() == list;
}

// After a double click in the list the keys still go by the window's rules,
// not the list's scrolling and keyboard search.
void TestMainWindowKeys::channelKeysStepThroughTheList()
{
    QVERIFY(start());
    QVERIFY(doubleClickRow(5));
    press(Qt::Key_PageDown);
    QCOMPARE(currentRow(), 6);
    press(Qt::Key_PageUp);
    QCOMPARE(currentRow(), 5);
    press(Qt::Key_Down);
    QCOMPARE(currentRow(), 6);
    press(Qt::Key_Up);
    QCOMPARE(currentRow(), 5);
    // With a modifier the keys mean something else or nothing.
    press(Qt::Key_PageDown, Qt::ShiftModifier);
    QCOMPARE(currentRow(), 5);

    selectRow(0);
    press(Qt::Key_PageUp);
    QCOMPARE(currentRow(), 0);

    window()->setMode(MainWindow::RecordViewMode);
    press(Qt::Key_PageDown);
    QCOMPARE(currentRow(), 0);
}

void TestMainWindowKeys::digitsTakeTheChannelAfterAPause()
{
    QVERIFY(start());
    QVERIFY(doubleClickRow(0));
    auto* label = window()->findChild<QLabel*>("lblChannel");
    QVERIFY(label);
    QVERIFY(!overlay()->isVisible());

    typeDigits("12");
    QCOMPARE(currentRow(), 0);
    QVERIFY(overlay()->isVisible());
    QCOMPARE(label->text(), QStringLiteral("12"));
    QCOMPARE(overlay()->width(), label->fontMetrics().horizontalAdvance("12"));
    QCOMPARE(label->font().family(), QStringLiteral("Times New Roman"));

    QTRY_COMPARE_WITH_TIMEOUT(currentRow(), 11, 4000);
    QVERIFY(!overlay()->isVisible());

    // Numbers the list does not hold select nothing.
    for (int number : {0, channelCount + 1}) {
        emit window()->setNewChannel(number);
        QCOMPARE(currentRow(), 11);
    }
}

void TestMainWindowKeys::digitsOnlyCountInIptvMode()
{
    QVERIFY(start());
    typeDigits("3");
    QVERIFY(overlay()->isVisible());
    window()->setMode(MainWindow::RecordViewMode);
    QVERIFY(!overlay()->isVisible());

    typeDigits("4");
    QVERIFY(!overlay()->isVisible());
    QCOMPARE(overlay()->digits(), QStringLiteral("3"));
}

void TestMainWindowKeys::modeKeys_data()
{
    QTest::addColumn<bool>("videoOnDemand");
    QTest::addColumn<MainWindow::Mode>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<MainWindow::Mode>("to");
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;
    QTest::newRow("Ctrl+T portal")
        << true << MainWindow::MediaPortalMode << int(Qt::Key_T) << ctrl << MainWindow::IptvMode;
    QTest::newRow("Ctrl+Alt+D recordings")
        << true << MainWindow::RecordViewMode << int(Qt::Key_D) << ctrlAlt << MainWindow::IptvMode;
    QTest::newRow("Ctrl+E with VOD")
        << true << MainWindow::IptvMode << int(Qt::Key_E) << ctrl << MainWindow::MediaPortalMode;
    QTest::newRow("Ctrl+Alt+B with VOD")
        << true << MainWindow::IptvMode << int(Qt::Key_B) << ctrlAlt << MainWindow::MediaPortalMode;
    QTest::newRow("Ctrl+E without VOD")
        << false << MainWindow::IptvMode << int(Qt::Key_E) << ctrl << MainWindow::IptvMode;
    QTest::newRow("Ctrl+T in IPTV")
        << true << MainWindow::IptvMode << int(Qt::Key_T) << ctrl << MainWindow::IptvMode;
}

void TestMainWindowKeys::modeKeys()
{
    QFETCH(bool, videoOnDemand);
    QFETCH(MainWindow::Mode, from);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(MainWindow::Mode, to);
    QVERIFY(start(videoOnDemand));
    QTRY_COMPARE(Settings::instance()->isUserVodAvailable(), videoOnDemand);
    window()->setMode(from);
    QCOMPARE(window()->getMode(), from);
    QSignalSpy modeChanged(window(), &MainWindow::modeChanged);
    press(key, modifiers);
    QCOMPARE(window()->getMode(), to);
    QCOMPARE(modeChanged.count(), from == to ? 0 : 1);
}

void TestMainWindowKeys::enterTogglesFullscreenUnlessTheGuideShows()
{
    QVERIFY(start());
    // Return in the list, on another row than the channel playing, does one
    // thing only.
    QVERIFY(doubleClickRow(3));
    auto* list = m_session->child<QListView>("lwChannelList");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(6, 0)).center());
    press(Qt::Key_Return);
    QVERIFY(window()->isFullScreen());
    QCOMPARE(currentRow(), 3);
    press(Qt::Key_Return, Qt::AltModifier);
    QVERIFY(!window()->isFullScreen());

    window()->showPage(MainWindow::TvProgramPage);
    press(Qt::Key_Return);
    QVERIFY(!window()->isFullScreen());
    window()->showPage(MainWindow::LogoPage);
    press(Qt::Key_Enter);
    QVERIFY(window()->isFullScreen());
}

void TestMainWindowKeys::keysForSettingsAndSound()
{
    QVERIFY(start());
    Settings* store = Settings::instance();
    store->setDeinterlaceMode(5);
    QSignalSpy changed(store, &Settings::changed);
    press(Qt::Key_D);
    QCOMPARE(store->deinterlaceMode(), 0);
    QCOMPARE(changed.count(), 1);
    press(Qt::Key_F12);  // no rule; it only ends the repeat of D
    press(Qt::Key_D);
    QCOMPARE(store->deinterlaceMode(), 5);

    QSignalSpy muted(player(), &MediaPlayer::volumeMuted);
    press(Qt::Key_F8);
    QVERIFY(muted.wait());
    QCOMPARE(muted.last().first().toBool(), true);
    press(Qt::Key_VolumeMute);
    QTRY_COMPARE(muted.count(), 2);
    QCOMPARE(muted.last().first().toBool(), false);
    // A press on the volume indicator mutes as well.
    QTest::mousePress(window()->findChild<QLabel*>("volumeIndicator"), Qt::LeftButton);
    QTRY_COMPARE(muted.count(), 3);
    QCOMPARE(muted.last().first().toBool(), true);

    auto* listButton = window()->findChild<QToolButton*>("buttonChannelList");
    const bool listShown = listButton->isChecked();
    press(Qt::Key_F2);
    QCOMPARE(listButton->isChecked(), !listShown);
    QCOMPARE(store->isChannelListVisible(), !listShown);
    press(Qt::Key_C);
    QCOMPARE(listButton->isChecked(), listShown);

    // Keys without a rule go on to the parent.
    QKeyEvent unhandled(QEvent::KeyPress, Qt::Key_F11, Qt::NoModifier);
    QApplication::sendEvent(window(), &unhandled);
    QVERIFY(!unhandled.isAccepted());
}

void TestMainWindowKeys::timeShiftKeysMoveTheOffset()
{
    QVERIFY(start());
    selectRow(2);
    Channel* channel = channels()->currentChannel();
    QVERIFY(channel->hasTimeOffsets());
    QCOMPARE(channel->offsetIndex(), -1);
    press(Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(channel->offsetIndex(), 0);
    press(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(channel->offsetIndex(), -1);

    // Not outside IPTV.
    window()->setMode(MainWindow::RecordViewMode);
    press(Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(channel->offsetIndex(), -1);
}

void TestMainWindowKeys::wheelChangesVolumeAndChannel()
{
    QVERIFY(start());
    QVERIFY(m_session->playChannel(4, playTimeout));
    player()->setVolume(100);
    sendWheel(120);
    QCOMPARE(player()->volume(), 105);
    sendWheel(-240);
    QCOMPARE(player()->volume(), 95);

    sendWheel(-120, Qt::ControlModifier);
    QCOMPARE(currentRow(), 5);
    sendWheel(120, Qt::ControlModifier);
    QCOMPARE(currentRow(), 4);
    QCOMPARE(player()->volume(), 95);
}

void TestMainWindowKeys::doubleClickTogglesFullscreen()
{
    m_session->createWindow();
    QTest::mouseDClick(player(), Qt::LeftButton);
    QVERIFY(window()->isFullScreen());
    QTest::mouseDClick(window()->findChild<QLabel*>("labelLogo"), Qt::LeftButton);
    QVERIFY(!window()->isFullScreen());
    QTest::mouseDClick(window()->findChild<QLabel*>("volumeIndicator"), Qt::LeftButton);
    QVERIFY(!window()->isFullScreen());
    QTest::mouseDClick(player(), Qt::RightButton);
    QVERIFY(!window()->isFullScreen());
}

void TestMainWindowKeys::guideDoubleClickClosesTheGuide()
{
    m_session->createWindow();
    auto* search = window()->findChild<QLineEdit*>("searchProgram");
    search->setText("ch:\"Channel 1\"");
    window()->toggleTvProgram(true);
    QCOMPARE(window()->currentPage(), int(MainWindow::TvProgramPage));
    QCOMPARE(search->selectedText(), search->text());

    auto* guide = window()->findChild<QTextBrowser*>("tvProgramWidget");
    QTest::mouseDClick(guide->viewport(), Qt::LeftButton);
    QCOMPARE(window()->currentPage(), int(MainWindow::LogoPage));
    QVERIFY(!window()->isFullScreen());
}

void TestMainWindowKeys::contextMenuOffersThePictureGeometry()
{
    QVERIFY(start());
    QVERIFY(m_session->playChannel(0, playTimeout));
    QTRY_VERIFY_WITH_TIMEOUT(player()->playback().aspectRatioChoices().size() > 2, 5000);
    QVERIFY(!window()->contextMenu());
    sendContextMenu();
    QMenu* menu = window()->contextMenu();
    QVERIFY(menu);
    QTRY_VERIFY(menu->isVisible());
    const QList<QAction*> subMenus = menu->actions();
    QCOMPARE(subMenus.size(), 2);
    QCOMPARE(subMenus.at(0)->text(), QStringLiteral("Aspect Ratio"));
    QCOMPARE(subMenus.at(1)->text(), QStringLiteral("Crop"));
    QMenu* aspect = subMenus.at(0)->menu();
    QMenu* crop = subMenus.at(1)->menu();
    QVERIFY(aspect->isEnabled());
    QVERIFY(crop->isEnabled());

    const QStringList offered{"Default", "16:9", "16:10", "4:3", "2.21:1"};
    const QStringList texts = entryTexts(aspect);
    QVERIFY2(texts.size() >= 3, qPrintable(texts.join(", ")));
    for (const QString& text : texts)
        QVERIFY2(offered.contains(text, Qt::CaseInsensitive), qPrintable(text));
    QVERIFY(texts.contains("16:9"));
    QVERIFY(texts.contains("2.21:1"));
    QCOMPARE(entryTexts(crop), texts);
    // Nothing set yet: libVLC's default is in force.
    QVERIFY(entryNamed(aspect, "Default")->isChecked());

    entryNamed(aspect, "16:9")->trigger();
    QTRY_COMPARE(player()->playback().aspectRatio(), QStringLiteral("16:9"));
    QTRY_COMPARE(Settings::instance()->aspectRatio(), QStringLiteral("16:9"));
    QVERIFY(!entryNamed(aspect, "Default")->isChecked());
    entryNamed(crop, "4:3")->trigger();
    QTRY_COMPARE(player()->playback().cropGeometry(), QStringLiteral("4:3"));
    QTRY_COMPARE(Settings::instance()->crop(), QStringLiteral("4:3"));

    // Built again, the menu shows what is in force.
    window()->contextMenu()->hide();
    QMetaObject::invokeMethod(window(), "prepareContextMenu");
    aspect = window()->contextMenu()->actions().at(0)->menu();
    QVERIFY(entryNamed(aspect, "16:9")->isChecked());
    QCOMPARE(entryTexts(aspect).size(), texts.size());

    // A stop destroys it.
    QSignalSpy stopped(player(), &MediaPlayer::stopped);
    player()->stop();
    QVERIFY(stopped.wait(playTimeout));
    QVERIFY(!window()->contextMenu());
}

void TestMainWindowKeys::contextMenuIsDisabledWhenNotPlaying()
{
    m_session->createWindow();
    sendContextMenu();
    QMenu* menu = window()->contextMenu();
    QVERIFY(menu);
    QCOMPARE(menu->actions().size(), 2);
    for (const QAction* subMenu : menu->actions()) {
        QVERIFY(subMenu->menu()->actions().isEmpty());
        QVERIFY(!subMenu->menu()->isEnabled());
    }
    // Other widgets have no context menu.
    QMetaObject::invokeMethod(window(), "clearContextMenu");
    const QPoint position(5, 5);
    auto* logo = window()->findChild<QLabel*>("labelLogo");
    QContextMenuEvent event(QContextMenuEvent::Mouse, position, logo->mapToGlobal(position));
    QApplication::sendEvent(logo, &event);
    QVERIFY(!window()->contextMenu());
}

void TestMainWindowKeys::channelKeyWhileRecordingAsks()
{
    QTemporaryDir records;
    QVERIFY(start());
    QVERIFY(m_session->playChannel(7, playTimeout));
    QVERIFY(player()->startRecord(records.filePath("channel.mpg")));
    QTRY_VERIFY(player()->isRecording());

    QStringList questions;
    bool answer = false;
    MessageBoxes::setPresenter([&](MessageBoxes::Kind kind, const QString&, const QString& text) {
        if (kind == MessageBoxes::Kind::Question)
            questions << text;
        return answer;
    });
    press(Qt::Key_PageDown);
    QCOMPARE(questions,
             QStringList{"Player is still recording. Do you really wish to cancel this record?"});
    QCOMPARE(currentRow(), 7);
    QVERIFY(player()->isRecording());

    answer = true;
    press(Qt::Key_Down);
    QCOMPARE(questions.size(), 2);
    QCOMPARE(currentRow(), 8);
    QVERIFY(!player()->isRecording());
}

// Offscreen there is no display to grab keys on: nothing registers, and the
// same combinations still work through the keyboard.
void TestMainWindowKeys::hotkeysNeedAnX11Display()
{
    m_session->createWindow();
    auto* hotkeys = window()->findChild<GlobalHotkeys*>();
    QVERIFY(hotkeys);
    QVERIFY(Settings::instance()->useHotKeys());
    for (int id : {0x344, 0x342, 0x254, 0x245})
        QVERIFY(!hotkeys->isRegistered(id));
    QVERIFY(!hotkeys->registerHotkey(0x344, Qt::ControlModifier | Qt::AltModifier, Qt::Key_D));
}

int main(int argc, char* argv[])
{
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    TestMainWindowKeys test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowkeys.moc"
