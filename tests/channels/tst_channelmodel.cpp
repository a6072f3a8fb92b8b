// Channels, their telecasts and the channel manager over the server's answers
// in tests/data/channels.

#include "channel.h"
#include "channeldata.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "fixedclock.h"
#include "recordschedule.h"
#include "scriptedguard.h"
#include "telecast.h"
#include "temporaryprofile.h"

#include "channel.pb.h"
#include "stb_params.pb.h"
#include "user_channels.pb.h"
#include "user_info.pb.h"

#include <QPointer>
#include <QSignalSpy>

#include <functional>

using namespace ChannelData;

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
    bool flagWhenRemoved = false;

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

int idOf(const Telecast* telecast)
{
    return telecast ? telecast->id() : 0;
}

QList<int> idsOf(const QList<Telecast*>& telecasts)
{
    QList<int> ids;
    for (const Telecast* telecast : telecasts)
        ids.append(telecast->id());
    return ids;
}

QStringList titlesOf(const QList<Telecast*>& telecasts)
{
    QStringList titles;
    for (const Telecast* telecast : telecasts)
        titles.append(telecast->title());
    return titles;
}

QStringList namesOf(const ChannelManager& manager)
{
    QStringList names;
    for (int i = 0; i < manager.channelCount(); ++i)
        names.append(manager.channelAt(i)->name());
    return names;
}

proto::UserChannelResponse userList(const QList<int>& ids)
{
    proto::UserChannelResponse user;
    user.mutable_data()->set_enabled(true);
    for (const int id : ids)
        user.mutable_data()->add_channel_id(id);
    return user;
}

}  // namespace

class TestChannelModel : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    // ---- telecasts
    void changingATelecastFieldUnschedulesIt_data();
    void changingATelecastFieldUnschedulesIt();
    void completeness_data() { addCases("model.json", "completeness"); }
    void completeness();
    void markersAreRecomputedFromScratch_data() { addCases("model.json", "markers"); }
    void markersAreRecomputedFromScratch();
    void scheduleIsAskedOncePerChange_data();
    void scheduleIsAskedOncePerChange();

    // ---- a channel
    void loadsTheEntryAtItsIndex_data();
    void loadsTheEntryAtItsIndex();
    void icon_data();
    void icon();
    void guideOnlyWhenAsked();
    void guideTimesAreServerLocal32BitSeconds();
    void lookups_data() { addCases("model.json", "lookups"); }
    void lookups();
    void neighboursAndNow();
    void offsetTable_data() { addCases("model.json", "offset tables"); }
    void offsetTable();
    void selectedOffset();
    void refreshLocatesTheTelecasts();
    void volume();

    // ---- the channel manager
    void listsInServerOrUserOrder();
    void emptyUserListTurnsTheSettingOff_data();
    void emptyUserListTurnsTheSettingOff();
    void duplicatesAreAllListedAndTheFirstIsFound();
    void volumesAndUserInformationAreCopied();
    void finishedLoadSignalsAndReplacesTheList();
    void closedChannelsHiddenAndFlagsAnnounceOnlyChanges();
    void telecastSearch_data() { addCases("model.json", "searches"); }
    void telecastSearch();
    void loadStatesAndFailures();
    void clearDropsEverythingAndReloadsWhatWasLoaded();
    void currentChannelThroughTheGuard();
    void keepAliveFollowsTheServersInterval();

private:
    Channel& load(const QString& name, bool withGuide = true);
    int indexOf(const QString& name) const;

    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_guides;  // guides.txtpb
    std::unique_ptr<Channel> m_channel;
    proto::ChannelListResponse m_list;          // channels.txtpb
    std::unique_ptr<ChannelManager> m_manager;  // loaded with m_list
};

void TestChannelModel::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_guides = answer<proto::ChannelListResponse>("guides.txtpb");
    m_channel = std::make_unique<Channel>();
    m_list = answer<proto::ChannelListResponse>("channels.txtpb");
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
}

void TestChannelModel::cleanup()
{
    m_manager.reset();
    m_channel.reset();
    Telecast::setRecordSchedule(nullptr);
    ServerClock::reset();
    Settings::destroy();
    m_profile.reset();
}

int TestChannelModel::indexOf(const QString& name) const
{
    for (int i = 0; i < m_guides.list_size(); ++i) {
        if (QString::fromStdString(m_guides.list(i).name()) == name)
            return i;
    }
    qFatal("no guide %s", qPrintable(name));
}

Channel& TestChannelModel::load(const QString& name, bool withGuide)
{
    m_channel->load(&m_guides, indexOf(name), withGuide);
    return *m_channel;
}

void TestChannelModel::changingATelecastFieldUnschedulesIt_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("sameValue");
    const char* const names[] = {"id", "start", "stop", "title"};
    for (int field = 0; field < 4; ++field) {
        QTest::newRow(QByteArray(names[field]) + " changed") << field << false;
        QTest::newRow(QByteArray(names[field]) + " set again") << field << true;
    }
}

void TestChannelModel::changingATelecastFieldUnschedulesIt()
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

void TestChannelModel::completeness()
{
    QFETCH(QJsonObject, c);
    Telecast telecast(c["orphan"].toBool() ? nullptr : m_channel.get());
    telecast.setStart(c["start"].toInt());
    telecast.setStop(c["stop"].toInt());
    telecast.setTitle(c["title"].toString());
    QCOMPARE(telecast.isComplete(), c["complete"].toBool());
}

// The telecast runs from kBase for an hour; "now" is 80 minutes later, so an
// offset of -m minutes lands 80 - m minutes into it. Before each case the
// telecast holds three markers from an earlier refresh.
void TestChannelModel::markersAreRecomputedFromScratch()
{
    QFETCH(QJsonObject, c);
    QList<TimeOffset> offsets;
    for (const int minutes : ints(c["minutes"]))
        offsets.append({int(offsets.size()) + 2, minutes});
    Telecast telecast;
    telecast.setStart(kBase);
    telecast.setStop(kBase + kHour);
    const qint64 now = kBase + 80 * 60;
    telecast.updateMarkers({{2, -25}, {3, -55}, {4, -75}}, now);
    telecast.updateMarkers(offsets, now);
    const Telecast::Markers& m = telecast.markers();
    QCOMPARE(QList<int>({m.count, m.first, m.middle, m.last}), ints(c["markers"]));
}

void TestChannelModel::scheduleIsAskedOncePerChange_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("accepted") << true;
    QTest::newRow("refused") << false;
}

void TestChannelModel::scheduleIsAskedOncePerChange()
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
    QVERIFY(!schedule.flagWhenRemoved);  // cleared before the schedule is told
}

void TestChannelModel::loadsTheEntryAtItsIndex_data()
{
    QTest::addColumn<bool>("withResponse");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("loaded");
    QTest::newRow("second entry") << true << 1 << true;
    QTest::newRow("no response") << false << 0 << false;
    QTest::newRow("index past the end") << true << 99 << false;
    QTest::newRow("negative index") << true << -1 << false;
}

void TestChannelModel::loadsTheEntryAtItsIndex()
{
    QFETCH(bool, withResponse);
    QFETCH(int, index);
    QFETCH(bool, loaded);
    m_channel->load(withResponse ? &m_guides : nullptr, index, true);
    QCOMPARE(m_channel->name(), loaded ? QString::fromUtf8("Первый") : QString());
    QCOMPARE(m_channel->listPosition(), index);
    QCOMPARE(m_channel->isIconSet(), loaded);
    QCOMPARE(m_channel->hasProgrammeGuide(), loaded);
    if (!loaded)
        return;
    QCOMPARE(m_channel->id(), 20);
    QVERIFY(!m_channel->isAvailable());
    QCOMPARE(m_channel->telecasts().at(0)->title(), QString::fromUtf8("Новости"));
    QCOMPARE(m_channel->volume(), Channel::kDefaultVolume);
    QCOMPARE(m_channel->currentOffsetId(), Channel::kLiveOffsetId);
}

void TestChannelModel::icon_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("isDefault");
    QTest::newRow("a picture") << true << read("red.png") << false;
    QTest::newRow("absent") << false << QByteArray() << true;
    QTest::newRow("empty") << true << QByteArray() << true;
    QTest::newRow("not a picture") << true << QByteArray("GIF89a but not really") << true;
}

void TestChannelModel::icon()
{
    QFETCH(bool, present);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, isDefault);
    const QImage defaultIcon(":/images/default-channel-icon.png");
    QVERIFY(!defaultIcon.isNull());
    if (present)
        m_guides.mutable_list(indexOf("One"))->set_icon(bytes.toStdString());
    const QImage expected = isDefault ? defaultIcon : QImage::fromData(bytes);
    // A pixmap may keep its pixels premultiplied; compared so, no rounding
    // of the way back stands between the two.
    QCOMPARE(load("One").icon().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
             expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

void TestChannelModel::guideOnlyWhenAsked()
{
    QVERIFY(!load("One", false).hasProgrammeGuide());
    QVERIFY(load("One").hasProgrammeGuide());  // an empty guide is still a guide
    QCOMPARE(m_channel->telecastNow(), nullptr);
    QVERIFY(load("Evening", false).telecasts().isEmpty());
    load("Evening");
    QCOMPARE(idsOf(load("Evening").telecasts()), QList<int>({1, 2, 3}));  // a reload replaces
    QCOMPARE(m_channel->children().size(), 3);
}

void TestChannelModel::guideTimesAreServerLocal32BitSeconds()
{
    ServerClock::synchronise(quint32(kBase), 3 * 3600);
    const QList<Telecast*>& telecasts = load("Wide").telecasts();
    QCOMPARE(telecasts.size(), 2);
    QCOMPARE(telecasts[0]->id(), 41);
    QCOMPARE(telecasts[0]->start(), int(kBase + 3 * 3600));
    QCOMPARE(telecasts[0]->stop(), int(kBase + kHour + 3 * 3600));
    QCOMPARE(telecasts[0]->title(), QString("News"));
    QCOMPARE(telecasts[0]->channel(), m_channel.get());
    QCOMPARE(telecasts[1]->start(), 500 + 3 * 3600);
    QCOMPARE(telecasts[1]->stop(), 900 + 3 * 3600);
}

// Over the "Lookup" guide, sent out of order: the telecast holding a time is
// the first sent, and places away count in the order sent.
void TestChannelModel::lookups()
{
    QFETCH(QJsonObject, c);
    const qint64 time = kBase + c["at"].toInt();
    const int places = c["places"].toInt();
    QCOMPARE(idsOf(load("Lookup").telecasts()), QList<int>({3, 1, 2, 4}));
    QCOMPARE(idOf(m_channel->telecastAway(time, places)), c["id"].toInt());
    if (places == 0)
        QCOMPARE(idOf(m_channel->telecastAt(time)), c["id"].toInt());
}

void TestChannelModel::neighboursAndNow()
{
    FixedClock clock(kBase + kHour + 30);
    QVERIFY(!ServerClock::isKnown());
    const QList<Telecast*>& t = load("Evening").telecasts();
    QCOMPARE(m_channel->telecastBefore(t[1]), t[0]);
    QCOMPARE(m_channel->telecastAfter(t[0]), t[1]);
    QCOMPARE(m_channel->telecastBefore(t[0]), nullptr);
    QCOMPARE(m_channel->telecastAfter(t[1]), nullptr);
    QCOMPARE(m_channel->telecastBefore(t[2]), nullptr);
    QCOMPARE(m_channel->telecastBefore(nullptr), nullptr);
    // Before any synchronisation "now" is the local clock's.
    QCOMPARE(m_channel->telecastNow(), t[1]);
    QCOMPARE(m_channel->refreshTime(), clock.now());
}

void TestChannelModel::offsetTable()
{
    QFETCH(QJsonObject, c);
    for (const int id : ints(c["ids"]))
        m_guides.mutable_list(indexOf("One"))->add_offset(id);
    const QJsonArray table = c["table"].toArray();
    QCOMPARE(load("One").hasTimeOffsets(), !table.isEmpty());
    QCOMPARE(m_channel->offsetCount(), table.size());
    for (int k = 0; k < table.size(); ++k) {
        const TimeOffset& offset = m_channel->timeOffsets().at(k);
        QCOMPARE(QList<int>({offset.id, offset.minutes}), ints(table[k]));
    }
}

void TestChannelModel::selectedOffset()
{
    FixedClock clock(kBase);
    Channel& channel = load("One");
    QCOMPARE(channel.currentOffsetId(), 1);
    QCOMPARE(channel.currentOffsetMinutes(), 0);
    for (const int id : {1, 7, 8})
        m_guides.mutable_list(indexOf("One"))->add_offset(id);
    load("One");
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

void TestChannelModel::refreshLocatesTheTelecasts()
{
    FixedClock clock(kBase + 10 * 60);
    Channel& channel = load("Timeshift");
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

void TestChannelModel::volume()
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

void TestChannelModel::listsInServerOrUserOrder()
{
    ChannelManager& manager = *m_manager;
    QCOMPARE(namesOf(manager), QStringList({"One", "Two", "Three"}));
    QCOMPARE(manager.GetChannelsList()->size(), 3);
    QCOMPARE(manager.channelAt(2)->listPosition(), 2);
    QCOMPARE(manager.channelAt(0)->telecasts().size(), 2);
    QCOMPARE(manager.closedChannelCount(), 1);

    Settings::instance()->setShowUserChannels(true);
    const proto::UserChannelResponse user = userList({3, 99, 1, 3});
    QTest::ignoreMessage(QtDebugMsg, "[ChannelManager] load user channel list ");
    manager.loadFrom({&m_list, &user});
    QCOMPARE(namesOf(manager), QStringList({"Three", "One", "Three"}));
    QCOMPARE(manager.channelAt(0)->listPosition(), 2);
    QVERIFY(Settings::instance()->showUserChannels());
}

void TestChannelModel::emptyUserListTurnsTheSettingOff_data()
{
    QTest::addColumn<bool>("withUserList");
    QTest::newRow("no user list loaded") << false;
    QTest::newRow("a user list without ids") << true;
}

void TestChannelModel::emptyUserListTurnsTheSettingOff()
{
    QFETCH(bool, withUserList);
    Settings::instance()->setShowUserChannels(true);
    const proto::UserChannelResponse user = userList({});
    QTest::ignoreMessage(QtDebugMsg, "Loaded user channel list is empty. Off use channel list");
    QTest::ignoreMessage(QtDebugMsg, "[ChannelManager] load full channel list ");
    m_manager->loadFrom({&m_list, withUserList ? &user : nullptr});
    QVERIFY(!Settings::instance()->showUserChannels());
    QCOMPARE(m_manager->channelCount(), 3);
}

void TestChannelModel::duplicatesAreAllListedAndTheFirstIsFound()
{
    ChannelManager& manager = *m_manager;
    m_list.add_list()->CopyFrom(m_list.list(0));
    m_list.mutable_list(3)->set_id(4);
    m_list.add_list()->CopyFrom(m_list.list(0));
    m_list.mutable_list(4)->set_name("Again");
    manager.loadFrom({&m_list});
    QCOMPARE(namesOf(manager), QStringList({"One", "Two", "Three", "One", "Again"}));
    QCOMPARE(manager.channelByName("One")->id(), 1);
    QCOMPARE(manager.channelByName("one"), nullptr);
    QCOMPARE(manager.channelByName("Two")->id(), 2);
    manager.setShowCloseChannel(false);
    QCOMPARE(manager.channelByName("Two"), nullptr);  // only visible channels

    // The user's list takes the first entry of an id.
    Settings::instance()->setShowUserChannels(true);
    const proto::UserChannelResponse user = userList({1});
    manager.loadFrom({&m_list, &user});
    QCOMPARE(namesOf(manager), QStringList({"One"}));
}

void TestChannelModel::volumesAndUserInformationAreCopied()
{
    const auto settings = answer<proto::GetStbSettingsResponse>("volumes.txtpb");
    const auto info = answer<proto::GetUserInfoResponse>("userinfo.txtpb");
    m_manager->loadFrom({&m_list, nullptr, &settings, &info});
    QCOMPARE(m_manager->channelAt(0)->volume(), 30);
    QCOMPARE(m_manager->channelAt(1)->volume(), Channel::kDefaultVolume);
    QCOMPARE(m_manager->channelAt(2)->volume(), 100);

    const UserInformation& user = m_manager->userInformation();
    QCOMPARE(user.fullName, QString("Ivan Petrov"));
    QCOMPARE(user.tariff, QString("Basic"));
    QCOMPARE(user.tvPackages, QString("Sport, Kids"));
    QCOMPARE(user.balance, -3.75);
    QCOMPARE(user.cost, 299.5);
    QVERIFY(user.blocked);
    QCOMPARE(user.accountId, 4711);
    QVERIFY(user.videoOnDemand);
}

void TestChannelModel::finishedLoadSignalsAndReplacesTheList()
{
    ChannelManager& manager = *m_manager;
    QPointer<Channel> old = manager.channelAt(0);
    manager.setCurrentChannel(old);
    QStringList order;
    const auto record = [&order, &manager](auto signal, const char* name) {
        QObject::connect(&manager, signal, &manager, [&order, name] { order.append(name); });
    };
    record(&ChannelManager::channelListChanged, "list");
    record(&ChannelManager::loadDenyImageFinished, "deny image");
    record(&ChannelManager::loadUserInfoFinished, "user info");
    record(&ChannelManager::loadFinished, "finished");
    record(&ChannelManager::loadTimeShiftDenyImageFinished, "timeshift deny image");
    manager.load();
    QVERIFY(manager.isLoading());
    manager.loadFrom({&m_list});
    QCOMPARE(order, QStringList({"list", "list", "deny image", "user info", "finished",
                                 "timeshift deny image"}));  // the first: the old list goes
    QVERIFY(manager.isLoaded());
    QVERIFY(!manager.isLoading());
    QCOMPARE(manager.channelCount(), 3);
    QVERIFY(old.isNull());
    QCOMPARE(manager.currentChannel(), nullptr);

    // Even answers without a channel list finish a load.
    const proto::ChannelListResponse empty;
    order.clear();
    manager.loadFrom({&empty});
    QVERIFY(order.contains("finished"));
    QVERIFY(manager.isLoaded());
    QCOMPARE(manager.channelCount(), 0);
    QCOMPARE(manager.channelAt(0), nullptr);
    QVERIFY(manager.findTelecasts({}, {}).isEmpty());
}

void TestChannelModel::closedChannelsHiddenAndFlagsAnnounceOnlyChanges()
{
    ChannelManager& manager = *m_manager;
    Channel* two = manager.channelAt(1);
    QSignalSpy changed(&manager, &ChannelManager::channelListChanged);
    manager.setShowHD(true);
    manager.setShowCloseChannel(true);
    manager.setUserChannelList(false);
    QCOMPARE(changed.size(), 0);
    manager.setShowHD(false);
    manager.setUserChannelList(true);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(manager.channelCount(), 3);  // neither hides a channel

    manager.setShowCloseChannel(false);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(manager.channelCount(), 2);
    QCOMPARE(manager.channelAt(1)->name(), QString("Three"));
    QCOMPARE(manager.channelAt(2), nullptr);
    QCOMPARE(manager.channelAt(-1), nullptr);
    QCOMPARE(manager.indexOf(two), -1);
    QCOMPARE(manager.indexOf(manager.channelAt(1)), 1);
    manager.setShowCloseChannel(true);
    QCOMPARE(manager.channelCount(), 3);
    QCOMPARE(manager.indexOf(two), 1);
}

void TestChannelModel::telecastSearch()
{
    QFETCH(QJsonObject, c);
    m_manager->setShowCloseChannel(!c["hideClosed"].toBool());
    const QList<Telecast*> found =
        m_manager->findTelecasts(c["channel"].toString(), c["text"].toString());
    QCOMPARE(titlesOf(found), c["titles"].toVariant().toStringList());
}

void TestChannelModel::loadStatesAndFailures()
{
    ChannelManager& manager = *m_manager;
    QSignalSpy started(&manager, &ChannelManager::loadStarted);
    manager.load();
    QCOMPARE(started.size(), 1);
    QCOMPARE(manager.loadState(), ChannelManager::Loading);
    manager.cancelLoad();
    QCOMPARE(manager.loadState(), ChannelManager::Idle);
    manager.saveVolume();
    QCOMPARE(manager.loadState(), ChannelManager::SavingVolume);
    QVERIFY(QMetaObject::invokeMethod(&manager, "volumeSaved"));
    QCOMPARE(manager.loadState(), ChannelManager::Idle);

    // A server error fails only a load.
    QSignalSpy failed(&manager, &ChannelManager::loadFailed);
    QVERIFY(QMetaObject::invokeMethod(&manager, "iptvServerError"));
    QCOMPARE(failed.size(), 0);
    manager.load();
    QVERIFY(QMetaObject::invokeMethod(&manager, "iptvServerError"));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(manager.loadState(), ChannelManager::Idle);
}

void TestChannelModel::clearDropsEverythingAndReloadsWhatWasLoaded()
{
    ChannelManager& manager = *m_manager;
    QPointer<Channel> first = manager.channelAt(0);
    manager.setCurrentChannel(manager.channelAt(1));
    manager.setCurrentChannel(first);
    QSignalSpy current(&manager, &ChannelManager::currentChannelChanged);
    QSignalSpy listChanged(&manager, &ChannelManager::channelListChanged);
    QSignalSpy started(&manager, &ChannelManager::loadStarted);
    manager.clear();
    QCOMPARE(current.size(), 1);
    QCOMPARE(current.at(0).at(0).value<Channel*>(), nullptr);
    QCOMPARE(listChanged.size(), 1);
    QVERIFY(first.isNull());
    QCOMPARE(manager.currentChannel(), nullptr);
    QCOMPARE(manager.previousChannel(), nullptr);
    QCOMPARE(manager.channelCount(), 0);
    QCOMPARE(manager.closedChannelCount(), 0);
    QVERIFY(!manager.isLoaded());
    QCOMPARE(started.size(), 0);

    QVERIFY(QMetaObject::invokeMethod(&manager, "clearAndReload"));
    QCOMPARE(started.size(), 0);  // nothing was loaded
    manager.loadFrom({&m_list});
    QVERIFY(QMetaObject::invokeMethod(&manager, "clearAndReload"));
    QCOMPARE(started.size(), 1);
    QCOMPARE(manager.channelCount(), 0);
    QVERIFY(manager.isLoading());
}

void TestChannelModel::currentChannelThroughTheGuard()
{
    ChannelManager& manager = *m_manager;
    ScriptedGuard guard;
    manager.setChannelChangeGuard(&guard);
    Channel* one = manager.channelAt(0);
    Channel* three = manager.channelAt(2);
    QSignalSpy changed(&manager, &ChannelManager::currentChannelChanged);
    manager.setCurrentChannel(one);
    manager.setCurrentChannel(three);
    guard.allow = false;
    manager.setCurrentChannel(one);
    QCOMPARE(changed.size(), 2);
    QCOMPARE(changed.at(1).at(0).value<Channel*>(), three);
    QCOMPARE(manager.currentChannel(), three);
    QCOMPARE(manager.previousChannel(), one);

    guard.allow = true;
    manager.setCurrentChannel(three);  // the same channel is announced again
    QCOMPARE(changed.size(), 3);
    QCOMPARE(manager.previousChannel(), three);
    using Change = QPair<Channel*, Channel*>;
    QCOMPARE(guard.asked,
             QList<Change>({{nullptr, one}, {one, three}, {three, one}, {three, three}}));
}

void TestChannelModel::keepAliveFollowsTheServersInterval()
{
    ChannelManager& manager = *m_manager;
    QSignalSpy urls(&manager, &ChannelManager::getCurrentChannelUrl);
    QCOMPARE(manager.keepAliveInterval(), 10000);
    QCOMPARE(manager.updateInterval(), -1);
    const auto opened = [&manager](int streamId, int interval) {
        return QMetaObject::invokeMethod(&manager, "onOpenStreamCompleted",
                                         Q_ARG(QString, "udp://@239.0.0.1:1234"),
                                         Q_ARG(int, streamId), Q_ARG(int, interval));
    };
    QVERIFY(opened(7, 30));
    QCOMPARE(manager.keepAliveInterval(), 30000);
    QCOMPARE(manager.streamId(), 7);
    QVERIFY(opened(8, 45));
    QCOMPARE(manager.keepAliveInterval(), 45000);
    // Without an interval the default is remembered but the timer keeps its
    // period; a later 10 is then a change.
    QVERIFY(opened(9, -1));
    QCOMPARE(manager.updateInterval(), ChannelManager::kDefaultUpdateInterval);
    QCOMPARE(manager.keepAliveInterval(), 45000);
    QVERIFY(opened(10, 10));
    QCOMPARE(manager.keepAliveInterval(), 10000);
    QVERIFY(opened(11, 0));
    QCOMPARE(manager.keepAliveInterval(), 10000);
    QCOMPARE(manager.streamId(), 11);
    QCOMPARE(urls.size(), 5);
    QCOMPARE(urls.at(0).at(0).toString(), QString("udp://@239.0.0.1:1234"));
}

QTEST_MAIN(TestChannelModel)
#include "tst_channelmodel.moc"
