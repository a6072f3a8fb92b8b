#include "logcapture.h"
#include "mediaplayer.h"
#include "movielinks.h"
#include "playeractions.h"
#include "playersession.h"
#include "tablerows.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace {

// A window as the actions see it, set by the test; its player is a real,
// idle one that the actions may command.
struct FakeHost : PlayerActionHost
{
    Mode mode = IptvMode;
    int page = LogoPage;
    bool idle = true;
    bool playing = false;
    QString movieTitle;
    QStringList played;
    std::unique_ptr<MediaPlayer> player = std::make_unique<MediaPlayer>();

    Mode getMode() const override { return mode; }
    int currentPage() const override { return page; }
    void showPage(Page value) override { page = value; }
    void updateSeparators() override {}
    MediaPlayer* getMediaPlayer() const override { return player.get(); }
    bool playerIdle() const override { return idle; }
    bool playerPlaying() const override { return playing; }
    ChannelManager* channelManager() const override { return nullptr; }
    QString defaultMovieUrl() const override { return QStringLiteral("http://films/1.avi"); }
    QString defaultMovieTitle() const override { return movieTitle; }
    void playFtpMovie(const QString& url, int at) override
    {
        played << url + " at " + QString::number(at);
    }

    void setPlayer(const QString& state)
    {
        idle = state == "idle";
        playing = state == "playing";
    }
};

const QHash<QString, PlayerActionHost::Mode> modes = {
    {"iptv", PlayerActionHost::IptvMode},
    {"portal", PlayerActionHost::MediaPortalMode},
    {"recordings", PlayerActionHost::RecordViewMode}};
const QHash<QString, int> pages = {{"video", PlayerActionHost::VideoPage},
                                   {"logo", PlayerActionHost::LogoPage},
                                   {"guide", PlayerActionHost::TvProgramPage},
                                   {"schedule", PlayerActionHost::ScheduledRecordsPage},
                                   {"recordings", PlayerActionHost::RecordingsPage}};

}  // namespace

// The playback actions on a host the test sets; the portal's film links and
// the URLs they play from. The actions on the real window are tst_portal's
// and tst_mainwindow's.
class TestPlayerActions : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void actionsFollowModeAndPlayer_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/action-states.txt"));
    }
    void actionsFollowModeAndPlayer();
    void triggeredActionChangesPageOrLogs_data()
    {
        addTableRows(QFINDTESTDATA("../data/ui/triggered-actions.txt"));
    }
    void triggeredActionChangesPageOrLogs();
    void portalPlayStartsTheAnnouncedFilm();
    void linkMenuOffersThePagesFilmsToCopy();
    void playableUrl_data() { addTableRows(QFINDTESTDATA("../data/ui/playable-urls.txt")); }
    void playableUrl();

private:
    PlayerAction* action(const QString& name) const { return m_actions.value(name); }
    PauseOrPlayAction* play() const { return qobject_cast<PauseOrPlayAction*>(action("play")); }

    std::unique_ptr<PlayerSession> m_session;
    std::unique_ptr<FakeHost> m_host;
    std::unique_ptr<QObject> m_owner;
    QHash<QString, PlayerAction*> m_actions;
};

void TestPlayerActions::init()
{
    m_session = std::make_unique<PlayerSession>();  // the profile the players read
    m_host = std::make_unique<FakeHost>();
    m_owner = std::make_unique<QObject>();
    m_actions = {{"movie", new VideoOrPortalAction(*m_host, m_owner.get())},
                 {"stop", new StopVideoAction(*m_host, m_owner.get())},
                 {"guide", new ShowTvProgramAction(*m_host, m_owner.get())},
                 {"play", new PauseOrPlayAction(*m_host, m_owner.get())},
                 {"record", new RecordAction(*m_host, m_owner.get())},
                 {"schedule", new ScheduledRecordListAction(*m_host, m_owner.get())},
                 {"links", new FtpLinkListAction(*m_host, m_owner.get())}};
}

void TestPlayerActions::cleanup()
{
    m_owner.reset();
    m_host.reset();
    m_session.reset();
}

void TestPlayerActions::actionsFollowModeAndPlayer()
{
    QFETCH(QString, mode);
    QFETCH(QString, player);
    QFETCH(QString, movie);
    QFETCH(QString, shown);
    QFETCH(QString, disabled);
    m_host->mode = modes.value(mode);
    m_host->movieTitle = movie == "known" ? "Film" : "";
    play()->resetState();  // as on every mode change
    m_host->setPlayer(player);
    play()->changeState();  // as on the player's signals

    QStringList nowShown;
    QStringList nowDisabled;
    for (const char* name : {"movie", "stop", "guide", "play", "record", "schedule", "links"}) {
        action(name)->updateState();
        if (action(name)->isVisible()) {
            nowShown << name;
            if (!action(name)->isEnabled())
                nowDisabled << name;
        }
    }
    QCOMPARE(nowShown.join(' '), shown);
    QCOMPARE(nowDisabled.join(' '), disabled);
}

void TestPlayerActions::triggeredActionChangesPageOrLogs()
{
    QFETCH(QString, mode);
    QFETCH(QString, action);
    QFETCH(QString, player);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, checked);
    QFETCH(QString, log);
    m_host->mode = modes.value(mode);
    m_host->setPlayer(player);
    m_host->page = pages.value(before);
    LogCapture lines;
    this->action(action)->trigger();
    QCOMPARE(m_host->page, pages.value(after));
    QCOMPARE(this->action(action)->isChecked(), checked == "yes");
    QCOMPARE(lines.lines().filter("!!!").join('\n'), log);
}

void TestPlayerActions::portalPlayStartsTheAnnouncedFilm()
{
    m_host->mode = PlayerActionHost::MediaPortalMode;
    m_host->movieTitle = "Film";
    play()->resetState();
    play()->trigger();
    QCOMPARE(m_host->played, QStringList{"http://films/1.avi at 0"});
    m_host->setPlayer("paused");
    play()->changeState();
    QVERIFY(!play()->isEnabled());  // until the film plays
    m_host->setPlayer("playing");
    play()->changeState();
    QCOMPARE(play()->text(), QStringLiteral("Pause (Space)"));
}

void TestPlayerActions::playableUrl()
{
    QFETCH(QString, link);
    QFETCH(QString, url);
    QCOMPARE(MovieLinks::toPlayableUrl(link), url);
}

void TestPlayerActions::linkMenuOffersThePagesFilmsToCopy()
{
    auto* links = qobject_cast<FtpLinkListAction*>(action("links"));
    QFile page(QFINDTESTDATA("../data/ui/portal-links.html"));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(page.readAll());
    m_host->mode = PlayerActionHost::MediaPortalMode;
    QToolButton button;
    button.setDefaultAction(links);

    links->updateMenu(html);
    QStringList entries;
    for (const QAction* entry : links->linkMenu()->actions())
        entries << entry->text();
    QCOMPARE(entries, QStringList({"http://films.example/2.avi", "http://films.example/1.avi"}));
    QCOMPARE(links->linkCount(), 2);
    QVERIFY(button.isHidden());
    QCOMPARE(button.menu(), links->linkMenu());
    QApplication::clipboard()->clear();
    links->linkMenu()->actions().constLast()->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("http://films.example/1.avi"));

    m_host->mode = PlayerActionHost::IptvMode;
    links->updateState();
    QVERIFY(!button.menu());
}

QTEST_MAIN(TestPlayerActions)
#include "tst_playeractions.moc"
