#include "playersession.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStackedWidget>
#include <QTest>

namespace {

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

QString artifactDirectory()
{
    const QString folder = qEnvironmentVariable("ZENTRIA_ARTIFACT_DIR", QDir::tempPath());
    QDir().mkpath(folder);
    return folder;
}

}  // namespace

// The window on a real X server, playing a channel of the demo scenario; the
// screenshot is kept as a build artifact.
class TestScreenshot : public QObject
{
    Q_OBJECT
private slots:
    void windowPlayingAChannel();
};

void TestScreenshot::windowPlayingAChannel()
{
    PlayerSession session;
    QVERIFY(session.start(EmulatorProcess::shippedScenario("demo")));
    QVERIFY(session.waitForLoad());
    session.window->resize(1100, 650);
    session.window->move(40, 40);
    QVERIFY(QTest::qWaitForWindowExposed(session.window.get()));
    QVERIFY(session.playChannel(0));

    // The video draws into its own X window: only the screen holds it.
    const QWidget* pages = session.window->pageStack();
    const QRect videoArea(pages->mapToGlobal(QPoint(0, 0)), pages->size());
    QImage screen;
    QTRY_VERIFY_WITH_TIMEOUT(
        showsTestPattern(
            (screen = QApplication::primaryScreen()->grabWindow(0).toImage()).copy(videoArea)),
        15000);
    const QString path = artifactDirectory() + "/mainwindow-playing.png";
    QVERIFY(screen.copy(session.window->frameGeometry()).save(path));
    qInfo("screenshot saved to %s", qPrintable(path));
}

QTEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
