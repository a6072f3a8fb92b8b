#include "customwebview.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "playeractions.h"
#include "playersession.h"

#include <QApplication>
#include <QClipboard>
#include <QJsonArray>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>

#include <memory>
#include <optional>

namespace {

constexpr int loadTimeout = 30000;

QJsonObject scenario(bool videoOnDemand)
{
    QJsonArray channels;
    for (int id : {1, 2, 3})
        channels << QJsonObject{{"id", id},
                                {"name", QStringLiteral("Channel %1").arg(id)},
                                {"offsets", QJsonArray{1}},
                                {"available", id != 2}};
    return QJsonObject{
        {"userInfo", QJsonObject{{"vod", videoOnDemand}, {"blocked", false}}},
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}}}},
        {"guide", QJsonObject{{"daysBefore", 0}, {"daysAfter", 0}}},
        {"updateInterval", 30},
        {"channels", channels},
    };
}

}  // namespace

// The portal page: a web view made on first sight, loading the operator's
// portal, and the menu of its film links.
class TestPortal : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void webViewIsMadeWhenThePortalFirstShows();
    void filmLinksMenuFollowsThePage();
    void copyingALinkPutsItOnTheClipboard();
    void scriptsRunInThePage();
    void withoutVideoOnDemandNoWebViewIsMade();

private:
    // Starts the player, enters the portal and waits for its page.
    bool openPortal();
    QString pageText() const;
    FtpLinkListAction* linkAction() const
    {
        return qobject_cast<FtpLinkListAction*>(
            m_session->child<QToolButton>("buttonLinks")->defaultAction());
    }

    std::unique_ptr<PlayerSession> m_session;
};

void TestPortal::init()
{
    m_session = std::make_unique<PlayerSession>();
}

void TestPortal::cleanup()
{
    m_session.reset();
}

bool TestPortal::openPortal()
{
    if (!m_session->start(scenario(true)) || !m_session->waitForLoad())
        return false;
    QSignalSpy titles(m_session->window.get(), &MainWindow::portalTitleChanged);
    m_session->window->setMediaPortalMode();
    if (!m_session->window->portalBrowser())
        return false;
    return titles.wait(loadTimeout) || !titles.isEmpty();
}

QString TestPortal::pageText() const
{
    // The page may answer after a timeout; the answer then lands here, not on
    // a stack that is gone.
    const auto text = std::make_shared<std::optional<QString>>();
    m_session->window->portalBrowser()->page()->toPlainText(
        [text](const QString& result) { *text = result; });
    return QTest::qWaitFor([&] { return text->has_value(); }, 10000) ? text->value() : QString();
}

void TestPortal::webViewIsMadeWhenThePortalFirstShows()
{
    QVERIFY(m_session->start(scenario(true)) && m_session->waitForLoad());
    MainWindow* window = m_session->window.get();
    QVERIFY(!window->portalBrowser());

    QSignalSpy titles(window, &MainWindow::portalTitleChanged);
    window->setMediaPortalMode();
    CustomWebView* browser = window->portalBrowser();
    QVERIFY(browser);
    QCOMPARE(browser->objectName(), QStringLiteral("mediaPortalBrowser"));
    QCOMPARE(window->pageStack()->currentWidget(), browser->parentWidget());

    QVERIFY(titles.wait(loadTimeout));
    const QString defaultFilm =
        QStringLiteral("%1 | Channel 1").arg(m_session->emulator->url("/stream/1").toString());
    QTRY_COMPARE_WITH_TIMEOUT(browser->title(), defaultFilm, loadTimeout);
    QCOMPARE(browser->url().query(), QStringLiteral("wap=1&lan=1&usex=1"));
    QCOMPARE(browser->url().authority(), m_session->emulator->host());

    // Back and forth between the modes keeps the one view.
    window->setIptvMode();
    window->setMediaPortalMode();
    QCOMPARE(window->portalBrowser(), browser);
}

void TestPortal::filmLinksMenuFollowsThePage()
{
    QVERIFY(openPortal());
    FtpLinkListAction* links = linkAction();
    const QString host = m_session->emulator->host();
    QTRY_COMPARE_WITH_TIMEOUT(links->linkCount(), 2, loadTimeout);
    QStringList entries;
    for (const QAction* entry : links->linkMenu()->actions())
        entries << entry->text();
    // The closed channel is no film; both link forms become plain HTTP.
    QCOMPARE(entries, QStringList({QStringLiteral("http://%1/stream/1").arg(host),
                                   QStringLiteral("http://%1/stream/3").arg(host)}));
    QVERIFY(!links->isVisible());
    QVERIFY(m_session->child<QToolButton>("buttonLinks")->isHidden());
    QCOMPARE(m_session->child<QToolButton>("buttonLinks")->menu(), links->linkMenu());

    m_session->window->setIptvMode();
    QVERIFY(!m_session->child<QToolButton>("buttonLinks")->menu());
}

void TestPortal::copyingALinkPutsItOnTheClipboard()
{
    QVERIFY(openPortal());
    FtpLinkListAction* links = linkAction();
    QTRY_VERIFY_WITH_TIMEOUT(links->linkCount() > 0, loadTimeout);
    QAction* first = links->linkMenu()->actions().constFirst();
    QApplication::clipboard()->clear();
    first->trigger();
    QCOMPARE(QApplication::clipboard()->text(), first->text());
}

void TestPortal::scriptsRunInThePage()
{
    LogCapture log;
    QVERIFY(openPortal());
    QTRY_VERIFY_WITH_TIMEOUT(pageText().contains(QStringLiteral("genre 0, movie 0")), loadTimeout);
    m_session->window->runPortalScript(QStringLiteral("walkMovies(+1);"));
    m_session->window->runPortalScript(QStringLiteral("walkGenres(-1);"));
    QTRY_VERIFY_WITH_TIMEOUT(pageText().contains(QStringLiteral("genre -1, movie 1")), 10000);

    // The page's console and its uncaught errors are log lines of their own.
    m_session->window->runPortalScript(
        QStringLiteral("console.warn('careful'); console.error('broken');"
                       "setTimeout(function() { throw new Error('thrown'); }, 0);"));
    QVERIFY(log.waitFor(QStringLiteral("[portal] console warning: careful (")));
    QVERIFY(log.waitFor(QStringLiteral("[portal] console error: broken (")));
    QVERIFY(log.waitFor(QStringLiteral("[portal] console error: Uncaught Error: thrown (")));
}

void TestPortal::withoutVideoOnDemandNoWebViewIsMade()
{
    QVERIFY(m_session->start(scenario(false)) && m_session->waitForLoad());
    QTRY_VERIFY(!m_session->child<QToolButton>("buttonMediaPortal")->isEnabled());
    m_session->window->setMediaPortalMode();
    QCOMPARE(m_session->window->getMode(), MainWindow::IptvMode);
    QVERIFY(!m_session->window->portalBrowser());
    // Scripts and page reads do nothing harmful without the page.
    m_session->window->runPortalScript(QStringLiteral("walkMovies(1);"));
    bool answered = false;
    m_session->window->requestPortalHtml([&](const QString& html) { answered = html.isEmpty(); });
    QVERIFY(answered);
}

int main(int argc, char* argv[])
{
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);
    TestPortal test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_portal.moc"
