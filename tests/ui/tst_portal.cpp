#include "customwebview.h"
#include "mediaplayer.h"
#include "playeractions.h"
#include "playersession.h"
#include "settings.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

constexpr int loadTimeout = 30000;

// The portal's web view, made on first sight, feeding the film-link menu, and
// the actions that play its films; its scripts are an end-to-end story.
class TestPortal : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_session = std::make_unique<PlayerSession>(); }
    void cleanup() { m_session.reset(); }

    void webViewIsMadeOnFirstSightWithVideoOnDemand_data();
    void webViewIsMadeOnFirstSightWithVideoOnDemand();
    void filmPausesBehindThePortalAndStops();

private:
    bool start(bool videoOnDemand = true, bool load = true)
    {
        QJsonObject json = PlayerSession::scenario();
        json["userInfo"] = QJsonObject{{"vod", videoOnDemand}};
        return m_session->start(json) && (!load || m_session->waitForLoad());
    }
    QToolButton* button(const char* name) const { return m_session->child<QToolButton>(name); }

    std::unique_ptr<PlayerSession> m_session;
};

void TestPortal::webViewIsMadeOnFirstSightWithVideoOnDemand_data()
{
    QTest::addColumn<bool>("videoOnDemand");
    QTest::newRow("with video on demand") << true;
    QTest::newRow("without") << false;
}

void TestPortal::webViewIsMadeOnFirstSightWithVideoOnDemand()
{
    QFETCH(bool, videoOnDemand);
    QVERIFY(start(videoOnDemand, false));
    MainWindow* window = m_session->window.get();
    QVERIFY(!button("buttonMediaPortal")->isEnabled());  // until the user information says so
    QVERIFY(m_session->waitForLoad());
    QCOMPARE(button("buttonMediaPortal")->isEnabled(), videoOnDemand);
    QCOMPARE(Settings::instance()->isUserVodAvailable(), videoOnDemand);
    QVERIFY(!window->portalBrowser());
    window->setMediaPortalMode();
    CustomWebView* browser = window->portalBrowser();
    QCOMPARE(browser != nullptr, videoOnDemand);
    if (!browser) {
        QCOMPARE(window->getMode(), MainWindow::IptvMode);
        return;
    }
    // The view starts at about:blank, whose title comes first.
    QTRY_COMPARE_WITH_TIMEOUT(browser->url().query(), QStringLiteral("wap=1&lan=1&usex=1"),
                              loadTimeout);
    QCOMPARE(browser->url().authority(), m_session->emulator->host());
    // The page's films reach the link menu.
    auto* links = qobject_cast<FtpLinkListAction*>(button("buttonLinks")->defaultAction());
    QTRY_COMPARE_WITH_TIMEOUT(links->linkCount(), 3, loadTimeout);
    window->setIptvMode();
    window->setMediaPortalMode();
    QCOMPARE(window->portalBrowser(), browser);  // made once
}

void TestPortal::filmPausesBehindThePortalAndStops()
{
    QVERIFY(start());
    MainWindow* window = m_session->window.get();
    MediaPlayer* player = window->getMediaPlayer();
    window->setMediaPortalMode();
    QUrl film = m_session->emulator->url("/films/drama-1.mkv");
    film.setScheme("httpx");
    window->setDefaultMovie(film.toString(), "Film");
    QSignalSpy video(window, &MainWindow::switchedToVideo);
    button("buttonPlayPause")->click();
    QVERIFY(video.wait(loadTimeout));
    QCOMPARE(button("buttonMovieOrPortal")->toolTip(), QStringLiteral("Switch back to portal"));

    QSignalSpy paused(player, &MediaPlayer::paused);
    button("buttonMovieOrPortal")->click();
    QCOMPARE(window->currentPage(), int(MainWindow::PortalPage));
    QVERIFY(paused.wait(loadTimeout));
    QCOMPARE(button("buttonPlayPause")->toolTip(), QStringLiteral("Play (Space)"));
    QSignalSpy resumed(player, &MediaPlayer::playingNotVout);
    button("buttonMovieOrPortal")->click();
    QVERIFY(resumed.wait(loadTimeout));

    QSignalSpy stopped(player, &MediaPlayer::stopped);
    button("buttonStopPlayback")->click();
    QVERIFY(stopped.wait(loadTimeout));
    QVERIFY(button("buttonStopPlayback")->isHidden());
    QVERIFY(button("buttonMovieOrPortal")->isHidden());
    QVERIFY(button("buttonPlayPause")->isEnabled());  // the announced film again
}

int main(int argc, char* argv[])
{
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    TestPortal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portal.moc"
