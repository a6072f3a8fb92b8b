#include "channel.h"
#include "channelchangeguard.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "guideanswers.h"
#include "scriptedguard.h"
#include "telecast.h"
#include "temporaryprofile.h"

#include "stb_params.pb.h"
#include "user_channels.pb.h"
#include "user_info.pb.h"

#include <google/protobuf/text_format.h>

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace GuideAnswers;

namespace {

const qint64 kBase = 1700002800;

// One, Two (closed) and Three, each with a morning guide.
proto::ChannelListResponse threeChannels()
{
    proto::ChannelListResponse list;
    const char* const names[] = {"One", "Two", "Three"};
    for (int i = 0; i < 3; ++i) {
        proto::Channel* channel = addChannel(list, i + 1, names[i], i != 1);
        addTelecast(channel, 10 * i + 1, kBase, kBase + 1800,
                    std::string("Morning News ") + names[i]);
        addTelecast(channel, 10 * i + 2, kBase + 1800, kBase + 3600, "Weather");
    }
    return list;
}

QStringList namesOf(const ChannelManager& manager)
{
    QStringList names;
    for (int i = 0; i < manager.channelCount(); ++i)
        names.append(manager.channelAt(i)->name());
    return names;
}

QStringList titlesOf(const QList<Telecast*>& telecasts)
{
    QStringList titles;
    for (const Telecast* telecast : telecasts)
        titles.append(telecast->title());
    return titles;
}

}  // namespace

class TestChannelManager : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void fullListInServerOrder();
    void userListInTheUsersOrder();
    void emptyUserListTurnsTheSettingOff_data();
    void emptyUserListTurnsTheSettingOff();
    void duplicatesAreAllListedAndTheFirstIsFound();
    void volumesFromTheStoredSettings();
    void userInformationIsCopied();
    void emptyAnswersStillFinish();
    void loadAgainReplacesTheList();
    void signalsOfAFinishedLoad();

    void closedChannelsHiddenAndFlagsAnnounceOnlyChanges();
    void telecastSearch_data();
    void telecastSearch();

    void loadStatesAndFailures();
    void clearDropsEverything();
    void clearAndReloadOnlyReloadsWhatWasLoaded();

    void currentAndPreviousChannel();
    void guardRefusesAChange();

    void keepAliveFollowsTheServersInterval();

private:
    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_list;
    std::unique_ptr<ChannelManager> m_manager;  // loaded with m_list
};

void TestChannelManager::init()
{
    m_profile = std::make_unique<TemporaryProfile>();
    m_list = threeChannels();
    m_manager = std::make_unique<ChannelManager>();
    m_manager->loadFrom({&m_list});
}

void TestChannelManager::cleanup()
{
    m_manager.reset();
    Settings::destroy();
    m_profile.reset();
}

void TestChannelManager::fullListInServerOrder()
{
    ChannelManager& manager = *m_manager;
    QCOMPARE(namesOf(manager), QStringList({"One", "Two", "Three"}));
    QCOMPARE(manager.GetChannelsList()->size(), 3);
    QCOMPARE(manager.channelAt(2)->listPosition(), 2);
    QCOMPARE(manager.channelAt(0)->telecasts().size(), 2);
    QCOMPARE(manager.closedChannelCount(), 1);
}

void TestChannelManager::userListInTheUsersOrder()
{
    Settings::instance()->setShowUserChannels(true);
    proto::UserChannelResponse user;
    for (const int id : {3, 99, 1, 3})
        user.mutable_data()->add_channel_id(id);
    ChannelManager manager;
    QTest::ignoreMessage(QtDebugMsg, "[ChannelManager] load user channel list ");
    manager.loadFrom({&m_list, &user});
    QCOMPARE(namesOf(manager), QStringList({"Three", "One", "Three"}));
    QCOMPARE(manager.channelAt(0)->listPosition(), 2);
    QVERIFY(Settings::instance()->showUserChannels());
}

void TestChannelManager::emptyUserListTurnsTheSettingOff_data()
{
    QTest::addColumn<bool>("withUserList");
    QTest::newRow("no user list loaded") << false;
    QTest::newRow("a user list without ids") << true;
}

void TestChannelManager::emptyUserListTurnsTheSettingOff()
{
    QFETCH(bool, withUserList);
    Settings::instance()->setShowUserChannels(true);
    proto::UserChannelResponse user;
    user.mutable_data()->set_enabled(true);
    ChannelManager manager;
    QTest::ignoreMessage(QtDebugMsg, "Loaded user channel list is empty. Off use channel list");
    QTest::ignoreMessage(QtDebugMsg, "[ChannelManager] load full channel list ");
    manager.loadFrom({&m_list, withUserList ? &user : nullptr});
    QVERIFY(!Settings::instance()->showUserChannels());
    QCOMPARE(manager.channelCount(), 3);
}

void TestChannelManager::duplicatesAreAllListedAndTheFirstIsFound()
{
    ChannelManager& manager = *m_manager;
    addChannel(m_list, 4, "One");
    addChannel(m_list, 1, "Again");
    manager.loadFrom({&m_list});
    QCOMPARE(namesOf(manager), QStringList({"One", "Two", "Three", "One", "Again"}));
    QCOMPARE(manager.channelByName("One")->id(), 1);
    QCOMPARE(manager.channelByName("one"), nullptr);
    QCOMPARE(manager.channelByName("Two")->id(), 2);
    manager.setShowCloseChannel(false);
    QCOMPARE(manager.channelByName("Two"), nullptr);  // only visible channels

    // The user's list takes the first entry of an id.
    Settings::instance()->setShowUserChannels(true);
    proto::UserChannelResponse user;
    user.mutable_data()->add_channel_id(1);
    manager.loadFrom({&m_list, &user});
    QCOMPARE(namesOf(manager), QStringList({"One"}));
}

void TestChannelManager::volumesFromTheStoredSettings()
{
    proto::GetStbSettingsResponse settings;
    proto::ChannelVolume* volumes = settings.mutable_data()->mutable_channel_volume();
    volumes->set_enabled(false);  // applied all the same
    for (const auto& [channel, volume] : {std::pair(1, 30), {1, 90}, {3, 150}, {42, 10}}) {
        auto* record = volumes->add_record();
        record->set_id_channel(channel);
        record->set_volume(volume);
    }
    ChannelManager manager;
    manager.loadFrom({&m_list, nullptr, &settings});
    QCOMPARE(manager.channelAt(0)->volume(), 30);
    QCOMPARE(manager.channelAt(1)->volume(), Channel::kDefaultVolume);
    QCOMPARE(manager.channelAt(2)->volume(), 100);
}

void TestChannelManager::userInformationIsCopied()
{
    proto::GetUserInfoResponse answer;
    QVERIFY(google::protobuf::TextFormat::ParseFromString(
        R"(status: OK info { fullname: "Ivan Petrov" tariff: "Basic" tv_packs: "Sport, Kids" balance: -3.75
                  cost: 299.5 is_blocked: true account_id: 4711 is_vod: true })",
        &answer));
    ChannelManager manager;
    manager.loadFrom({nullptr, nullptr, nullptr, &answer});
    const UserInformation& user = manager.userInformation();
    QCOMPARE(user.fullName, QString("Ivan Petrov"));
    QCOMPARE(user.tariff, QString("Basic"));
    QCOMPARE(user.tvPackages, QString("Sport, Kids"));
    QCOMPARE(user.balance, -3.75);
    QCOMPARE(user.cost, 299.5);
    QVERIFY(user.blocked);
    QCOMPARE(user.accountId, 4711);
    QVERIFY(user.videoOnDemand);
}

void TestChannelManager::emptyAnswersStillFinish()
{
    const proto::ChannelListResponse empty;
    ChannelManager manager;
    QSignalSpy finished(&manager, &ChannelManager::loadFinished);
    manager.loadFrom({&empty});
    QCOMPARE(finished.size(), 1);
    QVERIFY(manager.isLoaded());
    QCOMPARE(manager.channelCount(), 0);
    QCOMPARE(manager.channelAt(0), nullptr);
    QVERIFY(manager.findTelecasts({}, {}).isEmpty());
}

void TestChannelManager::loadAgainReplacesTheList()
{
    ChannelManager& manager = *m_manager;
    QPointer<Channel> old = manager.channelAt(0);
    manager.setCurrentChannel(old);
    manager.loadFrom({&m_list});
    QCOMPARE(manager.channelCount(), 3);
    QVERIFY(old.isNull());
    QCOMPARE(manager.currentChannel(), nullptr);
}

void TestChannelManager::signalsOfAFinishedLoad()
{
    ChannelManager manager;
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
    QCOMPARE(order,
             QStringList({"list", "deny image", "user info", "finished", "timeshift deny image"}));
    QVERIFY(manager.isLoaded());
    QVERIFY(!manager.isLoading());
}

void TestChannelManager::closedChannelsHiddenAndFlagsAnnounceOnlyChanges()
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

void TestChannelManager::telecastSearch_data()
{
    QTest::addColumn<bool>("showClosed");
    QTest::addColumn<QString>("channel");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("everywhere, any case")
        << true << ""
        << "NEWS" << QStringList({"Morning News One", "Morning News Two", "Morning News Three"});
    QTest::newRow("hidden closed channels are not searched")
        << false << ""
        << "news" << QStringList({"Morning News One", "Morning News Three"});
    QTest::newRow("one channel") << true << "Three"
                                 << "morning" << QStringList({"Morning News Three"});
    QTest::newRow("no text gives the whole guide")
        << true << "One"
        << "" << QStringList({"Morning News One", "Weather"});
    QTest::newRow("unknown channel") << true << "Four"
                                     << "" << QStringList();
    QTest::newRow("nothing matches") << true << ""
                                     << "football" << QStringList();
}

void TestChannelManager::telecastSearch()
{
    QFETCH(bool, showClosed);
    QFETCH(QString, channel);
    QFETCH(QString, text);
    QFETCH(QStringList, titles);
    ChannelManager& manager = *m_manager;
    manager.setShowCloseChannel(showClosed);
    QCOMPARE(titlesOf(manager.findTelecasts(channel, text)), titles);
}

void TestChannelManager::loadStatesAndFailures()
{
    ChannelManager manager;
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

void TestChannelManager::clearDropsEverything()
{
    ChannelManager& manager = *m_manager;
    QPointer<Channel> first = manager.channelAt(0);
    manager.setCurrentChannel(manager.channelAt(1));
    manager.setCurrentChannel(first);
    QSignalSpy current(&manager, &ChannelManager::currentChannelChanged);
    QSignalSpy listChanged(&manager, &ChannelManager::channelListChanged);
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
}

void TestChannelManager::clearAndReloadOnlyReloadsWhatWasLoaded()
{
    ChannelManager manager;
    QSignalSpy started(&manager, &ChannelManager::loadStarted);
    QVERIFY(QMetaObject::invokeMethod(&manager, "clearAndReload"));
    QCOMPARE(started.size(), 0);
    manager.loadFrom({&m_list});
    QVERIFY(QMetaObject::invokeMethod(&manager, "clearAndReload"));
    QCOMPARE(started.size(), 1);
    QCOMPARE(manager.channelCount(), 0);
    QVERIFY(manager.isLoading());
}

void TestChannelManager::currentAndPreviousChannel()
{
    ChannelManager& manager = *m_manager;
    Channel* one = manager.channelAt(0);
    Channel* three = manager.channelAt(2);
    QSignalSpy changed(&manager, &ChannelManager::currentChannelChanged);
    manager.setCurrentChannel(one);
    manager.setCurrentChannel(three);
    manager.setCurrentChannel(three);
    QCOMPARE(changed.size(), 3);
    QCOMPARE(changed.at(1).at(0).value<Channel*>(), three);
    QCOMPARE(manager.currentChannel(), three);
    QCOMPARE(manager.previousChannel(), three);
}

void TestChannelManager::guardRefusesAChange()
{
    ChannelManager& manager = *m_manager;
    ScriptedGuard guard;
    manager.setChannelChangeGuard(&guard);
    Channel* one = manager.channelAt(0);
    Channel* three = manager.channelAt(2);
    manager.setCurrentChannel(one);
    guard.allow = false;
    QSignalSpy changed(&manager, &ChannelManager::currentChannelChanged);
    manager.setCurrentChannel(three);
    QCOMPARE(changed.size(), 0);
    QCOMPARE(manager.currentChannel(), one);
    QCOMPARE(manager.previousChannel(), nullptr);
    QCOMPARE(guard.asked.size(), 2);
    QCOMPARE(guard.asked.at(1).first, one);
    QCOMPARE(guard.asked.at(1).second, three);
}

void TestChannelManager::keepAliveFollowsTheServersInterval()
{
    ChannelManager manager;
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

QTEST_MAIN(TestChannelManager)
#include "tst_channelmanager.moc"
