#include "../support/tablerows.h"
#include "channel.h"
#include "channelmanager.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "telecast.h"
#include "timemachinemanager.h"

#include <QSignalSpy>
#include <QTest>

using namespace GuideAnswers;

namespace {

const qint64 kBase = 1699999200;  // a whole hour: telecast 4 starts here
const qint64 kMinute = 60;
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

    FixedClock clock;
    Channel channel;
    TimeMachineManager manager;
};

using Command = void (TimeMachineManager::*)();

const QMap<QString, Command> kCommands{
    {"step back", &TimeMachineManager::setCurrentChannelTimeShiftPrev},
    {"step forward", &TimeMachineManager::setCurrentChannelTimeShiftNext},
    {"next programme", &TimeMachineManager::setCurrentChannelTimeShiftNextProgram},
    {"previous programme", &TimeMachineManager::setCurrentChannelTimeShiftPrevProgram},
    {"back to live", &TimeMachineManager::setCurrentChannelOffTimeShift},
    {"start of programme", &TimeMachineManager::setCurrentChannelTimeShiftStartProgram},
};

// The signals of the manager, in order.
class Announcements
{
public:
    explicit Announcements(TimeMachineManager* manager)
    {
        QObject::connect(manager, &TimeMachineManager::updatedData, manager,
                         [this](bool newChannel, time_t real, time_t shifted, int minutes) {
                             log << data(newChannel, real, shifted, minutes);
                         });
        QObject::connect(manager, &TimeMachineManager::openNewUrl, manager,
                         [this](const QString& url) { log << "url " + url; });
    }

    static QString data(bool newChannel, qint64 real, qint64 shifted, int minutes)
    {
        return QString("data %1 %2 %3 %4").arg(newChannel).arg(real).arg(shifted).arg(minutes);
    }
    // What a carried-out command announces.
    static QStringList moved(qint64 now, int minutes, bool newChannel = false)
    {
        return {data(newChannel, now, now + minutes * kMinute, minutes), "url "};
    }

    QStringList log;
};

}  // namespace

class TestTimeMachineManager : public QObject
{
    Q_OBJECT
private slots:
    void commands_data() { addTableRows(QFINDTESTDATA("../data/player/timeshift-commands.txt")); }
    void commands();
    void noChannelNoCommand();
    void reselectionKeepsTheOffsetFor30Minutes();
    void timerAndBackToLiveRefreshTheChannel();
    void followsTheChannelManager();
};

void TestTimeMachineManager::commands()
{
    QFETCH(QString, command);
    QFETCH(QString, minutes);
    QFETCH(QString, now);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QList<int> table;
    for (const QString& offset : minutes.split(' '))
        table << offset.toInt();
    Timeshift ts(table, kBase + now.toInt() * kMinute);
    ts.channel.selectOffset(from.toInt());
    QCOMPARE(ts.channel.offsetIndex(), from.toInt());
    Announcements said(&ts.manager);
    QVERIFY(kCommands.contains(command));
    (ts.manager.*kCommands[command])();
    const bool moves = to != "-2";
    QCOMPARE(ts.channel.offsetIndex(), moves ? to.toInt() : from.toInt());
    QCOMPARE(said.log, moves
                           ? Announcements::moved(ts.clock.now(), ts.channel.currentOffsetMinutes())
                           : QStringList());
}

void TestTimeMachineManager::noChannelNoCommand()
{
    FixedClock clock(kBase);
    TimeMachineManager manager;
    Announcements said(&manager);
    for (const Command command : kCommands)
        (manager.*command)();
    QVERIFY(said.log.isEmpty());
    // The timer then reports the present moment.
    manager.onTimerCurrentTime();
    QCOMPARE(said.log, QStringList{QString("data 0 %1 %1 0").arg(kBase)});
}

void TestTimeMachineManager::reselectionKeepsTheOffsetFor30Minutes()
{
    for (const auto& [away, index] : {std::pair{1800, 2}, {1801, -1}}) {
        Timeshift ts(kTable);
        ts.channel.selectOffset(2);
        ts.manager.setNewChannel(nullptr);
        ts.clock.advance(away);
        Announcements said(&ts.manager);
        ts.manager.setNewChannel(&ts.channel);
        QCOMPARE(ts.channel.offsetIndex(), index);
        QCOMPARE(said.log,
                 Announcements::moved(ts.clock.now(), ts.channel.currentOffsetMinutes(), true)
                     .mid(0, 1));
    }
}

void TestTimeMachineManager::timerAndBackToLiveRefreshTheChannel()
{
    Timeshift ts(kTable);
    ts.manager.setCurrentChannelTimeShiftPrev();
    ts.manager.setCurrentChannelTimeShiftPrev();
    ts.clock.advance(7);
    Announcements said(&ts.manager);
    QVERIFY(QTest::qWaitFor([&] { return !said.log.isEmpty(); },
                            2 * TimeMachineManager::kRefreshMs + 500));
    QCOMPARE(said.log.first(), Announcements::moved(ts.clock.now(), -30).first());
    QCOMPARE(ts.channel.refreshTime(), ts.clock.now());
    QCOMPARE(ts.manager.lastShiftedTime(), ts.clock.now() - 30 * kMinute);
    ts.clock.advance(100);
    ts.manager.setCurrentChannelOffTimeShift();
    QCOMPARE(ts.channel.refreshTime(), ts.clock.now());
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
