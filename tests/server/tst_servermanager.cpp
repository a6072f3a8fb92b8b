#include "emulatorprocess.h"
#include "logcapture.h"
#include "serverclock.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

namespace {

const QString mac = QStringLiteral("AABBCCDDEEFF");

QJsonObject baseScenario()
{
    return QJsonObject{
        {"auth", QJsonObject{{"macs", QJsonArray{"AA:BB:CC:DD:EE:FF"}}, {"token", "tok-1"}}},
        {"time", QJsonObject{{"utcOffset", 10800}, {"now", "2026-03-01T09:00:00Z"}}},
        {"userInfo", QJsonObject{{"accountId", 77}, {"balance", 120.5}, {"companyId", 1}}},
        {"settings",
         QJsonObject{
             {"volume", 60},
             {"channelVolume",
              QJsonObject{{"enabled", true},
                          {"records", QJsonArray{QJsonObject{{"channel", 2}, {"volume", 80}}}}}},
             {"custom", QJsonObject{{"test", 7}}}}},
        {"userChannels",
         QJsonObject{{"own", QJsonObject{{"enabled", true}, {"channels", QJsonArray{3, 1}}}},
                     {"shared", QJsonObject{{"enabled", true}, {"channels", QJsonArray{2}}}}}},
        {"offsets", QJsonArray{QJsonObject{{"id", 1}, {"minutes", 0}},
                               QJsonObject{{"id", 7}, {"minutes", -60}}}},
        {"guide", QJsonObject{{"daysBefore", 0}, {"daysAfter", 0}}},
        {"channels",
         QJsonArray{
             QJsonObject{{"id", 1}, {"name", "Первый"}, {"offsets", QJsonArray{1, 7}}},
             QJsonObject{{"id", 2}, {"name", "Второй"}},
             QJsonObject{{"id", 3}, {"name", "Закрытый"}, {"available", false}},
             QJsonObject{{"id", 4},
                         {"name", "Мультикаст"},
                         {"stream", QJsonObject{{"scheme", "Multicast_UDP"},
                                                {"address", "239.1.2.3"},
                                                {"port", 1234}}}},
             QJsonObject{{"id", 5},
                         {"name", "Защищённый"},
                         {"stream", QJsonObject{{"scheme", "Multicast_SUDP"}}}},
         }},
    };
}

QJsonObject withMember(QJsonObject scenario, const QString& key, const QJsonValue& value)
{
    scenario.insert(key, value);
    return scenario;
}

QJsonObject withUserInfo(const QJsonObject& userInfo)
{
    return withMember(baseScenario(), "userInfo", userInfo);
}

// The text the emulator logs for a request that the test builds itself.
template <typename Message>
QString textOf(const Message& message)
{
    return QString::fromStdString(message.ShortDebugString());
}

QStringList rpcNames(const QList<EmulatorRequest>& requests)
{
    QStringList names;
    for (const EmulatorRequest& request : requests)
        names << (request.rpc.isEmpty() ? request.method + ' ' + request.path : request.rpc);
    return names;
}

}  // namespace

// The session manager and its transport against the operator emulator.
class TestServerManager : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    // The log-in chain.
    void loginChainSendsTheExactRequests();
    void loginChainKeepsTheAnswers();
    void userChannelListStepWhenEnabled();
    void wrongMacStopsAtAuthorisation();
    void companyDecides_data();
    void companyDecides();
    void blockedUser_data();
    void blockedUser();
    void emptyPictureUrlEndsWithoutCompletion();
    void unreachablePictureEndsWithoutCompletion();
    void pictureIsFetchedWithoutQuery();
    void failingStepStopsTheChain_data();
    void failingStepStopsTheChain();
    void authorizingAgainRestartsTheChain();

    // Faults of the transport.
    void brokenAnswersEndInNetworkError_data();
    void brokenAnswersEndInNetworkError();
    void errorStatusesAreAnswersNotFailures();
    void refusedConnectionIsANetworkError();

    // Streams and saving.
    void streamOpenUpdateClose();
    void streamUrlRules_data();
    void streamUrlRules();
    void closedChannelOpensNothing();
    void saveStbSettings_data();
    void saveStbSettings();
    void saveUserChannelList();
    void operationsNeedInitAndAuthorisation();

private:
    // Starts an emulator on the scenario and a manager pointed at it.
    bool startSession(const QJsonObject& scenario, const QStringList& arguments = {});
    bool logIn();

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<EmulatorProcess> m_emulator;
    std::unique_ptr<TTVServerManager> m_manager;
};

void TestServerManager::initTestCase()
{
    m_profile = std::make_unique<TemporaryProfile>();
}

void TestServerManager::cleanup()
{
    m_manager.reset();
    m_emulator.reset();
    ServerClock::reset();
}

bool TestServerManager::startSession(const QJsonObject& scenario, const QStringList& arguments)
{
    m_emulator = std::make_unique<EmulatorProcess>();
    if (!m_emulator->start(scenario, arguments))
        return false;
    Settings::instance()->setServer(m_emulator->host());
    m_manager = std::make_unique<TTVServerManager>();
    if (!m_manager->init())
        return false;
    m_manager->setMac(mac);
    return true;
}

bool TestServerManager::logIn()
{
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    return loaded.wait(10000);
}

void TestServerManager::loginChainSendsTheExactRequests()
{
    QVERIFY(startSession(baseScenario()));
    QVERIFY(logIn());

    const QList<EmulatorRequest> requests = m_emulator->requests();
    QCOMPARE(rpcNames(requests),
             (QStringList{"Auth", "GetTime", "GetUserInfo", "GetImageUrl", "GetStbSettings",
                          "GetChannels", "GET /images/channel-deny.png"}));

    const QStringList paths{"/server/TvServerService/Auth.pb",
                            "/server/TvServerService/GetTime.pb",
                            "/server/TvServerService/GetUserInfo.pb",
                            "/server/StbServerService/GetImageUrl.pb",
                            "/server/StbServerService/GetStbSettings.pb",
                            "/server/TvServerService/GetChannels.pb"};
    for (int i = 0; i < paths.size(); ++i) {
        const EmulatorRequest& request = requests.at(i);
        QCOMPARE(request.method, QStringLiteral("POST"));
        QCOMPARE(request.path, paths.at(i));
        QCOMPARE(request.headers.value("host"), m_emulator->host());
        QCOMPARE(request.headers.value("content-type"), QStringLiteral("application/x-protobuf"));
        QVERIFY(request.headers.value("content-length").toInt() > 0);
    }

    proto::TimeRequest time;
    time.set_auth("tok-1");
    QCOMPARE(requests.at(1).message, textOf(time));

    proto::GetImageUrlRequest image;
    image.mutable_device()->set_type(proto::DT_IPTV_Player);
    image.set_auth("tok-1");
    image.set_image(proto::STB_IMG_Channel_Deny_zmp);
    QCOMPARE(requests.at(3).message, textOf(image));

    proto::ChannelListRequest channels;
    channels.set_auth("tok-1");
    channels.set_need_icons(true);
    channels.set_need_epg(true);
    channels.set_need_offsets(true);
    QCOMPARE(requests.at(5).message, textOf(channels));
}

void TestServerManager::loginChainKeepsTheAnswers()
{
    QVERIFY(startSession(baseScenario()));
    QSignalSpy authorised(m_manager.get(), &TTVServerManager::AuthorizeCompleted);
    QSignalSpy time(m_manager.get(), &TTVServerManager::GetServerTimeCompleted);
    QVERIFY(logIn());

    QCOMPARE(authorised.count(), 1);
    QCOMPARE(time.count(), 1);
    const quint64 serverTime = time.first().at(0).value<uint64_t>();
    QCOMPARE(time.first().at(1).value<int32_t>(), 10800);
    QVERIFY(qAbs(qint64(serverTime) -
                 QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).toSecsSinceEpoch()) < 60);
    QVERIFY(ServerClock::isKnown());
    QVERIFY(qAbs(ServerClock::serverLocalNow() - qint64(serverTime) - 10800) < 60);

    QVERIFY(m_manager->isAuthorized());
    QVERIFY(!m_manager->isBusy());
    QCOMPARE(m_manager->userInfo()->info().account_id(), 77);
    QCOMPARE(m_manager->userSettings()->data().volume(), 60);
    QCOMPARE(m_manager->channelList()->list_size(), 5);
    QCOMPARE(m_manager->channelList()->offsets_size(), 2);
    QVERIFY(m_manager->channelList()->list(0).epg_size() > 0);
    QVERIFY(m_manager->channelList()->list(0).has_icon());
    QVERIFY(!m_manager->userChannelList());
    QVERIFY(m_manager->closeChannelPixmap().has_value());
    QVERIFY(!m_manager->closeChannelPixmap()->isNull());

    QCOMPARE(m_manager->storedCustomSettings(), QByteArray(R"({"test":7})"));
}

void TestServerManager::userChannelListStepWhenEnabled()
{
    QVERIFY(startSession(baseScenario()));
    m_manager->setShowUserChannels(true);
    m_manager->setUseGlobalChannelList(false);
    QSignalSpy userListOnly(m_manager.get(), &TTVServerManager::LoadUserChannelListCompleted);
    QVERIFY(logIn());

    QCOMPARE(userListOnly.count(), 0);
    const QList<EmulatorRequest> lists = m_emulator->requests("GetUserChannel");
    QCOMPARE(lists.size(), 1);
    QCOMPARE(lists.first().message, QStringLiteral("auth: \"tok-1\" use_shared: false"));
    QVERIFY(m_manager->isUserChannelListLoaded());
    QCOMPARE(m_manager->userChannelList()->data().channel_id_size(), 2);
    QCOMPARE(m_manager->userChannelList()->data().channel_id(0), 3);

    // Asked on its own (as the settings dialog does), the list ends in its own signal.
    QSignalSpy ownSignal(m_manager.get(), &TTVServerManager::LoadUserChannelListCompleted);
    QSignalSpy fullLoad(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->loadUserChannelList(true, false);
    QVERIFY(ownSignal.wait(10000));
    QCOMPARE(fullLoad.count(), 0);
    QCOMPARE(m_manager->userChannelList()->data().channel_id(0), 2);
}

void TestServerManager::wrongMacStopsAtAuthorisation()
{
    QVERIFY(startSession(baseScenario()));
    m_manager->setMac("001122334455");
    QSignalSpy refused(m_manager.get(), &TTVServerManager::ErrorAuthorize);
    m_manager->authorize();
    QVERIFY(refused.wait(10000));
    QCOMPARE(refused.first().at(0).toString(),
             QStringLiteral("Error authorize. Please call for support"));
    QVERIFY(!m_manager->isAuthorized());
    QCOMPARE(rpcNames(m_emulator->requests()), QStringList{"Auth"});

    // Nothing is sent before authorisation.
    m_manager->loadServerTime();
    QVERIFY(!m_manager->openStream(1, 1));
    QCOMPARE(m_emulator->requests().size(), 1);
}

void TestServerManager::companyDecides_data()
{
    QTest::addColumn<QJsonValue>("company");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("1") << QJsonValue(1) << true;
    QTest::newRow("2") << QJsonValue(2) << true;
    QTest::newRow("0") << QJsonValue(0) << false;
    QTest::newRow("3") << QJsonValue(3) << false;
    QTest::newRow("absent") << QJsonValue(QJsonValue::Null) << false;
}

void TestServerManager::companyDecides()
{
    QFETCH(QJsonValue, company);
    QFETCH(bool, accepted);
    QVERIFY(startSession(withUserInfo(QJsonObject{{"companyId", company}})));
    QSignalSpy wrongCompany(m_manager.get(), &TTVServerManager::ErrorNotCorrectCompany);
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    QVERIFY(QTest::qWaitFor([&] { return wrongCompany.count() + loaded.count() > 0; }, 10000));
    QCOMPARE(loaded.count(), accepted ? 1 : 0);
    if (!accepted) {
        QCOMPARE(wrongCompany.first().at(0).toString(),
                 QStringLiteral("Error connect to server. Please call for support"));
        QVERIFY(m_manager->isUserInfoLoaded());
        QCOMPARE(m_emulator->requests("GetImageUrl").size(), 0);
    }
}

void TestServerManager::blockedUser_data()
{
    QTest::addColumn<double>("balance");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << 0.0 << "Error user is blocked";
    QTest::newRow("positive") << 12.0 << "Error user is blocked";
    QTest::newRow("negative") << -3.75 << "Error user is blocked. In your acaunt -3.75 rub.";
    QTest::newRow("negative half") << -12.5 << "Error user is blocked. In your acaunt -12.5 rub.";
}

void TestServerManager::blockedUser()
{
    QFETCH(double, balance);
    QFETCH(QString, text);
    QVERIFY(startSession(withUserInfo(QJsonObject{{"blocked", true}, {"balance", balance}})));
    QSignalSpy blocked(m_manager.get(), &TTVServerManager::ErrorUserIsBlocked);
    m_manager->authorize();
    QVERIFY(blocked.wait(10000));
    QCOMPARE(blocked.first().at(0).toString(), text);
    QCOMPARE(m_emulator->requests("GetImageUrl").size(), 0);
}

void TestServerManager::emptyPictureUrlEndsWithoutCompletion()
{
    QVERIFY(startSession(withMember(baseScenario(), "closeChannelImageUrl", "")));
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    QVERIFY(QTest::qWaitFor([this] { return m_manager->isChannelListLoaded(); }, 10000));
    // The picture step follows the channel list at once; nothing is left to come.
    QCOMPARE(loaded.count(), 0);
    QVERIFY(!m_manager->loadCloseChannelPixmap());
    QCOMPARE(m_emulator->requests().size(), 6);
}

void TestServerManager::unreachablePictureEndsWithoutCompletion()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QString url = QStringLiteral("http://127.0.0.1:%1/deny.png").arg(closed.serverPort());
    closed.close();
    LogCapture log;
    QVERIFY(startSession(withMember(baseScenario(), "closeChannelImageUrl", url)));
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    QVERIFY(log.waitFor("ERROR load deny image ["));
    QCOMPARE(loaded.count(), 0);
    QVERIFY(m_manager->closeChannelPixmap()->isNull());
}

void TestServerManager::pictureIsFetchedWithoutQuery()
{
    QVERIFY(startSession(withMember(baseScenario(), "closeChannelImageUrl",
                                    "http://{host}/images/channel-deny.png?size=big#top")));
    QVERIFY(logIn());
    const QList<EmulatorRequest> requests = m_emulator->requests();
    QCOMPARE(requests.last().path, QStringLiteral("/images/channel-deny.png"));
}

void TestServerManager::failingStepStopsTheChain_data()
{
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("errorSignal");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("time") << "GetTime"
                          << "result=1" << QByteArray(SIGNAL(ErrorGetServerTime()))
                          << "ERROR get server time";
    QTest::newRow("user info") << "GetUserInfo"
                               << "result=1" << QByteArray(SIGNAL(ErrorLoadUserInfo()))
                               << "ERROR load user info";
    QTest::newRow("picture url") << "GetImageUrl"
                                 << "result=2" << QByteArray(SIGNAL(ErrorLoadCloseChannelImgUrl()))
                                 << "ERROR load close channel image url";
    QTest::newRow("settings") << "GetStbSettings"
                              << "result=2" << QByteArray(SIGNAL(ErrorLoadUserSettings()))
                              << "ERROR load user settings";
    QTest::newRow("channels") << "GetChannels"
                              << "result=1" << QByteArray(SIGNAL(ErrorLoadChannelInfo()))
                              << "ERROR load channel info";
}

void TestServerManager::failingStepStopsTheChain()
{
    QFETCH(QString, method);
    QFETCH(QString, fault);
    QFETCH(QByteArray, errorSignal);
    QFETCH(QString, logLine);
    LogCapture log;
    QVERIFY(startSession(baseScenario(), {"--fault", method + ':' + fault}));
    QSignalSpy failed(m_manager.get(), errorSignal.constData());
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    QVERIFY(failed.wait(10000));
    QVERIFY(log.contains(logLine));
    QCOMPARE(loaded.count(), 0);
    QCOMPARE(m_emulator->requests().last().rpc, method);
    QVERIFY(!m_manager->isBusy());
}

void TestServerManager::authorizingAgainRestartsTheChain()
{
    QVERIFY(startSession(baseScenario(), {"--fault", "Auth:delay=500,times=1"}));
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    QVERIFY(m_emulator->waitForRequests(1));
    m_manager->authorize();  // while the first answer is still on its way
    QVERIFY(loaded.wait(10000));

    // A request of its own: the transport keeps the order of requests, so
    // whatever an abandoned chain might still send would come before it.
    QSignalSpy fence(m_manager.get(), &TTVServerManager::LoadUserChannelListCompleted);
    m_manager->loadUserChannelList(false, false);
    QVERIFY(fence.wait(10000));
    QCOMPARE(loaded.count(), 1);
    QStringList names = rpcNames(m_emulator->requests());
    QCOMPARE(names.removeAll("Auth"), 2);
    QCOMPARE(names, (QStringList{"GetTime", "GetUserInfo", "GetImageUrl", "GetStbSettings",
                                 "GetChannels", "GET /images/channel-deny.png", "GetUserChannel"}));

    // A log-in that fails after a good one leaves nothing of the old session.
    m_manager->setMac("001122334455");
    QSignalSpy refused(m_manager.get(), &TTVServerManager::ErrorAuthorize);
    m_manager->authorize();
    QVERIFY(refused.wait(10000));
    QVERIFY(!m_manager->isAuthorized());
    QVERIFY(!m_manager->channelList());
    QVERIFY(!m_manager->openStream(1, 1));
}

void TestServerManager::brokenAnswersEndInNetworkError_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("empty body") << "body=empty";
    QTest::newRow("garbage body") << "body=garbage";
    QTest::newRow("truncated body") << "body=truncated";
    QTest::newRow("connection dropped") << "connection=drop";
    QTest::newRow("reset mid-body") << "connection=reset";
    QTest::newRow("HTTP 500, empty body") << "status=500,body=empty";
}

void TestServerManager::brokenAnswersEndInNetworkError()
{
    QFETCH(QString, fault);
    LogCapture log;
    QVERIFY(startSession(baseScenario(), {"--fault", "GetUserInfo:" + fault}));
    QSignalSpy networkError(m_manager.get(), &TTVServerManager::ErrorInNetwork);
    QSignalSpy userInfoError(m_manager.get(), &TTVServerManager::ErrorLoadUserInfo);
    m_manager->authorize();
    QVERIFY(networkError.wait(10000));
    QCOMPARE(networkError.first().at(0).toString(), QStringLiteral("Network error"));
    QVERIFY(log.contains("ERROR in server manager : "));
    QCOMPARE(userInfoError.count(), 0);
    QVERIFY(!m_manager->isUserInfoLoaded());
    // The failed call has ended: a flag left busy would stop the keep-alive.
    QVERIFY(!m_manager->isBusy());
    QCOMPARE(m_emulator->requests("GetImageUrl").size(), 0);
}

void TestServerManager::errorStatusesAreAnswersNotFailures()
{
    // Each maps to a different error of Qt's, a redirect without a target too.
    const QStringList faults{"Auth:status=403",           "GetTime:status=500",
                             "GetUserInfo:status=401",    "GetImageUrl:status=407",
                             "GetStbSettings:status=303", "GetChannels:status=307"};
    QStringList arguments;
    for (const QString& fault : faults)
        arguments << "--fault" << fault;
    QVERIFY(startSession(
        withMember(baseScenario(), "closeChannelImageUrl", "http://{host}/images/missing.png"),
        arguments));
    QVERIFY(logIn());
    QVERIFY(ServerClock::isKnown());
    // The picture's 404 page is no picture: the log-in goes on without one.
    QVERIFY(m_manager->closeChannelPixmap()->isNull());
    QCOMPARE(m_emulator->requests().last().path, QStringLiteral("/images/missing.png"));
}

void TestServerManager::refusedConnectionIsANetworkError()
{
    m_emulator = std::make_unique<EmulatorProcess>();
    QVERIFY(m_emulator->start(baseScenario()));
    const QString host = m_emulator->host();
    m_emulator->stop();
    Settings::instance()->setServer(host);
    m_manager = std::make_unique<TTVServerManager>();
    QVERIFY(m_manager->init());
    QVERIFY(!m_manager->init());
    m_manager->setMac(mac);
    QSignalSpy networkError(m_manager.get(), &TTVServerManager::ErrorInNetwork);
    m_manager->authorize();
    QVERIFY(networkError.wait(10000));
    QVERIFY(!m_manager->isAuthorized());
}

void TestServerManager::streamOpenUpdateClose()
{
    QVERIFY(startSession(withMember(baseScenario(), "updateInterval", 30)));
    QVERIFY(logIn());
    m_emulator->clearRequests();

    QSignalSpy opened(m_manager.get(), &TTVServerManager::OpenStreamCompleted);
    QVERIFY(m_manager->openStream(1, 7));
    QVERIFY(m_manager->isBusy());
    QVERIFY(opened.wait(10000));
    const QString url = opened.first().at(0).toString();
    const int streamId = opened.first().at(1).toInt();
    QCOMPARE(url, QStringLiteral("http://127.0.0.1:%1/stream/1?offset=7").arg(m_emulator->port()));
    QCOMPARE(opened.first().at(2).toInt(), 30);

    proto::OpenStreamRequest open;
    open.set_auth("tok-1");
    open.set_channel_id(1);
    open.set_offset_id(7);
    open.add_accept_scheme(proto::Multicast_UDP);
    open.add_accept_scheme(proto::HTTP_UDP);
    QCOMPARE(m_emulator->requests("OpenStream").first().message, textOf(open));

    QSignalSpy updated(m_manager.get(), &TTVServerManager::UpdateStreamCompleted);
    QVERIFY(m_manager->updateStream(streamId));
    QVERIFY(updated.wait(10000));
    QCOMPARE(m_emulator->requests("UpdateStream").first().message,
             QStringLiteral("auth: \"tok-1\" stream_id: %1").arg(streamId));

    QSignalSpy closed(m_manager.get(), &TTVServerManager::CloseStreamCompleted);
    QVERIFY(m_manager->closeStream(streamId));
    QVERIFY(closed.wait(10000));

    // The stream is gone now: a keep-alive for it is refused and only logged.
    LogCapture log;
    QVERIFY(m_manager->updateStream(streamId));
    QVERIFY(log.waitFor("ERROR update stream"));
    QCOMPARE(updated.count(), 1);
}

void TestServerManager::streamUrlRules_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("url");
    QTest::newRow("multicast") << 4 << "udp://@239.1.2.3:1234";
    QTest::newRow("secure multicast") << 5 << "";
}

void TestServerManager::streamUrlRules()
{
    QFETCH(int, channel);
    QFETCH(QString, url);
    QVERIFY(startSession(baseScenario()));
    QVERIFY(logIn());
    QSignalSpy opened(m_manager.get(), &TTVServerManager::OpenStreamCompleted);
    QVERIFY(m_manager->openStream(channel, 1));
    QVERIFY(opened.wait(10000));
    QCOMPARE(opened.first().at(0).toString(), url);
    QVERIFY(opened.first().at(1).toInt() > 0);
    QCOMPARE(opened.first().at(2).toInt(), 60);  // no interval in the answer
}

void TestServerManager::closedChannelOpensNothing()
{
    LogCapture log;
    QVERIFY(startSession(baseScenario()));
    QVERIFY(logIn());
    QSignalSpy opened(m_manager.get(), &TTVServerManager::OpenStreamCompleted);
    QVERIFY(m_manager->openStream(3, 1));
    QVERIFY(log.waitFor("ERROR open stream"));
    QCOMPARE(opened.count(), 0);
    QVERIFY(!m_manager->isBusy());
}

void TestServerManager::saveStbSettings_data()
{
    QTest::addColumn<bool>("perChannel");
    QTest::addColumn<QString>("sent");
    QTest::newRow("per channel")
        << true
        << "auth: \"tok-1\" data { volume: 70 channel_volume { enabled: true record { id_channel: "
           "2 volume: 40 } record { id_channel: 1 volume: 100 } } }";
    QTest::newRow("one volume") << false
                                << "auth: \"tok-1\" data { volume: 70 channel_volume { enabled: "
                                   "false } }";
}

void TestServerManager::saveStbSettings()
{
    QFETCH(bool, perChannel);
    QFETCH(QString, sent);
    QVERIFY(startSession(baseScenario()));
    QVERIFY(logIn());

    proto::StbSettings settings;
    settings.set_volume(70);
    settings.set_brightness(5);  // not the player's to send
    settings.mutable_channel_volume()->set_enabled(perChannel);
    for (const auto& [channel, volume] : {std::pair{2, 40}, std::pair{1, 100}}) {
        proto::ChannelVolume::Record* record = settings.mutable_channel_volume()->add_record();
        record->set_id_channel(channel);
        record->set_volume(volume);
    }
    QSignalSpy saved(m_manager.get(), &TTVServerManager::SaveNewStbSettingsCompleted);
    m_manager->saveStbSettings(settings);
    QVERIFY(saved.wait(10000));
    QCOMPARE(m_emulator->requests("SetStbSettings").first().message, sent);
}

void TestServerManager::saveUserChannelList()
{
    QVERIFY(startSession(baseScenario()));
    QVERIFY(logIn());
    proto::UserChannelData data;
    data.set_enabled(true);
    for (int id : {5, 1, 4})
        data.add_channel_id(id);
    QSignalSpy saved(m_manager.get(), &TTVServerManager::SaveNewUserChannelListCompleted);
    m_manager->saveUserChannelList(data, false);
    QVERIFY(saved.wait(10000));
    QCOMPARE(m_emulator->requests("SetUserChannel").first().message,
             QStringLiteral("auth: \"tok-1\" data { channel_id: 5 channel_id: 1 channel_id: 4 "
                            "enabled: true } use_shared: false"));

    QSignalSpy reloaded(m_manager.get(), &TTVServerManager::LoadUserChannelListCompleted);
    m_manager->loadUserChannelList(false, false);
    QVERIFY(reloaded.wait(10000));
    QCOMPARE(m_manager->userChannelList()->data().channel_id_size(), 3);
}

void TestServerManager::operationsNeedInitAndAuthorisation()
{
    TTVServerManager manager;
    manager.setMac(mac);
    manager.authorize();
    QVERIFY(!manager.isBusy());
    QVERIFY(!manager.openStream(1, 1));
    QVERIFY(!manager.loadCloseChannelPixmap());
    QVERIFY(!manager.channelList());
    QVERIFY(!manager.closeChannelPixmap().has_value());

    QVERIFY(startSession(baseScenario()));
    m_manager->setMac(QString());
    m_manager->authorize();  // no MAC, no log-in
    QVERIFY(!m_manager->isBusy());
    QVERIFY(m_emulator->requests().isEmpty());
}

QTEST_MAIN(TestServerManager)
#include "tst_servermanager.moc"
