// Channels and their telecasts over guides.txtpb, one channel at a time; the
// channel manager over channels.txtpb (One, Two closed, Three).

#include "channel.h"
#include "channeldata.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "fixedclock.h"
#include "recordschedule.h"
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

// Records what the telecasts ask of the schedule, a removal with the flag the
// telecast had when it was asked.
struct FakeSchedule final : RecordSchedule
{
    bool accept = true;
    QStringList asked;

    bool add(Telecast*) override { return asked.append("add"), accept; }
    void remove(Telecast* telecast) override
    {
        asked.append(QString("remove %1").arg(telecast->isRecordScheduled()));
    }
};

QJsonArray idsOf(const QList<Telecast*>& telecasts)
{
    QJsonArray ids;
    for (const Telecast* telecast : telecasts)
        ids.append(telecast->id());
    return ids;
}

}  // namespace

class TestChannelModel : public QObject
{
    Q_OBJECT

    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_guides;
    std::unique_ptr<Channel> m_channel;
    proto::ChannelListResponse m_list;
    std::unique_ptr<ChannelManager> m_manager;  // loaded with m_list

    // Past the end of the list when there is no such guide.
    int indexOf(const QString& name) const
    {
        int index = 0;
        while (index < m_guides.list_size() && m_guides.list(index).name() != name.toStdString())
            ++index;
        return index;
    }
    proto::Channel* entry(const QString& name) { return m_guides.mutable_list(indexOf(name)); }
    Channel& load(const QString& name, bool withGuide = true)
    {
        m_channel->load(&m_guides, indexOf(name), withGuide);
        return *m_channel;
    }

private slots:
    void init()
    {
        m_profile = std::make_unique<TemporaryProfile>();
        m_guides = answer<proto::ChannelListResponse>("guides.txtpb");
        m_channel = std::make_unique<Channel>();
        m_list = answer<proto::ChannelListResponse>("channels.txtpb");
        m_manager = std::make_unique<ChannelManager>();
        m_manager->loadFrom({&m_list});
    }

    void cleanup()
    {
        m_manager.reset();
        m_channel.reset();
        Telecast::setRecordSchedule(nullptr);
        ServerClock::reset();
        Settings::destroy();
        m_profile.reset();
    }

    void changingAFieldUnschedulesIt_data() { addCases("model.json", "unscheduling"); }
    void changingAFieldUnschedulesIt()
    {
        QFETCH(QJsonObject, c);
        Telecast telecast;
        telecast.setRecordScheduled(true);
        const int value = c["value"].toInt();
        const QHash<QString, std::function<void()>> set = {
            {"id", [&] { telecast.setId(value); }},
            {"start", [&] { telecast.setStart(value); }},
            {"stop", [&] { telecast.setStop(value); }},
            {"title", [&] { telecast.setTitle(c["value"].toString()); }},
        };
        set[c["field"].toString()]();
        QCOMPARE(telecast.isRecordScheduled(), c["scheduled"].toBool());
    }

    void completeness_data() { addCases("model.json", "completeness"); }
    void completeness()
    {
        QFETCH(QJsonObject, c);
        Telecast telecast(c["orphan"].toBool() ? nullptr : m_channel.get());
        telecast.setStart(c["start"].toInt());
        telecast.setStop(c["stop"].toInt());
        telecast.setTitle(c["title"].toString());
        QCOMPARE(telecast.isComplete(), c["complete"].toBool());
    }

    // The telecast runs from kBase for an hour; "now" is 80 minutes later, so
    // an offset of -m minutes lands 80 - m minutes into it. Before each case
    // the telecast holds three markers from an earlier refresh.
    void markersAreRecomputedFromScratch_data() { addCases("model.json", "markers"); }
    void markersAreRecomputedFromScratch()
    {
        QFETCH(QJsonObject, c);
        QList<TimeOffset> offsets;
        for (const QJsonValue& minutes : c["minutes"].toArray())
            offsets.append({int(offsets.size()) + 2, minutes.toInt()});
        Telecast telecast;
        telecast.setStart(kBase);
        telecast.setStop(kBase + kHour);
        telecast.updateMarkers({{2, -25}, {3, -55}, {4, -75}}, kBase + 80 * 60);
        telecast.updateMarkers(offsets, kBase + 80 * 60);
        const Telecast::Markers& m = telecast.markers();
        QCOMPARE(QJsonArray({m.count, m.first, m.middle, m.last}), c["markers"].toArray());
    }

    void scheduleIsAskedOncePerChange_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("refused") << false;
    }
    void scheduleIsAskedOncePerChange()
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
        telecast.setRecordScheduled(false);
        QVERIFY(!telecast.isRecordScheduled());
        // Cleared before the schedule is told.
        QCOMPARE(schedule.asked, accept ? QStringList({"add", "remove 0"}) : QStringList({"add"}));
    }

    void loadsTheEntryAtItsIndex_data() { addCases("model.json", "entries"); }
    void loadsTheEntryAtItsIndex()
    {
        QFETCH(QJsonObject, c);
        const bool loaded = c.contains("name");
        m_channel->load(c["response"].toBool() ? &m_guides : nullptr, c["index"].toInt(), true);
        QCOMPARE(m_channel->name(), c["name"].toString());
        QCOMPARE(m_channel->listPosition(), c["index"].toInt());
        QCOMPARE(m_channel->isIconSet(), loaded);
        QCOMPARE(m_channel->hasProgrammeGuide(), loaded);
        if (!loaded)
            return;
        QCOMPARE(QVariantList({m_channel->id(), m_channel->isAvailable(),
                               m_channel->telecasts().at(0)->title(), m_channel->volume(),
                               m_channel->currentOffsetId()}),
                 QVariantList({20, false, QString::fromUtf8("Новости"), Channel::kDefaultVolume,
                               Channel::kLiveOffsetId}));
    }

    void icon_data() { addCases("model.json", "icons"); }
    void icon()
    {
        QFETCH(QJsonObject, c);
        const QByteArray bytes =
            c.contains("file") ? read(c["file"].toString()) : c["bytes"].toString().toUtf8();
        if (c.contains("file") || c.contains("bytes"))
            entry("One")->set_icon(bytes.toStdString());
        const QImage expected = c.contains("file") ? QImage::fromData(bytes)
                                                   : QImage(":/images/default-channel-icon.png");
        QVERIFY(!expected.isNull());
        // Compared premultiplied, as a pixmap may keep them: no rounding on the way back.
        const auto format = QImage::Format_ARGB32_Premultiplied;
        QCOMPARE(load("One").icon().toImage().convertToFormat(format),
                 expected.convertToFormat(format));
    }

    void guideOnlyWhenAsked()
    {
        QVERIFY(!load("One", false).hasProgrammeGuide());
        QVERIFY(load("One").hasProgrammeGuide());  // an empty guide is still a guide
        QCOMPARE(m_channel->telecastNow(), nullptr);
        QVERIFY(load("Evening", false).telecasts().isEmpty());
        load("Evening");
        QCOMPARE(idsOf(load("Evening").telecasts()), QJsonArray({1, 2, 3}));  // replaced
        QCOMPARE(m_channel->children().size(), 3);
    }

    void guideTimesAreServerLocal32BitSeconds()
    {
        const int utcOffset = 3 * 3600;
        ServerClock::synchronise(quint32(kBase), utcOffset);
        const QList<Telecast*>& telecasts = load("Wide").telecasts();
        QCOMPARE(idsOf(telecasts), QJsonArray({41, 42}));
        QCOMPARE(QList<qint64>({telecasts[0]->start(), telecasts[0]->stop(), telecasts[1]->start(),
                                telecasts[1]->stop()}),
                 QList<qint64>({kBase + utcOffset, kBase + kHour + utcOffset, 500 + utcOffset,
                                900 + utcOffset}));
        QCOMPARE(telecasts[0]->title(), QString("News"));
        QCOMPARE(telecasts[0]->channel(), m_channel.get());
    }

    // Over the "Lookup" guide, sent out of order: the telecast holding a time
    // is the first sent, and places away count in the order sent.
    void lookups_data() { addCases("model.json", "lookups"); }
    void lookups()
    {
        QFETCH(QJsonObject, c);
        const qint64 time = kBase + c["at"].toInt();
        const int places = c["places"].toInt();
        const auto idOf = [](const Telecast* telecast) { return telecast ? telecast->id() : 0; };
        QCOMPARE(idsOf(load("Lookup").telecasts()), QJsonArray({3, 1, 2, 4}));
        QCOMPARE(idOf(m_channel->telecastAway(time, places)), c["id"].toInt());
        if (places == 0)
            QCOMPARE(idOf(m_channel->telecastAt(time)), c["id"].toInt());
    }

    void neighboursAndNow()
    {
        FixedClock clock(kBase + kHour + 30);
        QVERIFY(!ServerClock::isKnown());
        const QList<Telecast*>& t = load("Evening").telecasts();
        const auto before = [this](const Telecast* of) { return m_channel->telecastBefore(of); };
        const auto after = [this](const Telecast* of) { return m_channel->telecastAfter(of); };
        QCOMPARE(QList<Telecast*>({before(t[1]), after(t[0]), before(t[0]), after(t[1]),
                                   before(t[2]), before(nullptr)}),
                 QList<Telecast*>({t[0], t[1], nullptr, nullptr, nullptr, nullptr}));
        // Before any synchronisation "now" is the local clock's.
        QCOMPARE(m_channel->telecastNow(), t[1]);
        QCOMPARE(m_channel->refreshTime(), clock.now());
    }

    void offsetTable_data() { addCases("model.json", "offset tables"); }
    void offsetTable()
    {
        QFETCH(QJsonObject, c);
        for (const QJsonValue& id : c["ids"].toArray())
            entry("One")->add_offset(id.toInt());
        const QJsonArray table = c["table"].toArray();
        QCOMPARE(load("One").hasTimeOffsets(), !table.isEmpty());
        QCOMPARE(m_channel->offsetCount(), table.size());
        for (int k = 0; k < table.size(); ++k) {
            const TimeOffset& offset = m_channel->timeOffsets().at(k);
            QCOMPARE(QJsonArray({offset.id, offset.minutes}), table[k].toArray());
        }
    }

    void selectedOffset()
    {
        FixedClock clock(kBase);
        for (const int id : {1, 7, 8})
            entry("One")->add_offset(id);
        Channel& channel = load("One");
        const auto selected = [&channel] {
            return QList<qint64>{channel.currentOffsetId(), channel.currentOffsetMinutes(),
                                 channel.shiftedTime()};
        };
        QCOMPARE(selected(), QList<qint64>({1, 0, kBase}));
        channel.selectOffset(1);
        QCOMPARE(selected(), QList<qint64>({8, -120, kBase - 2 * kHour}));
        QCOMPARE(channel.indexOfOffset(-60), 0);
        QCOMPARE(channel.indexOfOffset(-45), -1);

        channel.selectOffset(5);
        QCOMPARE(channel.offsetIndex(), 1);
        channel.selectOffset(-3);
        QVERIFY(channel.isLive());
    }

    void refreshLocatesTheTelecasts()
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

    void volume()
    {
        QSignalSpy changed(m_channel.get(), &Channel::volumeChanged);
        for (const int volume : {150, 50, 50, 70})
            m_channel->setVolume(volume);
        QCOMPARE(m_channel->volume(), 70);
        QCOMPARE(QList<QVariantList>(changed), QList<QVariantList>({{100}, {50}, {70}}));
    }

    // Each step does one thing to the manager loaded with channels.txtpb and
    // checks what its keys name; "emits" lists the signals of that step.
    void scenarios_data() { addCases("manager.json", "scenarios"); }
    void scenarios()
    {
        QFETCH(QJsonObject, c);
        ChannelManager& manager = *m_manager;
        ScriptedGuard guard;
        manager.setChannelChangeGuard(&guard);
        QObject scope;  // of the connections
        QStringList emitted;
        const auto record = [&](auto signal, const char* name) {
            connect(&manager, signal, &scope, [&emitted, name] { emitted.append(name); });
        };
        record(&ChannelManager::loadStarted, "loadStarted");
        record(&ChannelManager::loadFinished, "loadFinished");
        record(&ChannelManager::loadDenyImageFinished, "loadDenyImageFinished");
        record(&ChannelManager::loadTimeShiftDenyImageFinished, "loadTimeShiftDenyImageFinished");
        record(&ChannelManager::loadUserInfoFinished, "loadUserInfoFinished");
        record(&ChannelManager::loadFailed, "loadFailed");
        record(&ChannelManager::channelListChanged, "channelListChanged");
        record(&ChannelManager::currentChannelChanged, "currentChannelChanged");
        record(&ChannelManager::getCurrentChannelUrl, "getCurrentChannelUrl");
        QSignalSpy announced(&manager, &ChannelManager::currentChannelChanged);
        QSignalSpy urls(&manager, &ChannelManager::getCurrentChannelUrl);
        const QList<QPointer<Channel>> initial(manager.GetChannelsList()->begin(),
                                               manager.GetChannelsList()->end());
        const auto named = [&manager](const QJsonValue& name) -> Channel* {
            const QList<Channel*>& all = *manager.GetChannelsList();
            const auto it = std::find_if(all.begin(), all.end(), [&name](Channel* one) {
                return one->name() == name.toString();
            });
            return it == all.end() ? nullptr : *it;
        };
        const auto orNull = [](const QString& name) {
            return name.isNull() ? QJsonValue() : QJsonValue(name);
        };
        const auto nameOf = [&](const Channel* channel) {
            return orNull(ScriptedGuard::nameOf(channel));
        };
        const auto visible = [&manager](auto field) {
            QJsonArray values;
            for (int i = 0; i < manager.channelCount(); ++i)
                values.append(field(manager.channelAt(i)));
            return values;
        };
        for (const QJsonValue& value : c["steps"].toArray()) {
            const QJsonObject step = value.toObject();
            const QString action = step["do"].toString();
            const QJsonValue arg = step["arg"];
            for (const QJsonValue& line : step["logs"].toArray())
                QTest::ignoreMessage(QtDebugMsg, qPrintable(line.toString()));
            guard.allow = step["allow"].toBool(true);
            if (action == "current") {
                manager.setCurrentChannel(named(arg));
            } else if (action == "reload") {
                Settings::instance()->setShowUserChannels(step["userSetting"].toBool());
                const auto list =
                    answer<proto::ChannelListResponse>(step["list"].toString("channels.txtpb"));
                proto::UserChannelResponse user;
                for (const QJsonValue& id : step["user"].toArray())
                    user.mutable_data()->add_channel_id(id.toInt());
                const auto settings =
                    answer<proto::GetStbSettingsResponse>(step["settings"].toString("empty.txtpb"));
                const auto info =
                    answer<proto::GetUserInfoResponse>(step["info"].toString("empty.txtpb"));
                manager.loadFrom(
                    {&list, step.contains("user") ? &user : nullptr, &settings, &info});
            } else if (action == "opened") {
                const int stream = arg[0].toInt();
                QVERIFY(QMetaObject::invokeMethod(
                    &manager, "onOpenStreamCompleted",
                    Q_ARG(QString, QString("udp://@239.0.0.%1:1234").arg(stream)),
                    Q_ARG(int, stream), Q_ARG(int, arg[1].toInt())));
            } else if (arg.isBool()) {
                QVERIFY(QMetaObject::invokeMethod(&manager, qPrintable(action),
                                                  Q_ARG(bool, arg.toBool())));
            } else if (!action.isEmpty()) {
                QVERIFY(QMetaObject::invokeMethod(&manager, qPrintable(action)));
            }
            QCOMPARE(manager.channelAt(manager.channelCount()), nullptr);
            QCOMPARE(manager.channelAt(-1), nullptr);
            QJsonArray asked;
            for (const auto& [from, to] : guard.asked)
                asked.append(QJsonArray({orNull(from), orNull(to)}));
            QJsonObject indexOf = step["indexOf"].toObject();
            for (auto it = indexOf.begin(); it != indexOf.end(); ++it)
                it.value() = manager.indexOf(named(it.key()));
            QJsonObject byName = step["byName"].toObject();
            for (auto it = byName.begin(); it != byName.end(); ++it) {
                const Channel* found = manager.channelByName(it.key());
                it.value() = found ? QJsonValue(found->id()) : QJsonValue();
            }
            const UserInformation& u = manager.userInformation();
            const QMap<QString, QJsonValue> observed = {
                {"emits", QJsonArray::fromStringList(std::exchange(emitted, {}))},
                {"names", visible([](Channel* channel) { return channel->name(); })},
                {"positions", visible([](Channel* channel) { return channel->listPosition(); })},
                {"volumes", visible([](Channel* channel) { return channel->volume(); })},
                {"state", QList<QString>{"idle", "loading", "saving volume"}[manager.loadState()]},
                {"loaded", manager.isLoaded()},
                {"current", nameOf(manager.currentChannel())},
                {"previous", nameOf(manager.previousChannel())},
                {"announced",
                 nameOf(announced.isEmpty() ? nullptr : announced.last()[0].value<Channel*>())},
                {"asked", asked},
                {"byName", byName},
                {"indexOf", indexOf},
                {"closed", manager.closedChannelCount()},
                {"showUserChannels", Settings::instance()->showUserChannels()},
                {"userInformation", QJsonArray({u.fullName, u.tariff, u.tvPackages, u.balance,
                                                u.cost, u.blocked, u.accountId, u.videoOnDemand})},
                {"keepAliveMs", manager.keepAliveInterval()},
                {"updateInterval", manager.updateInterval()},
                {"streamId", manager.streamId()},
                {"url", urls.isEmpty() ? QString() : urls.last()[0].toString()},
                {"oldChannelsGone", initial.count(nullptr) == initial.size()},
            };
            static const QStringList kActing = {"do",   "arg",         "logs",     "allow", "list",
                                                "user", "userSetting", "settings", "info"};
            for (auto it = step.begin(); it != step.end(); ++it) {
                const bool holds = observed.contains(it.key()) && observed[it.key()] == it.value();
                QVERIFY2(kActing.contains(it.key()) || holds,
                         qPrintable(QString("%1 is %2 after %3")
                                        .arg(it.key(),
                                             QJsonDocument(QJsonArray{observed.value(it.key())})
                                                 .toJson(QJsonDocument::Compact),
                                             QJsonDocument(step).toJson(QJsonDocument::Compact))));
            }
        }
    }

    void telecastSearch_data() { addCases("model.json", "searches"); }
    void telecastSearch()
    {
        QFETCH(QJsonObject, c);
        const auto list = answer<proto::ChannelListResponse>(c["list"].toString("channels.txtpb"));
        m_manager->loadFrom({&list});
        m_manager->setShowCloseChannel(!c["hideClosed"].toBool());
        QJsonArray titles;
        for (const Telecast* found :
             m_manager->findTelecasts(c["channel"].toString(), c["text"].toString()))
            titles.append(found->title());
        QCOMPARE(titles, c["titles"].toArray());
    }
};

QTEST_MAIN(TestChannelModel)
#include "tst_channelmodel.moc"
