#include "channelmanager.h"
#include "globalhotkeys.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "playersession.h"
#include "settings.h"

#include <QApplication>
#include <QJsonArray>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

constexpr int keyTimeout = 5000;
constexpr int hotkeyIds[] = {0x344, 0x342, 0x254, 0x245};

QJsonObject scenario()
{
    return QJsonObject{
        {"userInfo", QJsonObject{{"vod", true}, {"blocked", false}}},
        {"guide", QJsonObject{{"daysBefore", 0}, {"daysAfter", 0}}},
        {"updateInterval", 30},
        {"generatedChannels", QJsonObject{{"count", 20}, {"firstId", 1}, {"name", "Channel %1"}}},
    };
}

// Presses keys as a user would, through the X server's XTEST extension.
bool xdotoolKeys(const QStringList& keys)
{
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"), QStringList{"key", "--delay", "40"} + keys);
    return xdotool.waitForFinished(keyTimeout) && xdotool.exitStatus() == QProcess::NormalExit &&
           xdotool.exitCode() == 0;
}

// Another X client that holds a key combination on the root window.
class OtherClient
{
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(m_connection); }

    bool grab(uint16_t modifiers, xcb_keysym_t keysym)
    {
        xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
        xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_generic_error_t* error =
            codes ? xcb_request_check(m_connection, xcb_grab_key_checked(
                                                        m_connection, 1, root, modifiers, codes[0],
                                                        XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))
                  : nullptr;
        const bool grabbed = codes && !error;
        std::free(error);
        std::free(codes);
        xcb_key_symbols_free(symbols);
        return grabbed;
    }

private:
    xcb_connection_t* m_connection;
};

}  // namespace

// The global hotkeys on a real X server, with keys pressed by xdotool. The
// window's own keys are the end-to-end tests' and tst_mainwindowkeys'.
class TestKeysXvfb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void hotkeysSwitchModeAndBringTheWindowBack();
    void hotkeysFollowTheSetting();
    void combinationHeldElsewhereIsNotRemembered();

private:
    MainWindow* window() const { return m_session->window.get(); }
    GlobalHotkeys* hotkeys() const { return window()->findChild<GlobalHotkeys*>(); }
    bool start() { return m_session->start(scenario()) && m_session->waitForLoad(); }

    std::unique_ptr<PlayerSession> m_session;
};

void TestKeysXvfb::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
    QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is not installed");
}

void TestKeysXvfb::init()
{
    m_session = std::make_unique<PlayerSession>();
}

void TestKeysXvfb::cleanup()
{
    m_session.reset();
}

void TestKeysXvfb::hotkeysSwitchModeAndBringTheWindowBack()
{
    LogCapture log;
    QVERIFY(start());
    for (int id : hotkeyIds)
        QVERIFY(hotkeys()->isRegistered(id));

    // Another mode: the hotkey comes back to IPTV.
    window()->setMode(MainWindow::RecordViewMode);
    QVERIFY(xdotoolKeys({"ctrl+alt+d"}));
    QTRY_COMPARE_WITH_TIMEOUT(window()->getMode(), MainWindow::IptvMode, keyTimeout);
    QVERIFY(log.contains("Hotkey message received."));

    // Hidden: the hotkey brings the window back.
    window()->hide();
    QVERIFY(xdotoolKeys({"ctrl+t"}));
    QTRY_VERIFY_WITH_TIMEOUT(window()->isVisible(), keyTimeout);
    QCOMPARE(window()->getMode(), MainWindow::IptvMode);
}

void TestKeysXvfb::hotkeysFollowTheSetting()
{
    LogCapture log;
    QVERIFY(start());
    Settings::instance()->setUseHotKeys(false);
    for (int id : hotkeyIds)
        QVERIFY(!hotkeys()->isRegistered(id));

    // A combination of the test's own tells when the X server has delivered
    // what xdotool pressed before it.
    GlobalHotkeys marker;
    QVERIFY(marker.registerHotkey(1, Qt::ControlModifier | Qt::AltModifier, Qt::Key_Q));
    QSignalSpy markerPressed(&marker, &GlobalHotkeys::activated);
    window()->hide();
    QVERIFY(xdotoolKeys({"ctrl+alt+d", "ctrl+alt+q"}));
    QVERIFY(markerPressed.wait(keyTimeout));
    QVERIFY(!window()->isVisible());
    QVERIFY(!log.contains("Hotkey message received."));

    Settings::instance()->setUseHotKeys(true);
    for (int id : hotkeyIds)
        QVERIFY(hotkeys()->isRegistered(id));
    QVERIFY(xdotoolKeys({"ctrl+alt+d"}));
    QTRY_VERIFY_WITH_TIMEOUT(window()->isVisible(), keyTimeout);
}

void TestKeysXvfb::combinationHeldElsewhereIsNotRemembered()
{
    OtherClient other;
    QVERIFY(other.grab(XCB_MOD_MASK_CONTROL, 'e'));
    m_session->createWindow();
    QVERIFY(hotkeys()->isRegistered(0x344));
    QVERIFY(hotkeys()->isRegistered(0x254));
    QVERIFY(!hotkeys()->isRegistered(0x245));

    // Off and on again: the free ones return, the held one stays out.
    Settings::instance()->setUseHotKeys(false);
    QVERIFY(!hotkeys()->isRegistered(0x344));
    Settings::instance()->setUseHotKeys(true);
    QVERIFY(hotkeys()->isRegistered(0x344));
    QVERIFY(hotkeys()->isRegistered(0x342));
    QVERIFY(!hotkeys()->isRegistered(0x245));
}

QTEST_MAIN(TestKeysXvfb)
#include "tst_keysxvfb.moc"
