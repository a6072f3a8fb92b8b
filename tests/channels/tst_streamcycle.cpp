#include "channel.h"
#include "channelmanager.h"
#include "emulatorprocess.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const int kLoginTimeoutMs = 30000;

// The player's session and channel list logged in to an emulated operator.
class Session
{
public:
    bool start(QJsonObject scenario)
    {
        scenario["updateInterval"] = 1;
        if (!emulator.start(scenario))
            return false;
        Settings::instance()->setServer(emulator.host());
        server.init();
        server.setMac("02:00:00:00:00:01");
        channels.setServerManager(&server);
        QSignalSpy loaded(&channels, &ChannelManager::loadFinished);
        server.authorize();
        return loaded.wait(kLoginTimeoutMs) && channels.channelCount() > 0;
    }

    QStringList rpcs()
    {
        QStringList names;
        for (const EmulatorRequest& request : emulator.requests())
            names.append(request.rpc);
        return names;
    }

    // A request of its own: the session sends one request at a time in the
    // order issued, so once the fence has arrived every request issued before
    // it has arrived too.
    void issueFence() { server.loadUserChannelList(false, false); }
    bool waitForFence()
    {
        return QTest::qWaitFor([this] { return !emulator.requests("GetUserChannel").isEmpty(); },
                               10000);
    }

    TemporaryProfile profile;
    EmulatorProcess emulator;
    TTVServerManager server;
    ChannelManager channels;
};

QString streamIdField(int id)
{
    return QString("stream_id: %1").arg(id);
}

}  // namespace

class TestStreamCycle : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void playOpensTheStreamAndKeepsItAlive();
    void playingAgainClosesAndOpensWithTheSelectedOffset();
    void closedStreamIsNeitherKeptAliveNorClosedAgain();
    void keepAliveIsSkippedWhileARequestIsInFlight();

private:
    std::unique_ptr<Session> m_session;
};

void TestStreamCycle::init()
{
    m_session = std::make_unique<Session>();
}

void TestStreamCycle::cleanup()
{
    m_session.reset();
    Settings::destroy();
}

void TestStreamCycle::playOpensTheStreamAndKeepsItAlive()
{
    Session& s = *m_session;
    // The first keep-alive fails; the next ones must still go out.
    QJsonObject scenario = EmulatorProcess::shippedScenario("demo");
    scenario["faults"] =
        QJsonObject{{"UpdateStream", QJsonObject{{"body", "garbage"}, {"times", 1}}}};
    QVERIFY(s.start(scenario));
    s.emulator.clearRequests();
    Channel* channel = s.channels.channelAt(0);
    s.channels.setCurrentChannel(channel);
    QSignalSpy urls(&s.channels, &ChannelManager::getCurrentChannelUrl);

    s.channels.PlayCurrentChannel();
    QVERIFY(s.channels.isStreamOpen());
    QVERIFY(urls.wait(10000));
    QElapsedTimer sinceOpen;
    sinceOpen.start();
    QCOMPARE(s.rpcs(), QStringList{"OpenStream"});  // nothing to close before
    const QString open = s.emulator.requests("OpenStream").at(0).message;
    QVERIFY2(open.contains(QString("channel_id: %1 ").arg(channel->id())), qPrintable(open));
    QVERIFY2(open.contains("offset_id: 1 "), qPrintable(open));
    const QString url = urls.at(0).at(0).toString();
    QVERIFY2(url.startsWith("http://" + s.emulator.host() + "/"), qPrintable(url));
    QVERIFY(s.channels.streamId() != -1);
    QCOMPARE(s.channels.keepAliveInterval(), 1000);

    QTRY_VERIFY_WITH_TIMEOUT(s.emulator.requests("UpdateStream").size() >= 2, 10000);
    QVERIFY(sinceOpen.elapsed() >= 1800);
    for (const EmulatorRequest& update : s.emulator.requests("UpdateStream"))
        QVERIFY2(update.message.contains(streamIdField(s.channels.streamId())),
                 qPrintable(update.message));
}

void TestStreamCycle::playingAgainClosesAndOpensWithTheSelectedOffset()
{
    Session& s = *m_session;
    QVERIFY(s.start(EmulatorProcess::shippedScenario("demo")));
    Channel* channel = s.channels.channelAt(0);
    QVERIFY(channel->hasTimeOffsets());
    s.channels.setCurrentChannel(channel);
    QSignalSpy urls(&s.channels, &ChannelManager::getCurrentChannelUrl);
    s.channels.PlayCurrentChannel();
    QVERIFY(urls.wait(10000));
    const int firstStream = s.channels.streamId();

    channel->selectOffset(2);
    s.emulator.clearRequests();
    s.channels.PlayCurrentChannel();
    QVERIFY(urls.wait(10000));
    const QList<EmulatorRequest> requests = s.emulator.requests();
    QVERIFY(requests.size() >= 2);
    QCOMPARE(requests.at(0).rpc, "CloseStream");
    QVERIFY(requests.at(0).message.contains(streamIdField(firstStream)));
    QCOMPARE(requests.at(1).rpc, "OpenStream");
    QVERIFY2(requests.at(1).message.contains(
                 QString("offset_id: %1 ").arg(channel->timeOffsets().at(2).id)),
             qPrintable(requests.at(1).message));
    QVERIFY(s.channels.isStreamOpen());
}

void TestStreamCycle::closedStreamIsNeitherKeptAliveNorClosedAgain()
{
    Session& s = *m_session;
    QVERIFY(s.start(EmulatorProcess::shippedScenario("demo")));
    s.channels.setCurrentChannel(s.channels.channelAt(1));
    QSignalSpy urls(&s.channels, &ChannelManager::getCurrentChannelUrl);
    s.channels.PlayCurrentChannel();
    QVERIFY(urls.wait(10000));
    QTRY_VERIFY_WITH_TIMEOUT(!s.emulator.requests("UpdateStream").isEmpty(), 10000);

    s.channels.CloseStream();
    QVERIFY(!s.channels.isStreamOpen());
    QVERIFY(QMetaObject::invokeMethod(&s.channels, "onUpdateStreamTimer"));
    s.issueFence();
    QVERIFY(s.waitForFence());
    const QStringList rpcs = s.rpcs();
    const qsizetype closed = rpcs.lastIndexOf("CloseStream");
    QVERIFY(closed >= 0);
    QVERIFY(
        s.emulator.requests().at(closed).message.contains(streamIdField(s.channels.streamId())));
    QCOMPARE(rpcs.lastIndexOf("UpdateStream") < closed, true);

    // The stream id stays from the last open, yet a closed stream is not
    // closed again.
    s.emulator.clearRequests();
    s.channels.PlayCurrentChannel();
    QVERIFY(urls.wait(10000));
    QCOMPARE(s.rpcs(), QStringList{"OpenStream"});
}

void TestStreamCycle::keepAliveIsSkippedWhileARequestIsInFlight()
{
    Session& s = *m_session;
    QJsonObject scenario = EmulatorProcess::shippedScenario("demo");
    scenario["faults"] = QJsonObject{{"UpdateStream", QJsonObject{{"delay", 3500}, {"times", 1}}}};
    QVERIFY(s.start(scenario));
    s.channels.setCurrentChannel(s.channels.channelAt(0));
    QSignalSpy urls(&s.channels, &ChannelManager::getCurrentChannelUrl);
    s.channels.PlayCurrentChannel();
    QVERIFY(urls.wait(10000));

    // While the slow keep-alive is answered the timer fires three times; had
    // those ticks sent requests, they would reach the emulator before the
    // fence issued the moment the answer is in.
    QObject::connect(&s.server, &TTVServerManager::UpdateStreamCompleted, &s.server,
                     [&s] { s.issueFence(); });
    QVERIFY(s.waitForFence());
    QCOMPARE(s.emulator.requests("UpdateStream").size(), 1);
}

QTEST_MAIN(TestStreamCycle)
#include "tst_streamcycle.moc"
