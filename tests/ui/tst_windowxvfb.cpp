#include "logcapture.h"
#include "playersession.h"
#include "settings.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QProcess>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>

namespace {

// Qt's own balloon, shown where the tray offers no notifications of its own.
QWidget* balloon()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QBalloonTip") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

// Whether a sample grid over the picture meets the test pattern's saturated
// red, blue and yellow bars. The stand-by page (dark blue, green and white
// text) and a black page have none of them.
bool showsTestPattern(const QImage& image)
{
    bool red = false, blue = false, yellow = false;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            const QColor c = image.pixelColor(x, y);
            const bool high[] = {c.red() > 190, c.green() > 190, c.blue() > 190};
            const bool low[] = {c.red() < 70, c.green() < 70, c.blue() < 70};
            red = red || (high[0] && low[1] && low[2]);
            blue = blue || (low[0] && low[1] && high[2]);
            yellow = yellow || (high[0] && high[1] && low[2]);
        }
    }
    return red && blue && yellow;
}

}  // namespace

// The window on a real X server with a system tray (trayer): the tray icon
// and the picture libVLC draws, kept as a screenshot among the artifacts.
class TestWindowXvfb : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { m_session = std::make_unique<PlayerSession>(); }
    void cleanup() { m_session.reset(); }

    void windowGoesToTheTrayAndQuitsFromThere();
    void videoIsDrawnInTheWindow();

private:
    MainWindow* window() const { return m_session->window.get(); }
    QList<QAction*> trayMenu() const
    {
        return window()->findChild<QSystemTrayIcon*>()->contextMenu()->actions();
    }

    QProcess m_trayer;  // killed as the test ends
    std::unique_ptr<PlayerSession> m_session;
};

void TestWindowXvfb::initTestCase()
{
    m_trayer.start("trayer", {"--edge", "top", "--align", "right", "--widthtype", "request"});
    QVERIFY2(m_trayer.waitForStarted(), qPrintable(m_trayer.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 15000);
}

// The menu's first entry both ways, minimising, a double click on the icon
// and closing with close-to-tray; the hint shows only the first time. Quit
// runs the close sequence all the same, which stores the window first.
void TestWindowXvfb::windowGoesToTheTrayAndQuitsFromThere()
{
    LogCapture log;
    m_session->createWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    auto* tray = window()->findChild<QSystemTrayIcon*>();
    QVERIFY(tray->isVisible() && tray->geometry().isValid());
    QAction* toggle = trayMenu().first();
    QCOMPARE(toggle->text(), QStringLiteral("Hide Player"));
    toggle->trigger();
    QTRY_VERIFY(!window()->isVisible());
    QCOMPARE(toggle->text(), QStringLiteral("Restore Player"));
    QTRY_VERIFY(balloon());
    balloon()->hide();
    toggle->trigger();
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QCOMPARE(toggle->text(), QStringLiteral("Hide Player"));

    window()->showMinimized();
    QTRY_VERIFY(!window()->isVisible());
    QVERIFY(!balloon());
    emit tray->activated(QSystemTrayIcon::Trigger);
    QVERIFY(!window()->isVisible());
    emit tray->activated(QSystemTrayIcon::DoubleClick);
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QTRY_VERIFY(!window()->isMinimized());

    Settings::instance()->setCloseToTray(true);
    window()->close();
    QTRY_VERIFY(!window()->isVisible());
    QCOMPARE(toggle->text(), QStringLiteral("Restore Player"));
    // Quitting ends the application's event loop, so run one for it to end.
    QTimer::singleShot(0, trayMenu().last(), &QAction::trigger);
    QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(1); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(log.contains("[MainWindow::onExit] application close"));
    QCOMPARE(Settings::instance()->windowSize(), window()->size());
}

void TestWindowXvfb::videoIsDrawnInTheWindow()
{
    QVERIFY(m_session->start(EmulatorProcess::shippedScenario("demo")));
    QVERIFY(m_session->waitForLoad());
    window()->setGeometry(40, 80, 1100, 650);
    QVERIFY(QTest::qWaitForWindowExposed(window()));
    QVERIFY(m_session->playChannel(0));

    // The video draws into its own X window: only the screen holds it.
    const QWidget* pages = window()->pageStack();
    const QRect videoArea(pages->mapToGlobal(QPoint(0, 0)), pages->size());
    QImage screen;
    QTRY_VERIFY_WITH_TIMEOUT(
        showsTestPattern(
            (screen = QApplication::primaryScreen()->grabWindow(0).toImage()).copy(videoArea)),
        15000);
    const QString folder = qEnvironmentVariable("ZENTRIA_ARTIFACT_DIR", QDir::tempPath());
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(screen.copy(window()->frameGeometry()).save(folder + "/mainwindow-playing.png"));
}

QTEST_MAIN(TestWindowXvfb)
#include "tst_windowxvfb.moc"
