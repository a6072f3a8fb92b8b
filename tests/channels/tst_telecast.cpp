#include "channel.h"
#include "recordschedule.h"
#include "telecast.h"

#include <QTest>

namespace {

// Records what the telecasts ask of the schedule.
class FakeSchedule final : public RecordSchedule
{
public:
    bool accept = true;
    QList<Telecast*> added;
    QList<Telecast*> removed;
    bool flagWhenRemoved = true;

    bool add(Telecast* telecast) override
    {
        added.append(telecast);
        return accept;
    }
    void remove(Telecast* telecast) override
    {
        removed.append(telecast);
        flagWhenRemoved = telecast->isRecordScheduled();
    }
};

const int kStart = 1000000;
const int kStop = kStart + 3600;

}  // namespace

using Offsets = QList<TimeOffset>;
Q_DECLARE_METATYPE(Offsets)

class TestTelecast : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void changingAFieldUnschedules_data();
    void changingAFieldUnschedules();
    void completeness_data();
    void completeness();

    void markers_data();
    void markers();
    void markersAreRecomputedFromScratch();

    void scheduleAcceptsOrRefuses_data();
    void scheduleAcceptsOrRefuses();
    void unschedulingClearsTheFlagBeforeRemoving();
    void sameValueAsksNothing();
};

void TestTelecast::cleanup()
{
    Telecast::setRecordSchedule(nullptr);
}

void TestTelecast::changingAFieldUnschedules_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("sameValue");
    const char* const names[] = {"id", "start", "stop", "title"};
    for (int field = 0; field < 4; ++field) {
        QTest::newRow(QByteArray(names[field]) + " changed") << field << false;
        QTest::newRow(QByteArray(names[field]) + " set again") << field << true;
    }
}

void TestTelecast::changingAFieldUnschedules()
{
    QFETCH(int, field);
    QFETCH(bool, sameValue);
    Telecast telecast;
    telecast.setId(7);
    telecast.setStart(kStart);
    telecast.setStop(kStop);
    telecast.setTitle("News");
    telecast.setRecordScheduled(true);
    QVERIFY(telecast.isRecordScheduled());

    switch (field) {
        case 0:
            telecast.setId(sameValue ? 7 : 8);
            break;
        case 1:
            telecast.setStart(sameValue ? kStart : kStart + 1);
            break;
        case 2:
            telecast.setStop(sameValue ? kStop : kStop + 1);
            break;
        default:
            telecast.setTitle(sameValue ? "News" : "Weather");
            break;
    }
    QCOMPARE(telecast.isRecordScheduled(), sameValue);
}

void TestTelecast::completeness_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("stop");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("withChannel");
    QTest::addColumn<bool>("complete");
    QTest::newRow("everything set") << kStart << kStop << "News" << true << true;
    QTest::newRow("zero start") << 0 << kStop << "News" << true << false;
    QTest::newRow("zero stop") << kStart << 0 << "News" << true << false;
    QTest::newRow("no title") << kStart << kStop << "" << true << false;
    QTest::newRow("no channel") << kStart << kStop << "News" << false << false;
    QTest::newRow("zero length is fine") << kStart << kStart << "News" << true << true;
}

void TestTelecast::completeness()
{
    QFETCH(int, start);
    QFETCH(int, stop);
    QFETCH(QString, title);
    QFETCH(bool, withChannel);
    QFETCH(bool, complete);
    Channel channel;
    Telecast* telecast = new Telecast(withChannel ? &channel : nullptr);
    telecast->setStart(start);
    telecast->setStop(stop);
    telecast->setTitle(title);
    QCOMPARE(telecast->isComplete(), complete);
    QCOMPARE(telecast->channel(), withChannel ? &channel : nullptr);
    if (!withChannel)
        delete telecast;
}

void TestTelecast::markers_data()
{
    // The telecast runs from kStart for an hour; "now" is kStart + 80 minutes,
    // so an offset of -m minutes lands 80 - m minutes into it.
    QTest::addColumn<Offsets>("offsets");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("middle");
    QTest::addColumn<int>("last");
    QTest::newRow("none inside") << Offsets{{2, -10}, {3, -15}} << 0 << 0 << 0 << 0;
    QTest::newRow("one inside keeps only its last marker")
        << Offsets{{2, -10}, {3, -30}, {4, -90}} << 1 << 0 << 0 << -30;
    QTest::newRow("two inside") << Offsets{{2, -30}, {3, -70}} << 2 << -30 << 0 << -70;
    QTest::newRow("three inside, middle before half-time")
        << Offsets{{2, -25}, {3, -55}, {4, -75}} << 3 << -25 << -55 << -75;
    QTest::newRow("middle that is the last is dropped")
        << Offsets{{2, -25}, {3, -45}, {4, -60}} << 3 << -25 << 0 << -60;
    QTest::newRow("half-time itself counts as before it")
        << Offsets{{2, -25}, {3, -50}, {4, -75}} << 3 << -25 << -50 << -75;
    QTest::newRow("the stop is outside, the start inside")
        << Offsets{{2, -20}, {3, -80}} << 1 << 0 << 0 << -80;
    QTest::newRow("the same minutes twice") << Offsets{{2, -40}, {3, -40}} << 2 << 0 << 0 << -40;
}

void TestTelecast::markers()
{
    QFETCH(Offsets, offsets);
    QFETCH(int, count);
    QFETCH(int, first);
    QFETCH(int, middle);
    QFETCH(int, last);
    Telecast telecast;
    telecast.setStart(kStart);
    telecast.setStop(kStop);
    telecast.updateMarkers(offsets, kStart + 80 * 60);
    QCOMPARE(telecast.markers().count, count);
    QCOMPARE(telecast.markers().first, first);
    QCOMPARE(telecast.markers().middle, middle);
    QCOMPARE(telecast.markers().last, last);
}

void TestTelecast::markersAreRecomputedFromScratch()
{
    Telecast telecast;
    telecast.setStart(kStart);
    telecast.setStop(kStop);
    const Offsets offsets{{2, -25}, {3, -55}, {4, -75}};
    telecast.updateMarkers(offsets, kStart + 80 * 60);
    QCOMPARE(telecast.markers().count, 3);
    telecast.updateMarkers(offsets, kStart + 5 * 3600);
    QCOMPARE(telecast.markers().count, 0);
    QCOMPARE(telecast.markers().first, 0);
    QCOMPARE(telecast.markers().middle, 0);
    QCOMPARE(telecast.markers().last, 0);
}

void TestTelecast::scheduleAcceptsOrRefuses_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("refused") << false;
}

void TestTelecast::scheduleAcceptsOrRefuses()
{
    QFETCH(bool, accept);
    FakeSchedule schedule;
    schedule.accept = accept;
    Telecast::setRecordSchedule(&schedule);
    Telecast telecast;
    telecast.setRecordScheduled(true);
    QCOMPARE(schedule.added, QList<Telecast*>{&telecast});
    QCOMPARE(telecast.isRecordScheduled(), accept);
}

void TestTelecast::unschedulingClearsTheFlagBeforeRemoving()
{
    FakeSchedule schedule;
    Telecast::setRecordSchedule(&schedule);
    Telecast telecast;
    telecast.setRecordScheduled(true);
    telecast.setRecordScheduled(false);
    QVERIFY(!telecast.isRecordScheduled());
    QCOMPARE(schedule.removed, QList<Telecast*>{&telecast});
    QVERIFY(!schedule.flagWhenRemoved);
}

void TestTelecast::sameValueAsksNothing()
{
    FakeSchedule schedule;
    Telecast::setRecordSchedule(&schedule);
    Telecast telecast;
    telecast.setRecordScheduled(false);
    telecast.setRecordScheduled(true);
    telecast.setRecordScheduled(true);
    QCOMPARE(schedule.added.size(), 1);
    QVERIFY(schedule.removed.isEmpty());
}

QTEST_GUILESS_MAIN(TestTelecast)
#include "tst_telecast.moc"
