#include "playersession.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QSet>
#include <QStackedWidget>
#include <QTest>

namespace {

// Colours of a sample grid over the picture: a test pattern has many, a
// black or stand-by page a handful.
int distinctColours(const QImage& image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    }
    return int(colours.size());
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
        distinctColours(
            (screen = QApplication::primaryScreen()->grabWindow(0).toImage()).copy(videoArea)) > 50,
        15000);
    const QString path = artifactDirectory() + "/mainwindow-playing.png";
    QVERIFY(screen.copy(session.window->frameGeometry()).save(path));
    qInfo("screenshot saved to %s", qPrintable(path));
}

QTEST_MAIN(TestScreenshot)
#include "tst_screenshot.moc"
