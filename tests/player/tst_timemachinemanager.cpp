#include "channel.h"
#include "channelmanager.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "telecast.h"
#include "timemachinemanager.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace GuideAnswers;

namespace {

const qint64 kBase = 1699999200;  // a whole hour: telecast 4 starts here
const qint64 kMinute = 60;
// Offsets and where they land from kBase + 20 min, in hourly telecasts 1 to 5:
// -15 in 4 (live), -30, -55 and -70 in 3, -90 and -120 in 2, none in 1 or 5.
const QList<int> kTable{-15, -30, -55, -70, -90, -120};

// A channel with hourly telecasts 1 to 5 around kBase and a timeshift table
// of the given minutes (ids 2, 3, ...), and the manager watching it.
class Timeshift
{
public:
    explicit Timeshift(const QList<int>& minutes, qint64 now = kBase + 20 * kMinute) : clock(now)
    {
        proto::ChannelListResponse list;
        proto::Channel* entry = addChannel(list, 1, "One");
        entry->add_offset(1);
        for (int k = 0; k < minutes.size(); ++k) {
            entry->add_offset(k + 2);
            addTimeOffset(list, k + 2, minutes[k]);
        }
        for (int id = 1; id <= 5; ++id)
            addTelecast(entry, id, kBase + (id - 4) * 3600, kBase + (id - 3) * 3600, "T");
        channel.load(&list, 0, true);
        manager.setNewChannel(&channel);
    }

    // Where the channel stands, as the offset index.
    int select(int index)
    {
        channel.selectOffset(index);
        return channel.offsetIndex();
    }
    int currentId() const
    {
        return channel.currentTelecast() ? channel.currentTelecast()->id() : 0;
    }

    FixedClock clock;
    Channel channel;
    TimeMachineManager manager;
};

using Command = void (TimeMachineManager::*)();

const QList<QPair<const char*, Command>> kCommands{
    {"step back", &TimeMachineManager::setCurrentChannelTimeShiftPrev},
    {"step forward", &TimeMachineManager::setCurrentChannelTimeShiftNext},
    {"next programme", &TimeMachineManager::setCurrentChannelTimeShiftNextProgram},
    {"previous programme", &TimeMachineManager::setCurrentChannelTimeShiftPrevProgram},
    {"back to live", &TimeMachineManager::setCurrentChannelOffTimeShift},
    {"start of programme", &TimeMachineManager::setCurrentChannelTimeShiftStartProgram},
};

// The signals of one command, in order.
class Announcements
{
public:
    explicit Announcements(TimeMachineManager* manager)
    {
        QObject::connect(manager, &TimeMachineManager::updatedData, manager,
                         [this](bool newChannel, time_t real, time_t shifted, int minutes) {
                             log.append(QString("data %1 %2 %3 %4")
                                            .arg(newChannel)
                                            .arg(qint64(real))
                                            .arg(qint64(shifted))
                                            .arg(minutes));
                         });
        QObject::connect(manager, &TimeMachineManager::openNewUrl, manager,
                         [this](const QString& url) { log.append("url " + url); });
    }

    static QString data(qint64 now, int minutes)
    {
        return QString("data 0 %1 %2 %3").arg(now).arg(now + minutes * kMinute).arg(minutes);
    }

    QStringList log;
};

}  // namespace

class TestTimeMachineManager : public QObject
{
    Q_OBJECT
private slots:
    void markersOfTheThreeTelecasts();
    void markersFollowTheSelection();

    void stepBackStopsAtTheLastOffset();
    void stepForwardStopsAtLive();
    void backToLiveRefreshes();
    void startOfProgramme_data();
    void startOfProgramme();
    void previousProgramme_data();
    void previousProgramme();
    void nextProgramme_data();
    void nextProgramme();
    void nextProgrammeWhileLiveWithoutMarkersDoesNothing();
    void previousProgrammeFromALiveTelecastWithoutMarkers();
    void noNextTargetBeyondAnUnmarkedTelecast();
    void telecastEnteredAtItsStopHasNoMarkers();

    void tooFewOffsetsNeverMove();
    void noChannelNoCommand();

    void reselectionKeepsTheOffsetFor30Minutes_data();
    void reselectionKeepsTheOffsetFor30Minutes();
    void timerReportsTheWatchedMoment();
    void withoutChannelTheReportIsNow();
    void followsTheChannelManager();
};

void TestTimeMachineManager::markersOfTheThreeTelecasts()
{
    Timeshift ts(kTable);
    QCOMPARE(ts.channel.liveTelecast()->id(), 4);
    QCOMPARE(ts.currentId(), 4);
    const Telecast::Markers live = ts.channel.currentTelecast()->markers();
    QCOMPARE(live.count, 1);  // one offset: only its last marker stays
    QCOMPARE(live.first, 0);
    QCOMPARE(live.middle, 0);
    QCOMPARE(live.last, -15);
    const Telecast::Markers before = ts.channel.previousTelecast()->markers();
    QCOMPARE(before.count, 3);
    QCOMPARE(before.first, -30);
    QCOMPARE(before.middle, -55);
    QCOMPARE(before.last, -70);
    QCOMPARE(ts.channel.nextTelecast()->markers().count, 0);
    QCOMPARE(ts.channel.nextTelecast()->markers().last, 0);
}

void TestTimeMachineManager::markersFollowTheSelection()
{
    Timeshift ts(kTable);
    ts.manager.setCurrentChannelTimeShiftPrev();
    ts.manager.setCurrentChannelTimeShiftPrev();
    QCOMPARE(ts.currentId(), 3);
    const Telecast::Markers before = ts.channel.previousTelecast()->markers();
    QCOMPARE(before.count, 2);
    QCOMPARE(before.first, -90);
    QCOMPARE(before.middle, 0);
    QCOMPARE(before.last, -120);
    QCOMPARE(ts.channel.nextTelecast()->id(), 4);
    QCOMPARE(ts.channel.nextTelecast()->markers().last, -15);
}

void TestTimeMachineManager::stepBackStopsAtTheLastOffset()
{
    Timeshift ts(kTable);
    Announcements said(&ts.manager);
    QStringList expected;
    for (const int minutes : kTable + QList<int>{-120}) {
        ts.manager.setCurrentChannelTimeShiftPrev();
        QCOMPARE(ts.channel.currentOffsetMinutes(), minutes);
        expected << Announcements::data(ts.clock.now(), minutes) << "url ";
    }
    QCOMPARE(ts.channel.offsetIndex(), 5);
    QCOMPARE(said.log, expected);
}

void TestTimeMachineManager::stepForwardStopsAtLive()
{
    Timeshift ts(kTable);
    ts.select(2);
    Announcements said(&ts.manager);
    for (const int index : {1, 0, -1, -1}) {
        ts.manager.setCurrentChannelTimeShiftNext();
        QCOMPARE(ts.channel.offsetIndex(), index);
    }
    QCOMPARE(said.log.size(), 8);
    QCOMPARE(said.log.last(), "url ");
    QCOMPARE(said.log.at(6), Announcements::data(ts.clock.now(), 0));
}

void TestTimeMachineManager::backToLiveRefreshes()
{
    Timeshift ts(kTable);
    ts.select(3);
    ts.clock.advance(100);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelOffTimeShift();
    QVERIFY(ts.channel.isLive());
    QCOMPARE(ts.channel.refreshTime(), ts.clock.now());
    QCOMPARE(said.log, QStringList({Announcements::data(ts.clock.now(), 0), "url "}));
}

void TestTimeMachineManager::startOfProgramme_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::newRow("live: the one offset in the running telecast") << -1 << 0;
    QTest::newRow("-30: back to -70") << 1 << 3;
    QTest::newRow("-90: back to -120") << 4 << 5;
    QTest::newRow("already at the start") << 5 << 5;
}

void TestTimeMachineManager::startOfProgramme()
{
    QFETCH(int, from);
    QFETCH(int, to);
    Timeshift ts(kTable);
    ts.select(from);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelTimeShiftStartProgram();
    QCOMPARE(ts.channel.offsetIndex(), to);
    QCOMPARE(said.log.size(), 2);
}

void TestTimeMachineManager::previousProgramme_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");  // -2: nothing happens
    QTest::newRow("live: start of the running telecast") << -1 << 0;
    QTest::newRow("at its start: start of the one before") << 0 << 3;
    QTest::newRow("inside: start of the running one") << 1 << 3;
    QTest::newRow("at -70: start of telecast 2") << 3 << 5;
    QTest::newRow("nothing before telecast 2 can be reached") << 5 << -2;
}

void TestTimeMachineManager::previousProgramme()
{
    QFETCH(int, from);
    QFETCH(int, to);
    Timeshift ts(kTable);
    ts.select(from);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelTimeShiftPrevProgram();
    QCOMPARE(ts.channel.offsetIndex(), to == -2 ? from : to);
    QCOMPARE(said.log.size(), to == -2 ? 0 : 2);
}

void TestTimeMachineManager::nextProgramme_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");  // -2: nothing happens
    QTest::newRow("-120: start of telecast 3") << 5 << 3;
    QTest::newRow("-90: start of telecast 3") << 4 << 3;
    QTest::newRow("-70: start of the live telecast") << 3 << 0;
    QTest::newRow("-30: start of the live telecast") << 1 << 0;
    QTest::newRow("inside the live telecast: back to live") << 0 << -1;
    QTest::newRow("live already") << -1 << -2;
}

void TestTimeMachineManager::nextProgramme()
{
    QFETCH(int, from);
    QFETCH(int, to);
    Timeshift ts(kTable);
    ts.select(from);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelTimeShiftNextProgram();
    QCOMPARE(ts.channel.offsetIndex(), to == -2 ? from : to);
    QCOMPARE(said.log.size(), to == -2 ? 0 : 2);
}

void TestTimeMachineManager::nextProgrammeWhileLiveWithoutMarkersDoesNothing()
{
    Timeshift ts(kTable, kBase + 5 * kMinute);  // -15 already lands in telecast 3
    QCOMPARE(ts.channel.currentTelecast()->markers().last, 0);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelTimeShiftNextProgram();
    QVERIFY(ts.channel.isLive());
    QVERIFY(said.log.isEmpty());
}

void TestTimeMachineManager::previousProgrammeFromALiveTelecastWithoutMarkers()
{
    Timeshift ts(kTable, kBase + 5 * kMinute);  // telecast 3 holds -15, -30 and -55
    ts.manager.setCurrentChannelTimeShiftPrevProgram();
    QCOMPARE(ts.channel.currentOffsetMinutes(), -55);
}

void TestTimeMachineManager::noNextTargetBeyondAnUnmarkedTelecast()
{
    Timeshift ts({-15, -150});  // nothing lands in telecasts 2 and 3
    ts.select(1);
    QCOMPARE(ts.currentId(), 1);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelTimeShiftNextProgram();
    ts.select(0);
    ts.manager.setCurrentChannelTimeShiftPrevProgram();
    QCOMPARE(ts.channel.offsetIndex(), 0);
    QVERIFY(said.log.isEmpty());
}

void TestTimeMachineManager::telecastEnteredAtItsStopHasNoMarkers()
{
    // -20 lands exactly on kBase: the lookup takes telecast 3, which ends
    // there, but an offset at a telecast's stop is not inside it.
    Timeshift ts({-20, -90});
    ts.select(0);
    QCOMPARE(ts.currentId(), 3);
    QCOMPARE(ts.channel.currentTelecast()->markers().count, 0);
    Announcements said(&ts.manager);
    ts.manager.setCurrentChannelTimeShiftPrevProgram();
    ts.manager.setCurrentChannelTimeShiftNextProgram();
    QCOMPARE(ts.channel.offsetIndex(), 0);
    QVERIFY(said.log.isEmpty());
    ts.manager.setCurrentChannelTimeShiftStartProgram();  // carried out, nothing to move to
    QCOMPARE(ts.channel.offsetIndex(), 0);
    QCOMPARE(said.log.size(), 2);
}

void TestTimeMachineManager::tooFewOffsetsNeverMove()
{
    Timeshift ts({-60});  // offset ids [1, 2]: no timeshift
    QVERIFY(!ts.channel.hasTimeOffsets());
    Announcements said(&ts.manager);
    for (const auto& [name, command] : kCommands) {
        (ts.manager.*command)();
        QVERIFY2(ts.channel.isLive(), name);
    }
    // Only back-to-live is carried out without a table.
    QCOMPARE(said.log, QStringList({Announcements::data(ts.clock.now(), 0), "url "}));
}

void TestTimeMachineManager::noChannelNoCommand()
{
    FixedClock clock(kBase);
    TimeMachineManager manager;
    Announcements said(&manager);
    for (const auto& [name, command] : kCommands)
        (manager.*command)();
    QVERIFY(said.log.isEmpty());
}

void TestTimeMachineManager::reselectionKeepsTheOffsetFor30Minutes_data()
{
    QTest::addColumn<int>("away");
    QTest::addColumn<int>("index");
    QTest::newRow("1800 s") << 1800 << 2;
    QTest::newRow("1801 s") << 1801 << -1;
}

void TestTimeMachineManager::reselectionKeepsTheOffsetFor30Minutes()
{
    QFETCH(int, away);
    QFETCH(int, index);
    Timeshift ts(kTable);
    for (int i = 0; i < 3; ++i)
        ts.manager.setCurrentChannelTimeShiftPrev();
    ts.manager.setNewChannel(nullptr);
    ts.clock.advance(away);
    QSignalSpy data(&ts.manager, &TimeMachineManager::updatedData);
    ts.manager.setNewChannel(&ts.channel);
    QCOMPARE(ts.channel.offsetIndex(), index);
    QCOMPARE(data.size(), 1);
    const QList<QVariant> report = data.takeFirst();
    QCOMPARE(report.at(0).toBool(), true);
    QCOMPARE(report.at(1).toLongLong(), ts.clock.now());
    QCOMPARE(report.at(2).toLongLong(), ts.clock.now() + ts.channel.currentOffsetMinutes() * 60);
}

void TestTimeMachineManager::timerReportsTheWatchedMoment()
{
    Timeshift ts(kTable);
    ts.manager.setCurrentChannelTimeShiftPrev();
    ts.manager.setCurrentChannelTimeShiftPrev();
    ts.clock.advance(7);
    QSignalSpy data(&ts.manager, &TimeMachineManager::updatedData);
    QVERIFY(data.wait(2 * TimeMachineManager::kRefreshMs + 500));
    const QList<QVariant> report = data.takeFirst();
    QCOMPARE(report.at(0).toBool(), false);
    QCOMPARE(report.at(1).toLongLong(), ts.clock.now());
    QCOMPARE(report.at(2).toLongLong(), ts.clock.now() - 30 * kMinute);
    QCOMPARE(report.at(3).toInt(), -30);
    QCOMPARE(ts.channel.refreshTime(), ts.clock.now());
    QCOMPARE(ts.manager.lastShiftedTime(), ts.clock.now() - 30 * kMinute);
}

void TestTimeMachineManager::withoutChannelTheReportIsNow()
{
    FixedClock clock(kBase);
    TimeMachineManager manager;
    QSignalSpy data(&manager, &TimeMachineManager::updatedData);
    manager.onTimerCurrentTime();
    QCOMPARE(data.size(), 1);
    QCOMPARE(data.at(0), QList<QVariant>({false, QVariant::fromValue(time_t(kBase)),
                                          QVariant::fromValue(time_t(kBase)), 0}));
}

void TestTimeMachineManager::followsTheChannelManager()
{
    Timeshift ts(kTable);
    ts.manager.setNewChannel(nullptr);
    ChannelManager first;
    ChannelManager second;
    ts.manager.setChannelManager(&first);
    first.setCurrentChannel(&ts.channel);
    QCOMPARE(ts.manager.channel(), &ts.channel);
    ts.manager.setChannelManager(&second);
    first.setCurrentChannel(nullptr);
    QCOMPARE(ts.manager.channel(), &ts.channel);
    second.setCurrentChannel(nullptr);
    QCOMPARE(ts.manager.channel(), nullptr);
}

QTEST_MAIN(TestTimeMachineManager)
#include "tst_timemachinemanager.moc"
