#include "logcapture.h"
#include "mainwindow.h"
#include "playersession.h"
#include "settings.h"

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

namespace {

constexpr int trayTimeout = 15000;

QAction* entry(const QSystemTrayIcon* tray, const QString& text)
{
    for (QAction* action : tray->contextMenu()->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

// Qt's own balloon, shown where the tray offers no notifications of its own.
bool balloonVisible()
{
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QBalloonTip") && widget->isVisible())
            return true;
    }
    return false;
}

void hideBalloons()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QBalloonTip"))
            widget->hide();
    }
}

}  // namespace

// The tray icon on a real X server with a system tray (trayer).
class TestTrayXvfb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void trayIconIsShown();
    void toggleHidesAndRestoresTheWindow();
    void minimisingAndClosingHideToTheTray();
    void balloonOnlyTheFirstTime();
    void quitEndsTheApplicationDespiteCloseToTray();

private:
    MainWindow* window() const { return m_session->window.get(); }
    QSystemTrayIcon* tray() const { return window()->findChild<QSystemTrayIcon*>(); }

    QProcess m_trayer;
    std::unique_ptr<PlayerSession> m_session;
};

void TestTrayXvfb::initTestCase()
{
    m_trayer.setProgram(QStringLiteral("trayer"));
    m_trayer.setArguments({"--edge", "top", "--align", "right", "--widthtype", "request"});
    m_trayer.start();
    QVERIFY2(m_trayer.waitForStarted(), qPrintable(m_trayer.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), trayTimeout);
}

void TestTrayXvfb::cleanupTestCase()
{
    m_trayer.terminate();
    if (!m_trayer.waitForFinished(5000))
        m_trayer.kill();
}

void TestTrayXvfb::init()
{
    m_session = std::make_unique<PlayerSession>();
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
}

void TestTrayXvfb::cleanup()
{
    hideBalloons();
    m_session.reset();
}

void TestTrayXvfb::trayIconIsShown()
{
    QVERIFY(tray()->isVisible());
    QVERIFY(!tray()->icon().isNull());
    QCOMPARE(tray()->toolTip(), QStringLiteral("Zentria Media Player"));
    QVERIFY(tray()->geometry().isValid());
}

void TestTrayXvfb::toggleHidesAndRestoresTheWindow()
{
    QAction* toggle = entry(tray(), QStringLiteral("Hide Player"));
    toggle->trigger();
    QTRY_VERIFY(!window()->isVisible());
    QCOMPARE(toggle->text(), QStringLiteral("Restore Player"));
    toggle->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QCOMPARE(toggle->text(), QStringLiteral("Hide Player"));
}

void TestTrayXvfb::minimisingAndClosingHideToTheTray()
{
    window()->showMinimized();
    QTRY_VERIFY(!window()->isVisible());
    QVERIFY(entry(tray(), QStringLiteral("Restore Player")));
    // A single click on the icon does not restore it.
    emit tray()->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!window()->isVisible());
    emit tray()->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QTRY_VERIFY(!window()->isMinimized());

    Settings::instance()->setCloseToTray(true);
    window()->close();
    QTRY_VERIFY(!window()->isVisible());
    QVERIFY(entry(tray(), QStringLiteral("Restore Player")));
}

void TestTrayXvfb::balloonOnlyTheFirstTime()
{
    QVERIFY(Settings::instance()->firstTimeTray());
    QVERIFY(!balloonVisible());
    window()->hideToTray();
    QTRY_VERIFY(balloonVisible());
    QVERIFY(!Settings::instance()->firstTimeTray());
    hideBalloons();

    window()->restoreFromTray();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    window()->hideToTray();
    QTRY_VERIFY(!window()->isVisible());
    QVERIFY(!balloonVisible());
}

// The tray's Quit runs the close sequence, which stores the window first.
void TestTrayXvfb::quitEndsTheApplicationDespiteCloseToTray()
{
    LogCapture log;
    Settings::instance()->setCloseToTray(true);
    const QSize size(800, 560);
    window()->resize(size);
    QTRY_COMPARE(window()->size(), size);
    QAction* quit = entry(tray(), QStringLiteral("Quit"));
    QVERIFY(quit);
    // Quitting ends the application's event loop, so run one for it to end.
    QTimer::singleShot(0, quit, &QAction::trigger);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, qApp, [] { QCoreApplication::exit(1); });
    watchdog.start(10000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(log.contains("[MainWindow::onExit] application close"));
    QCOMPARE(Settings::instance()->windowSize(), size);
}

QTEST_MAIN(TestTrayXvfb)
#include "tst_trayxvfb.moc"
