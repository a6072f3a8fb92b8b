#include "channel.h"
#include "fixedclock.h"
#include "guideanswers.h"
#include "telecast.h"

#include <QBuffer>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

using namespace GuideAnswers;

namespace {

const qint64 kHour = 3600;
const qint64 kBase = 1700002800;  // a whole hour

std::string pngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

QImage defaultIcon()
{
    return QImage(":/images/default-channel-icon.png");
}

QList<int> idsOf(const QList<Telecast*>& telecasts)
{
    QList<int> ids;
    for (const Telecast* telecast : telecasts)
        ids.append(telecast->id());
    return ids;
}

}  // namespace

class TestChannel : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();

    void loadsItsEntry();
    void namesAreUtf8_data();
    void namesAreUtf8();
    void nothingToLoad_data();
    void nothingToLoad();

    void icon_data();
    void icon();

    void guideOnlyWhenAsked();
    void emptyGuideIsStillAGuide();
    void guideTimesAreServerLocal32BitSeconds();
    void reloadReplacesTheGuide();

    void lookupAtTheBoundaryTakesTheEarlier();
    void lookupsFollowGuideOrder();
    void neighbours();
    void telecastsAway_data();
    void telecastsAway();
    void nowComesFromTheLocalClockBeforeSynchronisation();

    void offsetTable_data();
    void offsetTable();
    void offsetMinutesFromTheLastMatchingEntry();
    void selectedOffset();

    void refreshLocatesTheTelecasts();

    void volume();
};

void TestChannel::cleanup()
{
    ServerClock::reset();
}

void TestChannel::loadsItsEntry()
{
    proto::ChannelListResponse list;
    addChannel(list, 10, "One");
    addChannel(list, 20, "Two", false);
    Channel channel;
    channel.load(&list, 1, true);
    QCOMPARE(channel.id(), 20);
    QCOMPARE(channel.name(), QString("Two"));
    QVERIFY(!channel.isAvailable());
    QCOMPARE(channel.listPosition(), 1);
    QVERIFY(channel.isIconSet());
    QCOMPARE(channel.volume(), Channel::kDefaultVolume);
    QVERIFY(channel.isLive());
    QCOMPARE(channel.currentOffsetId(), Channel::kLiveOffsetId);
}

void TestChannel::namesAreUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("name");
    QTest::newRow("cyrillic") << QByteArray("\xd0\x9f\xd0\xb5\xd1\x80\xd0\xb2\xd1\x8b\xd0\xb9")
                              << QString::fromUtf8("Первый");
    QTest::newRow("broken bytes are replaced")
        << QByteArray(
               "A\xff\xfe"
               "B")
        << QString("A") + QChar::ReplacementCharacter + QChar::ReplacementCharacter + "B";
}

void TestChannel::namesAreUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, name);
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, bytes.toStdString());
    addTelecast(entry, 1, kBase, kBase + kHour, bytes.toStdString());
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(channel.name(), name);
    QCOMPARE(channel.telecasts().at(0)->title(), name);
}

void TestChannel::nothingToLoad_data()
{
    QTest::addColumn<bool>("withResponse");
    QTest::addColumn<int>("index");
    QTest::newRow("no response") << false << 0;
    QTest::newRow("index past the end") << true << 1;
    QTest::newRow("negative index") << true << -1;
}

void TestChannel::nothingToLoad()
{
    QFETCH(bool, withResponse);
    QFETCH(int, index);
    proto::ChannelListResponse list;
    addTelecast(addChannel(list, 5, "Five"), 1, kBase, kBase + kHour, "News");
    Channel channel;
    channel.load(withResponse ? &list : nullptr, index, true);
    QVERIFY(channel.name().isEmpty());
    QVERIFY(!channel.isIconSet());
    QVERIFY(channel.icon().isNull());
    QVERIFY(!channel.hasProgrammeGuide());
    QCOMPARE(channel.listPosition(), index);
}

void TestChannel::icon_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isDefault");
    QTest::newRow("a picture") << true << QByteArray::fromStdString(pngBytes(10, 6)) << false;
    QTest::newRow("absent") << false << QByteArray() << true;
    QTest::newRow("empty") << true << QByteArray() << true;
    QTest::newRow("not a picture") << true << QByteArray("GIF89a but not really") << true;
}

void TestChannel::icon()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isDefault);
    QVERIFY(!defaultIcon().isNull());
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    if (present)
        entry->set_icon(bytes.toStdString());
    Channel channel;
    channel.load(&list, 0, true);
    QVERIFY(channel.isIconSet());
    const QImage expected = isDefault ? defaultIcon() : QImage::fromData(bytes);
    // A pixmap may keep its pixels premultiplied; compared so, no rounding
    // of the way back stands between the two.
    QCOMPARE(channel.icon().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestChannel::guideOnlyWhenAsked()
{
    proto::ChannelListResponse list;
    addTelecast(addChannel(list, 1, "One"), 1, kBase, kBase + kHour, "News");
    Channel channel;
    channel.load(&list, 0, false);
    QVERIFY(!channel.hasProgrammeGuide());
    QVERIFY(channel.telecasts().isEmpty());
}

void TestChannel::emptyGuideIsStillAGuide()
{
    proto::ChannelListResponse list;
    addChannel(list, 1, "One");
    Channel channel;
    channel.load(&list, 0, true);
    QVERIFY(channel.hasProgrammeGuide());
    QVERIFY(channel.telecasts().isEmpty());
    QCOMPARE(channel.telecastNow(), nullptr);
}

void TestChannel::guideTimesAreServerLocal32BitSeconds()
{
    ServerClock::synchronise(quint32(kBase), 3 * 3600);
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    addTelecast(entry, 41, kBase, kBase + kHour, "News");
    addTelecast(entry, 42, (qint64(1) << 32) + 500, (qint64(1) << 32) + 900, "Wrapped");
    Channel channel;
    channel.load(&list, 0, true);
    const QList<Telecast*>& telecasts = channel.telecasts();
    QCOMPARE(telecasts.size(), 2);
    QCOMPARE(telecasts[0]->id(), 41);
    QCOMPARE(telecasts[0]->start(), int(kBase + 3 * 3600));
    QCOMPARE(telecasts[0]->stop(), int(kBase + kHour + 3 * 3600));
    QCOMPARE(telecasts[0]->title(), QString("News"));
    QCOMPARE(telecasts[0]->channel(), &channel);
    QCOMPARE(telecasts[1]->start(), 500 + 3 * 3600);
    QCOMPARE(telecasts[1]->stop(), 900 + 3 * 3600);
}

void TestChannel::reloadReplacesTheGuide()
{
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    addTelecast(entry, 1, kBase, kBase + kHour, "News");
    addTelecast(entry, 2, kBase + kHour, kBase + 2 * kHour, "Film");
    Channel channel;
    channel.load(&list, 0, true);
    channel.load(&list, 0, true);
    QCOMPARE(idsOf(channel.telecasts()), QList<int>({1, 2}));
    QCOMPARE(channel.children().size(), 2);
}

void TestChannel::lookupAtTheBoundaryTakesTheEarlier()
{
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    addTelecast(entry, 1, kBase, kBase + kHour, "Earlier");
    addTelecast(entry, 2, kBase + kHour, kBase + 2 * kHour, "Later");
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(channel.telecastAt(kBase)->id(), 1);
    QCOMPARE(channel.telecastAt(kBase + kHour)->id(), 1);
    QCOMPARE(channel.telecastAt(kBase + kHour + 1)->id(), 2);
    QCOMPARE(channel.telecastAt(kBase - 1), nullptr);
    QCOMPARE(channel.telecastAt(kBase + 2 * kHour + 1), nullptr);
}

void TestChannel::lookupsFollowGuideOrder()
{
    // Out of order, overlapping and zero-length entries are kept as sent;
    // a lookup takes the first entry that holds the time.
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    addTelecast(entry, 3, kBase + 2 * kHour, kBase + 3 * kHour, "Third");
    addTelecast(entry, 1, kBase, kBase + 2 * kHour, "Long");
    addTelecast(entry, 2, kBase + kHour, kBase + 2 * kHour, "Overlapping");
    addTelecast(entry, 4, kBase + 4 * kHour, kBase + 4 * kHour, "Instant");
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(idsOf(channel.telecasts()), QList<int>({3, 1, 2, 4}));
    QCOMPARE(channel.telecastAt(kBase + kHour + 60)->id(), 1);
    QCOMPARE(channel.telecastAt(kBase + 2 * kHour)->id(), 3);
    QCOMPARE(channel.telecastAt(kBase + 4 * kHour)->id(), 4);
    QCOMPARE(channel.telecastAt(kBase + 4 * kHour + 1), nullptr);
}

void TestChannel::neighbours()
{
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    addTelecast(entry, 1, kBase, kBase + kHour, "A");
    addTelecast(entry, 2, kBase + kHour, kBase + 2 * kHour, "B");
    addTelecast(entry, 3, kBase + 3 * kHour, kBase + 4 * kHour, "after a gap");
    Channel channel;
    channel.load(&list, 0, true);
    const QList<Telecast*>& t = channel.telecasts();
    QCOMPARE(channel.telecastBefore(t[1]), t[0]);
    QCOMPARE(channel.telecastAfter(t[0]), t[1]);
    QCOMPARE(channel.telecastBefore(t[0]), nullptr);
    QCOMPARE(channel.telecastAfter(t[1]), nullptr);
    QCOMPARE(channel.telecastBefore(t[2]), nullptr);
    QCOMPARE(channel.telecastBefore(nullptr), nullptr);
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
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    for (int i = 0; i < 3; ++i)
        addTelecast(entry, i + 1, kBase + i * kHour, kBase + (i + 1) * kHour, "T");
    Channel channel;
    channel.load(&list, 0, true);
    const Telecast* found = channel.telecastAway(time, places);
    QCOMPARE(found ? found->id() : 0, id);
}

void TestChannel::nowComesFromTheLocalClockBeforeSynchronisation()
{
    FixedClock clock(kBase + kHour + 30);
    QVERIFY(!ServerClock::isKnown());
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    addTelecast(entry, 1, kBase, kBase + kHour, "A");
    addTelecast(entry, 2, kBase + kHour, kBase + 2 * kHour, "B");
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(channel.telecastNow()->id(), 2);
    QCOMPARE(channel.refreshTime(), clock.now());
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
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    for (const int id : ids)
        entry->add_offset(id);
    addTimeOffset(list, 7, -60);
    addTimeOffset(list, 8, -120);
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(channel.hasTimeOffsets(), timeshift);
    QCOMPARE(channel.offsetCount(), tableIds.size());
    const QHash<int, int> minutes{{7, -60}, {8, -120}, {99, 0}};
    for (int k = 0; k < tableIds.size(); ++k) {
        QCOMPARE(channel.timeOffsets().at(k).id, tableIds[k]);
        QCOMPARE(channel.timeOffsets().at(k).minutes, minutes.value(tableIds[k]));
    }
}

void TestChannel::offsetMinutesFromTheLastMatchingEntry()
{
    proto::ChannelListResponse list;
    setOffsetIds(addChannel(list, 1, "One"), {1, 7, 8});
    addTimeOffset(list, 7, -30);
    addTimeOffset(list, 8, -120);
    addTimeOffset(list, 7, -60);
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(channel.timeOffsets().at(0).minutes, -60);
}

void TestChannel::selectedOffset()
{
    FixedClock clock(kBase);
    proto::ChannelListResponse list;
    setOffsetIds(addChannel(list, 1, "One"), {1, 7, 8});
    addTimeOffset(list, 7, -60);
    addTimeOffset(list, 8, -120);
    Channel channel;
    channel.load(&list, 0, true);
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
    proto::ChannelListResponse list;
    proto::Channel* entry = addChannel(list, 1, "One");
    setOffsetIds(entry, {1, 2, 3});
    addTimeOffset(list, 2, -60);
    addTimeOffset(list, 3, -90);
    for (int i = -3; i < 2; ++i)
        addTelecast(entry, i, kBase + i * kHour, kBase + (i + 1) * kHour, "T");
    Channel channel;
    channel.load(&list, 0, true);
    QCOMPARE(channel.liveTelecast()->id(), 0);
    QCOMPARE(channel.currentTelecast()->id(), 0);
    QCOMPARE(channel.previousTelecast()->id(), -1);
    QCOMPARE(channel.nextTelecast()->id(), 1);
    // Only -60 lands in the telecast before; -90 is one further back.
    QCOMPARE(channel.previousTelecast()->markers().count, 1);
    QCOMPARE(channel.previousTelecast()->markers().last, -60);

    channel.selectOffset(0);
    QCOMPARE(channel.liveTelecast()->id(), 0);
    QCOMPARE(channel.currentTelecast()->id(), -1);
    QCOMPARE(channel.previousTelecast()->id(), -2);
    QCOMPARE(channel.nextTelecast()->id(), 0);

    clock.advance(kHour);
    channel.refresh();
    QCOMPARE(channel.refreshTime(), clock.now());
    QCOMPARE(channel.liveTelecast()->id(), 1);
    QCOMPARE(channel.currentTelecast()->id(), 0);
}

void TestChannel::volume()
{
    Channel channel;
    QSignalSpy changed(&channel, &Channel::volumeChanged);
    channel.setVolume(150);
    QCOMPARE(channel.volume(), 100);
    channel.setVolume(50);
    channel.setVolume(50);
    channel.setVolume(70);
    QCOMPARE(channel.volume(), 70);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.at(0).at(0).toInt(), 100);
    QCOMPARE(changed.at(1).at(0).toInt(), 50);
    QCOMPARE(changed.at(2).at(0).toInt(), 70);
}

QTEST_MAIN(TestChannel)
#include "tst_channel.moc"
