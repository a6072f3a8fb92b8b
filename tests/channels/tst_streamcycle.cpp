// The channel manager's stream cycle against an emulated operator: open,
// keep-alive at the server's pace, close.

#include "channel.h"
#include "channelmanager.h"
#include "emulatorprocess.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

// The player's session and channel list logged in to an emulated operator.
class Session
{
public:
    // keepAliveSeconds: the period the operator asks for the keep-alives; an
    // hour leaves the timer silent during a test.
    bool start(int keepAliveSeconds = 3600, const QJsonObject& faults = {})
    {
        QJsonObject scenario = EmulatorProcess::shippedScenario("demo");
        scenario["updateInterval"] = keepAliveSeconds;
        scenario["faults"] = faults;
        if (!emulator.start(scenario))
            return false;
        Settings::instance()->setServer(emulator.host());
        server.init();
        server.setMac("02:00:00:00:00:01");
        channels.setServerManager(&server);
        QSignalSpy loaded(&channels, &ChannelManager::loadFinished);
        server.authorize();
        return loaded.wait(30000) && channels.channelCount() > 1;
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

    // Whether the rpc's index-th request holds the text; the request if not.
    bool sent(const QString& rpc, int index, const QString& text)
    {
        const QString message = emulator.requests(rpc).value(index).message;
        if (!message.contains(text))
            qWarning("%s %d: %s", qPrintable(rpc), index, qPrintable(message));
        return message.contains(text);
    }

    TemporaryProfile profile;
    EmulatorProcess emulator;
    TTVServerManager server;
    ChannelManager channels;
};

}  // namespace

class TestStreamCycle : public QObject
{
    Q_OBJECT
    std::unique_ptr<Session> m_session;

private slots:
    void init() { m_session = std::make_unique<Session>(); }
    void cleanup()
    {
        m_session.reset();
        Settings::destroy();
    }

    void keepAliveOutlivesAFailureAtTheServersPace()
    {
        Session& s = *m_session;
        QVERIFY(s.start(1, {{"UpdateStream", QJsonObject{{"body", "garbage"}, {"times", 1}}}}));
        s.emulator.clearRequests();
        QSignalSpy kept(&s.server, &TTVServerManager::UpdateStreamCompleted);
        QVERIFY(s.play(s.channels.channelAt(0)));
        QElapsedTimer sinceOpen;
        sinceOpen.start();
        QCOMPARE(s.rpcs(), QStringList{"OpenStream"});  // nothing to close before

        // The first keep-alive that succeeds is the second sent: the first failed.
        QVERIFY(kept.wait(10000));
        QCOMPARE(s.emulator.requests("UpdateStream").size(), 2);
        QVERIFY(sinceOpen.elapsed() >= 1800);  // paced by the timer, not sent at once
        const QString stream = QString("stream_id: %1").arg(s.channels.streamId());
        QVERIFY(s.sent("UpdateStream", 0, stream) && s.sent("UpdateStream", 1, stream));
    }

    void replayWithAnOffsetThenKeepAliveSkippedWhileBusyAndEnded()
    {
        Session& s = *m_session;
        QVERIFY(s.start());
        Channel* channel = s.channels.channelAt(0);
        QVERIFY(channel->hasTimeOffsets());
        QVERIFY(s.play(channel));
        const int firstStream = s.channels.streamId();

        channel->selectOffset(2);
        s.emulator.clearRequests();
        QVERIFY(s.play(channel));
        QCOMPARE(s.rpcs(), QStringList({"CloseStream", "OpenStream"}));
        QVERIFY(s.sent("CloseStream", 0, QString("stream_id: %1").arg(firstStream)));
        QVERIFY(s.sent("OpenStream", 0, QString("channel_id: %1 ").arg(channel->id())));
        QVERIFY(
            s.sent("OpenStream", 0, QString("offset_id: %1 ").arg(channel->timeOffsets()[2].id)));
        const int stream = s.channels.streamId();
        s.emulator.clearRequests();

        // Two ticks in a row: the first keep-alive is still in flight at the
        // second, which is skipped rather than queued.
        const auto tick = [&s] {
            return QMetaObject::invokeMethod(&s.channels, "onUpdateStreamTimer");
        };
        QVERIFY(tick());
        QVERIFY(s.server.isBusy());
        QVERIFY(tick());
        QSignalSpy closed(&s.server, &TTVServerManager::CloseStreamCompleted);
        s.channels.CloseStream();
        QVERIFY(!s.channels.isStreamOpen());
        QVERIFY(closed.wait(10000));
        QVERIFY(!s.server.isBusy());
        QVERIFY(tick());  // nothing in flight now, and still no keep-alive
        // The session sends one request at a time in the order issued: once this
        // one has arrived, whatever the tick sent has arrived too.
        s.server.loadUserChannelList(false, false);
        QTRY_VERIFY_WITH_TIMEOUT(!s.emulator.requests("GetUserChannel").isEmpty(), 10000);
        QCOMPARE(s.rpcs(), QStringList({"UpdateStream", "CloseStream", "GetUserChannel"}));
        QVERIFY(s.sent("CloseStream", 0, QString("stream_id: %1").arg(stream)));

        // The stream id stays from the last open, yet a closed stream is not
        // closed again.
        s.emulator.clearRequests();
        QVERIFY(s.play(channel));
        QCOMPARE(s.rpcs(), QStringList{"OpenStream"});
    }
};

QTEST_MAIN(TestStreamCycle)
#include "tst_streamcycle.moc"
