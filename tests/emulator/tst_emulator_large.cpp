// The shipped large scenario, as benchmarks of the player will load it.

#include <QTest>

#include "channel.pb.h"
#include "emulatorprocess.h"
#include "rpcclient.h"

class TestEmulatorLarge : public QObject
{
    Q_OBJECT

private slots:
    void fiveHundredChannelsWithAWeekOfHalfHours();
};

void TestEmulatorLarge::fiveHundredChannelsWithAWeekOfHalfHours()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.start("large"));
    RpcClient client(emulator.host());
    const QString token = client.authorize();
    QVERIFY(!token.isEmpty());

    proto::ChannelListRequest request;
    request.set_auth(token.toStdString());
    request.set_need_icons(true);
    request.set_need_epg(true);
    request.set_need_offsets(true);
    const HttpAnswer answer = client.call("GetChannels", request);
    proto::ChannelListResponse response;
    QVERIFY(answer.parse(&response));
    qInfo("GetChannels: %lld bytes in %lld ms", qlonglong(answer.body.size()), answer.elapsedMs);

    QCOMPARE(response.list_size(), 500);
    int telecasts = 0;
    int closed = 0;
    for (const proto::Channel& channel : response.list()) {
        telecasts += channel.epg_size();
        closed += channel.available() ? 0 : 1;
        QCOMPARE(channel.epg_size(), 7 * 48);
        QCOMPARE(channel.epg(channel.epg_size() - 1).time_stop() - channel.epg(0).time_start(),
                 7 * 86400);
        QVERIFY(channel.has_icon());
        QCOMPARE(channel.offset_size(), 8);
    }
    QCOMPARE(telecasts, 168000);
    QCOMPARE(closed, 10);
    QCOMPARE(response.offsets_size(), 14);
    QCOMPARE(QString::fromStdString(response.list(499).name()), QString("Канал 500"));
}

QTEST_GUILESS_MAIN(TestEmulatorLarge)
#include "tst_emulator_large.moc"
