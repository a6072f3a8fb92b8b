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
    void backToLiveRefreshes();
    void programmeCommands_data();
    void programmeCommands();

    void tooFewOffsetsNeverMove();
    void noChannelNoCommand();

    void reselectionKeepsTheOffsetFor30Minutes_data();
    void reselectionKeepsTheOffsetFor30Minutes();
    void timerReportsTheWatchedMoment();
    void withoutChannelTheReportIsNow();
    void followsTheChannelManager();
};

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

void TestTimeMachineManager::programmeCommands_data()
{
    QTest::addColumn<QList<int>>("minutes");
    QTest::addColumn<int>("now");  // minutes after kBase
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("to");  // -2: nothing is carried out
    const auto row = [](const char* name, const char* command, int from, int to,
                        const QList<int>& minutes = kTable, int now = 20) {
        QTest::newRow(name) << minutes << now << from << QString(command) << to;
    };
    row("step back: live to -15", "step back", -1, 0);
    row("step back: stops at the last offset", "step back", 5, 5);
    row("step forward: -30 to -15", "step forward", 1, 0);
    row("step forward: -15 to live", "step forward", 0, -1);
    row("step forward: stops at live", "step forward", -1, -1);
    row("start: live, the one offset in the running telecast", "start of programme", -1, 0);
    row("start: -30 back to -70", "start of programme", 1, 3);
    row("start: -90 back to -120", "start of programme", 4, 5);
    row("start: already at the start", "start of programme", 5, 5);
    row("previous: live, start of the running telecast", "previous programme", -1, 0);
    row("previous: at its start, start of the one before", "previous programme", 0, 3);
    row("previous: inside, start of the running one", "previous programme", 1, 3);
    row("previous: at -70, start of telecast 2", "previous programme", 3, 5);
    row("previous: nothing before telecast 2 can be reached", "previous programme", 5, -2);
    row("next: -120, start of telecast 3", "next programme", 5, 3);
    row("next: -90, start of telecast 3", "next programme", 4, 3);
    row("next: -70, start of the live telecast", "next programme", 3, 0);
    row("next: -30, start of the live telecast", "next programme", 1, 0);
    row("next: inside the live telecast, back to live", "next programme", 0, -1);
    row("next: live already", "next programme", -1, -2);
    // At kBase + 5 min even -15 lands in telecast 3: the live one has no markers.
    row("next: live without markers", "next programme", -1, -2, kTable, 5);
    row("previous: live without markers, to -55", "previous programme", -1, 2, kTable, 5);
    // Nothing lands in telecasts 2 and 3.
    row("next: beyond an unmarked telecast", "next programme", 1, -2, {-15, -150});
    row("previous: before an unmarked telecast", "previous programme", 0, -2, {-15, -150});
    // -20 lands exactly on kBase, the stop of telecast 3: not inside it.
    row("previous: entered at its stop", "previous programme", 0, -2, {-20, -90});
    row("next: entered at its stop", "next programme", 0, -2, {-20, -90});
    row("start: entered at its stop, nothing to move to", "start of programme", 0, 0, {-20, -90});
}

void TestTimeMachineManager::programmeCommands()
{
    QFETCH(QList<int>, minutes);
    QFETCH(int, now);
    QFETCH(int, from);
    QFETCH(QString, command);
    QFETCH(int, to);
    Timeshift ts(minutes, kBase + now * kMinute);
    QCOMPARE(ts.select(from), from);
    Announcements said(&ts.manager);
    const auto found = std::find_if(kCommands.cbegin(), kCommands.cend(),
                                    [&](const auto& entry) { return command == entry.first; });
    QVERIFY(found != kCommands.cend());
    (ts.manager.*found->second)();
    QCOMPARE(ts.channel.offsetIndex(), to == -2 ? from : to);
    const QStringList announced{
        Announcements::data(ts.clock.now(), ts.channel.currentOffsetMinutes()), "url "};
    QCOMPARE(said.log, to == -2 ? QStringList() : announced);
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
