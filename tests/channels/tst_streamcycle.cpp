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
const int kOneHour = 3600;  // no keep-alive of the timer's own during a test

// The player's session and channel list logged in to an emulated operator.
class Session
{
public:
    // keepAliveSeconds: the period the operator asks for the keep-alives.
    bool start(QJsonObject scenario, int keepAliveSeconds)
    {
        scenario["updateInterval"] = keepAliveSeconds;
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

    bool play(Channel* channel)
    {
        QSignalSpy urls(&channels, &ChannelManager::getCurrentChannelUrl);
        channels.setCurrentChannel(channel);
        channels.PlayCurrentChannel();
        return urls.wait(10000);
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
    void keepAliveIsSkippedWhileBusyAndEndsWithTheStream();

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
    QVERIFY(s.start(scenario, 1));
    s.emulator.clearRequests();
    QVERIFY(s.play(s.channels.channelAt(0)));
    QElapsedTimer sinceOpen;
    sinceOpen.start();
    QCOMPARE(s.rpcs(), QStringList{"OpenStream"});  // nothing to close before
    QCOMPARE(s.channels.keepAliveInterval(), 1000);

    QTRY_VERIFY_WITH_TIMEOUT(s.emulator.requests("UpdateStream").size() >= 2, 10000);
    QVERIFY(sinceOpen.elapsed() >= 1800);  // paced by the timer, not sent at once
    for (const EmulatorRequest& update : s.emulator.requests("UpdateStream"))
        QVERIFY2(update.message.contains(streamIdField(s.channels.streamId())),
                 qPrintable(update.message));
}

void TestStreamCycle::playingAgainClosesAndOpensWithTheSelectedOffset()
{
    Session& s = *m_session;
    QVERIFY(s.start(EmulatorProcess::shippedScenario("demo"), kOneHour));
    Channel* channel = s.channels.channelAt(0);
    QVERIFY(channel->hasTimeOffsets());
    QVERIFY(s.play(channel));
    const int firstStream = s.channels.streamId();

    channel->selectOffset(2);
    s.emulator.clearRequests();
    QVERIFY(s.play(channel));
    const QList<EmulatorRequest> requests = s.emulator.requests();
    QCOMPARE(s.rpcs(), QStringList({"CloseStream", "OpenStream"}));
    QVERIFY(requests.at(0).message.contains(streamIdField(firstStream)));
    const QString open = requests.at(1).message;
    QVERIFY2(open.contains(QString("channel_id: %1 ").arg(channel->id())), qPrintable(open));
    QVERIFY2(open.contains(QString("offset_id: %1 ").arg(channel->timeOffsets().at(2).id)),
             qPrintable(open));
}

void TestStreamCycle::keepAliveIsSkippedWhileBusyAndEndsWithTheStream()
{
    Session& s = *m_session;
    QVERIFY(s.start(EmulatorProcess::shippedScenario("demo"), kOneHour));
    QVERIFY(s.play(s.channels.channelAt(1)));
    const int stream = s.channels.streamId();
    s.emulator.clearRequests();

    // Two ticks in a row: the first keep-alive is still in flight at the
    // second, which is skipped rather than queued.
    const auto tick = [&s] {
        return QMetaObject::invokeMethod(&s.channels, "onUpdateStreamTimer");
    };
    QVERIFY(tick());
    QVERIFY(tick());
    QSignalSpy closed(&s.server, &TTVServerManager::CloseStreamCompleted);
    s.channels.CloseStream();
    QVERIFY(!s.channels.isStreamOpen());
    QVERIFY(closed.wait(10000));
    QVERIFY(tick());  // nothing in flight now, and still no keep-alive
    s.issueFence();
    QVERIFY(s.waitForFence());
    QCOMPARE(s.rpcs(), QStringList({"UpdateStream", "CloseStream", "GetUserChannel"}));
    QVERIFY(s.emulator.requests("CloseStream").at(0).message.contains(streamIdField(stream)));

    // The stream id stays from the last open, yet a closed stream is not
    // closed again.
    s.emulator.clearRequests();
    QVERIFY(s.play(s.channels.channelAt(1)));
    QCOMPARE(s.rpcs(), QStringList{"OpenStream"});
}

QTEST_MAIN(TestStreamCycle)
#include "tst_streamcycle.moc"
