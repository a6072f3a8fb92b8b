#include "../support/tablerows.h"
#include "channelmanager.h"
#include "timeshiftchannel.h"

#include <QSignalSpy>
#include <QTest>

using namespace TimeshiftFixture;

namespace {

const QList<int> kTable{-15, -30, -55, -70, -90, -120};

using Slot = void (TimeMachineManager::*)();
using Command = TimeMachineManager::Command;

const QMap<QString, std::pair<Slot, Command>> kCommands{
    {"step back", {&TimeMachineManager::setCurrentChannelTimeShiftPrev, Command::StepBack}},
    {"step forward", {&TimeMachineManager::setCurrentChannelTimeShiftNext, Command::StepForward}},
    {"next programme",
     {&TimeMachineManager::setCurrentChannelTimeShiftNextProgram, Command::NextProgramme}},
    {"previous programme",
     {&TimeMachineManager::setCurrentChannelTimeShiftPrevProgram, Command::PreviousProgramme}},
    {"back to live", {&TimeMachineManager::setCurrentChannelOffTimeShift, Command::Live}},
    {"start of programme",
     {&TimeMachineManager::setCurrentChannelTimeShiftStartProgram, Command::StartOfProgramme}},
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
    TimeshiftChannel ts(table, kBase + now.toInt() * kMinute);
    ts.channel.selectOffset(from.toInt());
    QCOMPARE(ts.channel.offsetIndex(), from.toInt());
    Announcements said(&ts.manager);
    QVERIFY(kCommands.contains(command));
    const auto [slot, kind] = kCommands[command];
    const bool moves = to != "-2";
    // What the buttons and keys offer: a command that moves the index.
    QCOMPARE(ts.manager.allows(kind), moves && to != from);
    (ts.manager.*slot)();
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
    for (const auto& [slot, kind] : kCommands) {
        QVERIFY(!manager.allows(kind));
        (manager.*slot)();
    }
    QVERIFY(said.log.isEmpty());
    // The timer then reports the present moment.
    manager.onTimerCurrentTime();
    QCOMPARE(said.log, QStringList{QString("data 0 %1 %1 0").arg(kBase)});
}

void TestTimeMachineManager::reselectionKeepsTheOffsetFor30Minutes()
{
    for (const auto& [away, index] : {std::pair{1800, 2}, {1801, -1}}) {
        TimeshiftChannel ts(kTable);
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
    TimeshiftChannel ts(kTable);
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
    TimeshiftChannel ts(kTable);
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
