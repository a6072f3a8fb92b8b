#include "channel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "logcapture.h"
#include "mainwindow.h"
#include "mediaplayer.h"
#include "messageboxes.h"
#include "playersession.h"
#include "settings.h"
#include "statusbar.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QToolButton>

namespace {

QJsonObject scenario(bool videoOnDemand = false, bool blocked = false,
                     const QStringList& names = {"Первый", "Второй", "Третий"})
{
    QJsonArray channels;
    for (int i = 0; i < names.size(); ++i)
        channels << QJsonObject{
            {"id", i + 1}, {"name", names.at(i)}, {"offsets", QJsonArray{1, 7}}};
    return QJsonObject{
        {"userInfo", QJsonObject{{"vod", videoOnDemand}, {"blocked", blocked}}},
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}},
                               QJsonObject{{"id", 7}, {"minutes", -60}}}},
        {"guide", QJsonObject{{"daysBefore", 0}, {"daysAfter", 0}}},
        {"updateInterval", 30},
        {"channels", channels},
    };
}

}  // namespace

// The main window against the emulator and a real libVLC, as start-up builds it.
class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void logInFillsTheChannelList();
    void pickingAChannelPlaysIt();
    void previousAndNextStopAtTheEnds();
    void portalFollowsVideoOnDemand_data();
    void portalFollowsVideoOnDemand();
    void serverErrorsAreShownInTheStatusBar_data();
    void serverErrorsAreShownInTheStatusBar();
    void failedLogInIsRecoveredByReconnect();
    void emptyChannelListLeavesTheWindowUsable();
    void lastChannelThatIsGoneSelectsNothing();
    void failingStreamIsShownInTheStatusBar();
    void closingSendsSettingsThenClosesTheStream();
    void sameModeAgainChangesNothing();

private:
    bool start(const QJsonObject& json, const QStringList& emulatorArguments = {})
    {
        return m_session->start(json, emulatorArguments);
    }
    bool waitForLoad() const { return m_session->waitForLoad(); }
    bool playChannel(int row);
    template <typename Widget>
    Widget* child(const char* name) const
    {
        return m_session->child<Widget>(name);
    }
    QStackedWidget* pages() const { return child<QStackedWidget>("logoSwitcher"); }

    std::unique_ptr<PlayerSession> m_session;
};

void TestMainWindow::init()
{
    m_session = std::make_unique<PlayerSession>();
}

void TestMainWindow::cleanup()
{
    m_session.reset();
}

bool TestMainWindow::playChannel(int row)
{
    auto* list = child<ChannelList::View>("lwChannelList");
    QSignalSpy video(m_session->window.get(), &MainWindow::switchedToVideo);
    list->changeChannel(list->model()->index(row, 0));
    return video.wait(20000);
}

void TestMainWindow::logInFillsTheChannelList()
{
    QVERIFY(start(scenario()));
    QVERIFY(waitForLoad());
    auto* list = child<ChannelList::View>("lwChannelList");
    QTRY_COMPARE(list->model()->rowCount(), 3);
    QCOMPARE(list->model()->index(1, 0).data().toString(), QStringLiteral("    2 Второй"));
    QVERIFY(!child<StatusBar>("statusBar")->isVisible());
    QCOMPARE(pages()->currentIndex(), int(MainWindow::LogoPage));
}

void TestMainWindow::pickingAChannelPlaysIt()
{
    QVERIFY(start(scenario()));
    QVERIFY(waitForLoad());
    auto* list = child<ChannelList::View>("lwChannelList");
    QSignalSpy playing(m_session->window->getMediaPlayer(), &MediaPlayer::playing);
    QSignalSpy video(m_session->window.get(), &MainWindow::switchedToVideo);
    QElapsedTimer sincePlaying;
    connect(m_session->window->getMediaPlayer(), &MediaPlayer::playing, this,
            [&] { sincePlaying.start(); });

    list->changeChannel(list->model()->index(1, 0));
    QCOMPARE(m_session->channels->currentChannel()->name(), QStringLiteral("Второй"));
    QCOMPARE(pages()->currentIndex(), int(MainWindow::StandByPage));
    QVERIFY(video.wait(20000));
    QCOMPARE(playing.count(), 1);
    QVERIFY2(sincePlaying.elapsed() >= MainWindow::blackBackgroundMs - 20,
             qPrintable(QString::number(sincePlaying.elapsed())));
    QCOMPARE(pages()->currentIndex(), int(MainWindow::VideoPage));
    // The picture fills the player area.
    QTRY_COMPARE(m_session->window->getMediaPlayer()->size(), pages()->size());
    QCOMPARE(Settings::instance()->lastChannel(), QStringLiteral("Второй"));

    const QList<EmulatorRequest> opens = m_session->emulator->requests("OpenStream");
    QCOMPARE(opens.size(), 1);
    QVERIFY(opens.first().message.contains("channel_id: 2"));
}

void TestMainWindow::previousAndNextStopAtTheEnds()
{
    QVERIFY(start(scenario()));
    QVERIFY(waitForLoad());
    m_session->channels->setCurrentChannel(m_session->channels->channelAt(0));
    m_session->window->prevChannel();
    QCOMPARE(m_session->channels->currentChannel(), m_session->channels->channelAt(0));
    m_session->window->nextChannel();
    m_session->window->nextChannel();
    QCOMPARE(m_session->channels->currentChannel(), m_session->channels->channelAt(2));
    m_session->window->nextChannel();
    QCOMPARE(m_session->channels->currentChannel(), m_session->channels->channelAt(2));
}

void TestMainWindow::portalFollowsVideoOnDemand_data()
{
    QTest::addColumn<bool>("videoOnDemand");
    QTest::newRow("with video on demand") << true;
    QTest::newRow("without") << false;
}

void TestMainWindow::portalFollowsVideoOnDemand()
{
    QFETCH(bool, videoOnDemand);
    QVERIFY(start(scenario(videoOnDemand)));
    auto* portal = child<QToolButton>("buttonMediaPortal");
    QVERIFY(!portal->isEnabled());  // until the user information says so
    QVERIFY(waitForLoad());
    QCOMPARE(portal->isEnabled(), videoOnDemand);
    QCOMPARE(Settings::instance()->isUserVodAvailable(), videoOnDemand);
}

void TestMainWindow::serverErrorsAreShownInTheStatusBar_data()
{
    QTest::addColumn<QJsonObject>("userInfo");
    QTest::addColumn<QStringList>("emulatorArguments");
    QTest::addColumn<QString>("text");
    QTest::newRow("refused log-in")
        << QJsonObject{} << QStringList{"--fault", "Auth:result=WrongUser"}
        << "Error authorize. Please call for support";
    QTest::newRow("another operator's subscriber")
        << QJsonObject{{"companyId", 7}} << QStringList{}
        << "Error connect to server. Please call for support";
    QTest::newRow("blocked") << QJsonObject{{"blocked", true}} << QStringList{}
                             << "Error user is blocked";
    QTest::newRow("blocked in debt")
        << QJsonObject{{"blocked", true}, {"balance", -12.5}} << QStringList{}
        << "Error user is blocked. In your acaunt -12.5 rub.";
}

void TestMainWindow::serverErrorsAreShownInTheStatusBar()
{
    QFETCH(QJsonObject, userInfo);
    QFETCH(QStringList, emulatorArguments);
    QFETCH(QString, text);
    QJsonObject json = scenario();
    QJsonObject info = json["userInfo"].toObject();
    for (auto it = userInfo.constBegin(); it != userInfo.constEnd(); ++it)
        info[it.key()] = it.value();
    json["userInfo"] = info;
    QVERIFY(start(json, emulatorArguments));
    auto* status = child<StatusBar>("statusBar");
    QTRY_VERIFY_WITH_TIMEOUT(status->isVisible(), 15000);
    QCOMPARE(status->text(), text);
    // The window stays usable without a list.
    m_session->window->nextChannel();
    QCOMPARE(pages()->currentIndex(), int(MainWindow::LogoPage));
}

void TestMainWindow::failedLogInIsRecoveredByReconnect()
{
    QVERIFY(start(scenario(), {"--fault", "Auth:connection=reset,times=1"}));
    auto* status = child<StatusBar>("statusBar");
    QTRY_VERIFY_WITH_TIMEOUT(status->isVisible(), 15000);
    QCOMPARE(status->text(), QStringLiteral("Network error"));
    QPushButton* reconnect = m_session->window->reconnectButton();
    QVERIFY(reconnect->isVisible());
    QVERIFY(!m_session->channels->isLoaded());

    QTest::mouseClick(reconnect, Qt::LeftButton);
    QVERIFY(waitForLoad());
    QTRY_COMPARE(child<ChannelList::View>("lwChannelList")->model()->rowCount(), 3);
    QVERIFY(!status->isVisible());
    QVERIFY(playChannel(1));
}

void TestMainWindow::emptyChannelListLeavesTheWindowUsable()
{
    QVERIFY(start(scenario(true, false, {})));
    QVERIFY(waitForLoad());
    QCOMPARE(child<ChannelList::View>("lwChannelList")->model()->rowCount(), 0);
    m_session->window->nextChannel();
    m_session->window->prevChannel();
    QVERIFY(!m_session->channels->currentChannel());
    QCOMPARE(pages()->currentIndex(), int(MainWindow::LogoPage));
    m_session->window->setMediaPortalMode();
    QCOMPARE(m_session->window->getMode(), MainWindow::MediaPortalMode);
    m_session->window->setIptvMode();
    QCOMPARE(pages()->currentIndex(), int(MainWindow::LogoPage));
}

void TestMainWindow::lastChannelThatIsGoneSelectsNothing()
{
    Settings::instance()->setLastChannel(QStringLiteral("Закрылся навсегда"));
    QVERIFY(start(scenario()));
    QVERIFY(waitForLoad());
    QVERIFY(!m_session->channels->currentChannel());
    QCOMPARE(pages()->currentIndex(), int(MainWindow::LogoPage));
    QVERIFY(!child<StatusBar>("statusBar")->isVisible());
    QVERIFY(playChannel(2));
}

void TestMainWindow::failingStreamIsShownInTheStatusBar()
{
    QJsonObject json = scenario();
    QJsonArray channels = json["channels"].toArray();
    QJsonObject broken = channels[0].toObject();
    broken["stream"] = QJsonObject{{"url", "/no-such-stream/{channel}"}};
    channels[0] = broken;
    json["channels"] = channels;
    QVERIFY(start(json));
    QVERIFY(waitForLoad());
    m_session->channels->setCurrentChannel(m_session->channels->channelAt(0));
    auto* status = child<StatusBar>("statusBar");
    QTRY_VERIFY_WITH_TIMEOUT(status->isVisible(), 20000);
    QCOMPARE(status->text(), QStringLiteral("Error encountered while retrieving data from FTP"));
    // The window stays usable: the next channel plays.
    QVERIFY(playChannel(1));
    QVERIFY(!status->isVisible());
}

void TestMainWindow::closingSendsSettingsThenClosesTheStream()
{
    LogCapture log;
    QVERIFY(start(scenario()));
    QVERIFY(waitForLoad());
    QVERIFY(playChannel(0));
    m_session->window->close();
    QVERIFY(log.waitFor("[MainWindow::onExit] application close"));
    QVERIFY(m_session->emulator->waitForRequests(1));
    QStringList order;
    for (const EmulatorRequest& request : m_session->emulator->requests()) {
        if (request.rpc == "SetStbSettings" || request.rpc == "CloseStream")
            order << request.rpc;
    }
    QCOMPARE(order, (QStringList{"SetStbSettings", "CloseStream"}));
    QCOMPARE(Settings::instance()->lastChannel(), m_session->channels->channelAt(0)->name());
}

void TestMainWindow::sameModeAgainChangesNothing()
{
    QVERIFY(start(scenario()));
    QSignalSpy modes(m_session->window.get(), &MainWindow::modeChanged);
    m_session->window->setMode(MainWindow::IptvMode);
    QCOMPARE(modes.count(), 0);
    m_session->window->setMode(MainWindow::IptvMode, true);
    QCOMPARE(modes.count(), 1);
    m_session->window->setMode(MainWindow::RecordViewMode);
    QCOMPARE(pages()->currentIndex(), int(MainWindow::RecordingsPage));
    QCOMPARE(Settings::instance()->lastMode(), int(MainWindow::RecordViewMode));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
