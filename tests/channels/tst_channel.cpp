#include "channel.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "recordschedule.h"
#include "telecast.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using namespace GuideAnswers;

namespace {

const qint64 kHour = 3600;
const qint64 kBase = 1700002800;  // a whole hour

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

QByteArray pngBytes()
{
    QImage image(10, 6, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

QList<int> idsOf(const QList<Telecast*>& telecasts)
{
    QList<int> ids;
    for (const Telecast* telecast : telecasts)
        ids.append(telecast->id());
    return ids;
}

int idOf(const Telecast* telecast)
{
    return telecast ? telecast->id() : 0;
}

}  // namespace

using Offsets = QList<TimeOffset>;
Q_DECLARE_METATYPE(Offsets)

class TestChannel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void changingATelecastFieldUnschedulesIt_data();
    void changingATelecastFieldUnschedulesIt();
    void telecastCompleteness_data();
    void telecastCompleteness();
    void markersAreRecomputedFromScratch_data();
    void markersAreRecomputedFromScratch();
    void scheduleIsAskedOncePerChange_data();
    void scheduleIsAskedOncePerChange();

    void loadsTheEntryAtItsIndex_data();
    void loadsTheEntryAtItsIndex();
    void icon_data();
    void icon();
    void guideOnlyWhenAsked();
    void guideTimesAreServerLocal32BitSeconds();

    void lookupTakesTheFirstHolderInGuideOrder_data();
    void lookupTakesTheFirstHolderInGuideOrder();
    void neighbours();
    void telecastsAway_data();
    void telecastsAway();
    void nowComesFromTheLocalClockBeforeSynchronisation();

    void offsetTable_data();
    void offsetTable();
    void selectedOffset();
    void refreshLocatesTheTelecasts();

    void volume();

private:
    Channel& load(bool withGuide = true);

    proto::ChannelListResponse m_list;
    proto::Channel* m_entry = nullptr;
    std::unique_ptr<Channel> m_channel;
};

void TestChannel::init()
{
    m_list = proto::ChannelListResponse();
    m_entry = addChannel(m_list, 1, "One");
    m_channel = std::make_unique<Channel>();
}

void TestChannel::cleanup()
{
    m_channel.reset();
    Telecast::setRecordSchedule(nullptr);
    ServerClock::reset();
}

Channel& TestChannel::load(bool withGuide)
{
    m_channel->load(&m_list, 0, withGuide);
    return *m_channel;
}

void TestChannel::changingATelecastFieldUnschedulesIt_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("sameValue");
    const char* const names[] = {"id", "start", "stop", "title"};
    for (int field = 0; field < 4; ++field) {
        QTest::newRow(QByteArray(names[field]) + " changed") << field << false;
        QTest::newRow(QByteArray(names[field]) + " set again") << field << true;
    }
}

void TestChannel::changingATelecastFieldUnschedulesIt()
{
    QFETCH(int, field);
    QFETCH(bool, sameValue);
    Telecast telecast;
    telecast.setRecordScheduled(true);
    const int change = sameValue ? 0 : 1;
    const std::function<void()> set[] = {
        [&] { telecast.setId(change); },
        [&] { telecast.setStart(change); },
        [&] { telecast.setStop(change); },
        [&] { telecast.setTitle(sameValue ? QString() : "Weather"); },
    };
    set[field]();
    QCOMPARE(telecast.isRecordScheduled(), sameValue);
}

void TestChannel::telecastCompleteness_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("stop");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("withChannel");
    QTest::addColumn<bool>("complete");
    QTest::newRow("everything set") << 1000 << 2000 << "News" << true << true;
    QTest::newRow("zero start") << 0 << 2000 << "News" << true << false;
    QTest::newRow("zero stop") << 1000 << 0 << "News" << true << false;
    QTest::newRow("no title") << 1000 << 2000 << "" << true << false;
    QTest::newRow("no channel") << 1000 << 2000 << "News" << false << false;
    QTest::newRow("zero length is fine") << 1000 << 1000 << "News" << true << true;
}

void TestChannel::telecastCompleteness()
{
    QFETCH(int, start);
    QFETCH(int, stop);
    QFETCH(QString, title);
    QFETCH(bool, withChannel);
    QFETCH(bool, complete);
    std::unique_ptr<Telecast> orphan;
    Telecast* telecast =
        withChannel ? new Telecast(m_channel.get()) : (orphan = std::make_unique<Telecast>()).get();
    telecast->setStart(start);
    telecast->setStop(stop);
    telecast->setTitle(title);
    QCOMPARE(telecast->isComplete(), complete);
}

void TestChannel::markersAreRecomputedFromScratch_data()
{
    // The telecast runs from kBase for an hour; "now" is 80 minutes later, so
    // an offset of -m minutes lands 80 - m minutes into it. Before each row
    // the telecast holds three markers from an earlier refresh.
    QTest::addColumn<Offsets>("offsets");
    QTest::addColumn<QList<int>>("countFirstMiddleLast");
    QTest::newRow("none inside") << Offsets{{2, -10}, {3, -15}} << QList<int>{0, 0, 0, 0};
    QTest::newRow("one inside keeps only its last marker")
        << Offsets{{2, -10}, {3, -30}, {4, -90}} << QList<int>{1, 0, 0, -30};
    QTest::newRow("two inside") << Offsets{{2, -30}, {3, -70}} << QList<int>{2, -30, 0, -70};
    QTest::newRow("three inside, middle before half-time")
        << Offsets{{2, -25}, {3, -55}, {4, -75}} << QList<int>{3, -25, -55, -75};
    QTest::newRow("middle that is the last is dropped")
        << Offsets{{2, -25}, {3, -45}, {4, -60}} << QList<int>{3, -25, 0, -60};
    QTest::newRow("half-time itself counts as before it")
        << Offsets{{2, -25}, {3, -50}, {4, -75}} << QList<int>{3, -25, -50, -75};
    QTest::newRow("the stop is outside, the start inside")
        << Offsets{{2, -20}, {3, -80}} << QList<int>{1, 0, 0, -80};
    QTest::newRow("the same minutes twice")
        << Offsets{{2, -40}, {3, -40}} << QList<int>{2, 0, 0, -40};
}

void TestChannel::markersAreRecomputedFromScratch()
{
    QFETCH(Offsets, offsets);
    QFETCH(QList<int>, countFirstMiddleLast);
    Telecast telecast;
    telecast.setStart(kBase);
    telecast.setStop(kBase + kHour);
    const qint64 now = kBase + 80 * 60;
    telecast.updateMarkers({{2, -25}, {3, -55}, {4, -75}}, now);
    telecast.updateMarkers(offsets, now);
    const Telecast::Markers& m = telecast.markers();
    QCOMPARE(QList<int>({m.count, m.first, m.middle, m.last}), countFirstMiddleLast);
}

void TestChannel::scheduleIsAskedOncePerChange_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("refused") << false;
}

void TestChannel::scheduleIsAskedOncePerChange()
{
    QFETCH(bool, accept);
    FakeSchedule schedule;
    schedule.accept = accept;
    Telecast::setRecordSchedule(&schedule);
    Telecast telecast;
    telecast.setRecordScheduled(false);
    telecast.setRecordScheduled(true);
    QCOMPARE(telecast.isRecordScheduled(), accept);
    telecast.setRecordScheduled(accept);
    QCOMPARE(schedule.added, QList<Telecast*>{&telecast});
    QVERIFY(schedule.removed.isEmpty());

    telecast.setRecordScheduled(false);
    QVERIFY(!telecast.isRecordScheduled());
    QCOMPARE(schedule.removed, accept ? QList<Telecast*>{&telecast} : QList<Telecast*>{});
    QVERIFY(!schedule.flagWhenRemoved || !accept);  // cleared before the schedule is told
}

void TestChannel::loadsTheEntryAtItsIndex_data()
{
    QTest::addColumn<bool>("withResponse");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");  // empty: nothing loaded
    QTest::newRow("second entry") << true << 1 << QString::fromUtf8("Первый");
    QTest::newRow("no response") << false << 0 << "";
    QTest::newRow("index past the end") << true << 2 << "";
    QTest::newRow("negative index") << true << -1 << "";
}

void TestChannel::loadsTheEntryAtItsIndex()
{
    QFETCH(bool, withResponse);
    QFETCH(int, index);
    QFETCH(QString, name);
    addTelecast(addChannel(m_list, 20, "Первый", false), 5, kBase, kBase + kHour, "Новости");
    m_channel->load(withResponse ? &m_list : nullptr, index, true);
    QCOMPARE(m_channel->name(), name);
    QCOMPARE(m_channel->listPosition(), index);
    QCOMPARE(m_channel->isIconSet(), !name.isEmpty());
    QCOMPARE(m_channel->hasProgrammeGuide(), !name.isEmpty());
    if (name.isEmpty())
        return;
    QCOMPARE(m_channel->id(), 20);
    QVERIFY(!m_channel->isAvailable());
    QCOMPARE(m_channel->telecasts().at(0)->title(), QString::fromUtf8("Новости"));
    QCOMPARE(m_channel->volume(), Channel::kDefaultVolume);
    QCOMPARE(m_channel->currentOffsetId(), Channel::kLiveOffsetId);
}

void TestChannel::icon_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isDefault");
    QTest::newRow("a picture") << true << pngBytes() << false;
    QTest::newRow("absent") << false << QByteArray() << true;
    QTest::newRow("empty") << true << QByteArray() << true;
    QTest::newRow("not a picture") << true << QByteArray("GIF89a but not really") << true;
}

void TestChannel::icon()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isDefault);
    const QImage defaultIcon(":/images/default-channel-icon.png");
    QVERIFY(!defaultIcon.isNull());
    if (present)
        m_entry->set_icon(bytes.toStdString());
    const QImage expected = isDefault ? defaultIcon : QImage::fromData(bytes);
    // A pixmap may keep its pixels premultiplied; compared so, no rounding
    // of the way back stands between the two.
    QCOMPARE(load().icon().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestChannel::guideOnlyWhenAsked()
{
    QVERIFY(!load(false).hasProgrammeGuide());
    QVERIFY(load(true).hasProgrammeGuide());  // an empty guide is still a guide
    QCOMPARE(m_channel->telecastNow(), nullptr);

    addTelecast(m_entry, 1, kBase, kBase + kHour, "News");
    addTelecast(m_entry, 2, kBase + kHour, kBase + 2 * kHour, "Film");
    QVERIFY(load(false).telecasts().isEmpty());
    load(true);
    QCOMPARE(idsOf(load(true).telecasts()), QList<int>({1, 2}));  // a reload replaces
    QCOMPARE(m_channel->children().size(), 2);
}

void TestChannel::guideTimesAreServerLocal32BitSeconds()
{
    ServerClock::synchronise(quint32(kBase), 3 * 3600);
    addTelecast(m_entry, 41, kBase, kBase + kHour, "News");
    addTelecast(m_entry, 42, (qint64(1) << 32) + 500, (qint64(1) << 32) + 900, "Wrapped");
    const QList<Telecast*>& telecasts = load().telecasts();
    QCOMPARE(telecasts.size(), 2);
    QCOMPARE(telecasts[0]->id(), 41);
    QCOMPARE(telecasts[0]->start(), int(kBase + 3 * 3600));
    QCOMPARE(telecasts[0]->stop(), int(kBase + kHour + 3 * 3600));
    QCOMPARE(telecasts[0]->title(), QString("News"));
    QCOMPARE(telecasts[0]->channel(), m_channel.get());
    QCOMPARE(telecasts[1]->start(), 500 + 3 * 3600);
    QCOMPARE(telecasts[1]->stop(), 900 + 3 * 3600);
}

void TestChannel::lookupTakesTheFirstHolderInGuideOrder_data()
{
    // Out of order, overlapping and zero-length entries are kept as sent;
    // start and stop both belong to a telecast.
    QTest::addColumn<qint64>("time");
    QTest::addColumn<int>("id");  // 0: none
    QTest::newRow("before all") << kBase - 1 << 0;
    QTest::newRow("at a start") << kBase << 1;
    QTest::newRow("inside two, the first sent wins") << kBase + kHour + 60 << 1;
    QTest::newRow("a stop and a start") << kBase + 2 * kHour << 3;
    QTest::newRow("at a stop") << kBase + 3 * kHour << 3;
    QTest::newRow("in a gap") << kBase + 3 * kHour + 1 << 0;
    QTest::newRow("zero length") << kBase + 4 * kHour << 4;
    QTest::newRow("after all") << kBase + 4 * kHour + 1 << 0;
}

void TestChannel::lookupTakesTheFirstHolderInGuideOrder()
{
    QFETCH(qint64, time);
    QFETCH(int, id);
    addTelecast(m_entry, 3, kBase + 2 * kHour, kBase + 3 * kHour, "Third");
    addTelecast(m_entry, 1, kBase, kBase + 2 * kHour, "Long");
    addTelecast(m_entry, 2, kBase + kHour, kBase + 2 * kHour, "Overlapping");
    addTelecast(m_entry, 4, kBase + 4 * kHour, kBase + 4 * kHour, "Instant");
    QCOMPARE(idsOf(load().telecasts()), QList<int>({3, 1, 2, 4}));
    QCOMPARE(idOf(m_channel->telecastAt(time)), id);
}

void TestChannel::neighbours()
{
    addTelecast(m_entry, 1, kBase, kBase + kHour, "A");
    addTelecast(m_entry, 2, kBase + kHour, kBase + 2 * kHour, "B");
    addTelecast(m_entry, 3, kBase + 3 * kHour, kBase + 4 * kHour, "after a gap");
    const QList<Telecast*>& t = load().telecasts();
    QCOMPARE(m_channel->telecastBefore(t[1]), t[0]);
    QCOMPARE(m_channel->telecastAfter(t[0]), t[1]);
    QCOMPARE(m_channel->telecastBefore(t[0]), nullptr);
    QCOMPARE(m_channel->telecastAfter(t[1]), nullptr);
    QCOMPARE(m_channel->telecastBefore(t[2]), nullptr);
    QCOMPARE(m_channel->telecastBefore(nullptr), nullptr);
}

void TestChannel::telecastsAway_data()
{
    QTest::addColumn<qint64>("time");
    QTest::addColumn<int>("places");
    QTest::addColumn<int>("id");  // 0: none
    QTest::newRow("same") << kBase + 10 << 0 << 1;
    QTest::newRow("two on") << kBase + 10 << 2 << 3;
    QTest::newRow("one back") << kBase + kHour + 10 << -1 << 1;
    QTest::newRow("past the end") << kBase + 10 << 3 << 0;
    QTest::newRow("before the start") << kBase + 10 << -1 << 0;
    QTest::newRow("no telecast at the time") << kBase - 10 << 1 << 0;
}

void TestChannel::telecastsAway()
{
    QFETCH(qint64, time);
    QFETCH(int, places);
    QFETCH(int, id);
    for (int i = 0; i < 3; ++i)
        addTelecast(m_entry, i + 1, kBase + i * kHour, kBase + (i + 1) * kHour, "T");
    QCOMPARE(idOf(load().telecastAway(time, places)), id);
}

void TestChannel::nowComesFromTheLocalClockBeforeSynchronisation()
{
    FixedClock clock(kBase + kHour + 30);
    QVERIFY(!ServerClock::isKnown());
    addTelecast(m_entry, 1, kBase, kBase + kHour, "A");
    addTelecast(m_entry, 2, kBase + kHour, kBase + 2 * kHour, "B");
    QCOMPARE(idOf(load().telecastNow()), 2);
    QCOMPARE(m_channel->refreshTime(), clock.now());
}

void TestChannel::offsetTable_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<bool>("timeshift");
    QTest::addColumn<QList<int>>("tableIds");
    QTest::newRow("none") << QList<int>{} << false << QList<int>{};
    QTest::newRow("live only") << QList<int>{1} << false << QList<int>{};
    QTest::newRow("[1, 7]: one offset is not enough") << QList<int>{1, 7} << false << QList<int>{};
    QTest::newRow("[1, 7, 8]") << QList<int>{1, 7, 8} << true << QList<int>{7, 8};
    QTest::newRow("an id without an entry") << QList<int>{1, 7, 99} << true << QList<int>{7, 99};
}

void TestChannel::offsetTable()
{
    QFETCH(QList<int>, ids);
    QFETCH(bool, timeshift);
    QFETCH(QList<int>, tableIds);
    for (const int id : ids)
        m_entry->add_offset(id);
    addTimeOffset(m_list, 7, -30);
    addTimeOffset(m_list, 8, -120);
    addTimeOffset(m_list, 7, -60);  // the last entry of an id counts
    QCOMPARE(load().hasTimeOffsets(), timeshift);
    QCOMPARE(m_channel->offsetCount(), tableIds.size());
    const QHash<int, int> minutes{{7, -60}, {8, -120}, {99, 0}};
    for (int k = 0; k < tableIds.size(); ++k) {
        QCOMPARE(m_channel->timeOffsets().at(k).id, tableIds[k]);
        QCOMPARE(m_channel->timeOffsets().at(k).minutes, minutes.value(tableIds[k]));
    }
}

void TestChannel::selectedOffset()
{
    FixedClock clock(kBase);
    setOffsetIds(m_entry, {1, 7, 8});
    addTimeOffset(m_list, 7, -60);
    addTimeOffset(m_list, 8, -120);
    Channel& channel = load();
    QCOMPARE(channel.currentOffsetId(), 1);
    QCOMPARE(channel.currentOffsetMinutes(), 0);
    QCOMPARE(channel.shiftedTime(), kBase);

    channel.selectOffset(1);
    QCOMPARE(channel.currentOffsetId(), 8);
    QCOMPARE(channel.currentOffsetMinutes(), -120);
    QCOMPARE(channel.shiftedTime(), kBase - 2 * kHour);
    QCOMPARE(channel.indexOfOffset(-60), 0);
    QCOMPARE(channel.indexOfOffset(-45), -1);

    channel.selectOffset(5);
    QCOMPARE(channel.offsetIndex(), 1);
    channel.selectOffset(-3);
    QVERIFY(channel.isLive());
}

void TestChannel::refreshLocatesTheTelecasts()
{
    FixedClock clock(kBase + 10 * 60);
    setOffsetIds(m_entry, {1, 2, 3});
    addTimeOffset(m_list, 2, -60);
    addTimeOffset(m_list, 3, -90);
    for (int i = -3; i < 2; ++i)
        addTelecast(m_entry, i, kBase + i * kHour, kBase + (i + 1) * kHour, "T");
    Channel& channel = load();
    const auto located = [&channel] {
        return QList<int>{channel.liveTelecast()->id(), channel.currentTelecast()->id(),
                          channel.previousTelecast()->id(), channel.nextTelecast()->id()};
    };
    QCOMPARE(located(), QList<int>({0, 0, -1, 1}));
    // Only -60 lands in the telecast before; -90 is one further back.
    QCOMPARE(channel.previousTelecast()->markers().count, 1);
    QCOMPARE(channel.previousTelecast()->markers().last, -60);

    channel.selectOffset(0);
    QCOMPARE(located(), QList<int>({0, -1, -2, 0}));

    clock.advance(kHour);
    channel.refresh();
    QCOMPARE(channel.refreshTime(), clock.now());
    QCOMPARE(located(), QList<int>({1, 0, -1, 1}));
}

void TestChannel::volume()
{
    QSignalSpy changed(m_channel.get(), &Channel::volumeChanged);
    for (const int volume : {150, 50, 50, 70})
        m_channel->setVolume(volume);
    QCOMPARE(m_channel->volume(), 70);
    QList<int> announced;
    for (const QList<QVariant>& arguments : changed)
        announced.append(arguments.at(0).toInt());
    QCOMPARE(announced, QList<int>({100, 50, 70}));
}

QTEST_MAIN(TestChannel)
#include "tst_channel.moc"
