#include "emulatorprocess.h"
#include "logcapture.h"
#include "serverclock.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"
#include "tvclient.h"

#include <QJsonDocument>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

#include <google/protobuf/text_format.h>

namespace {

const QString mac = QStringLiteral("AABBCCDDEEFF");

QByteArray dataFile(const QString& name)
{
    QFile file(QStringLiteral(ZENTRIA_SERVER_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QJsonObject baseScenario()
{
    return QJsonDocument::fromJson(dataFile("session.json")).object();
}

QJsonObject withMember(QJsonObject scenario, const QString& key, const QJsonValue& value)
{
    scenario.insert(key, value);
    return scenario;
}

QStringList rpcNames(const QList<EmulatorRequest>& requests)
{
    QStringList names;
    for (const EmulatorRequest& request : requests)
        names << (request.rpc.isEmpty() ? request.method + ' ' + request.path : request.rpc);
    return names;
}

proto::AuthRequest anyAuthRequest()
{
    proto::AuthRequest auth;
    auth.mutable_device()->set_type(proto::DT_IPTV_Player);
    return auth;
}

}  // namespace

// The session manager, its transport and its clock, mostly against the operator emulator.
class TestServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    // The log-in chain.
    void loginChainSendsTheExactRequestsAndKeepsTheAnswers();
    void userChannelListStepWhenEnabled();
    void userInfoDecides_data();
    void userInfoDecides();
    void emptyPictureUrlEndsWithoutCompletion();
    void unreachablePictureEndsWithoutCompletion();
    void failingStepStopsTheChain_data();
    void failingStepStopsTheChain();
    void authorizingAgainRestartsTheChain();
    void operationsNeedInitAndAuthorisation();

    // Faults of the transport.
    void brokenAnswersEndInNetworkError_data();
    void brokenAnswersEndInNetworkError();
    void errorStatusesAreAnswersNotFailures();
    void refusedConnectionIsANetworkError();
    void backToBackCallsCompleteInIssueOrder();
    void requestMissingARequiredFieldSendsNothing();
    void silentServerTimesOut();

    // Streams and saving.
    void streamOpenUpdateClose();
    void streamUrls_data();
    void streamUrls();
    void closedAndSecureChannelsOpenNothingToPlay();
    void saveStbSettings_data();
    void saveStbSettings();
    void saveUserChannelList();

    // The server's clock.
    void unsynchronisedClockIsLocal();
    void synchronisedClockKeepsItsDistanceToLocal();

private:
    // Starts an emulator on the scenario and a manager pointed at it.
    bool startSession(const QJsonObject& scenario, const QStringList& arguments = {});
    bool logIn();

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<EmulatorProcess> m_emulator;
    std::unique_ptr<TTVServerManager> m_manager;
};

void TestServer::initTestCase()
{
    m_profile = std::make_unique<TemporaryProfile>();
    QVERIFY(!baseScenario().isEmpty());
}

void TestServer::cleanup()
{
    m_manager.reset();
    m_emulator.reset();
    ServerClock::reset();
    ServerClock::setLocalClock({});
}

bool TestServer::startSession(const QJsonObject& scenario, const QStringList& arguments)
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

bool TestServer::logIn()
{
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    return loaded.wait(10000);
}

void TestServer::loginChainSendsTheExactRequestsAndKeepsTheAnswers()
{
    QVERIFY(startSession(baseScenario()));
    QSignalSpy authorised(m_manager.get(), &TTVServerManager::AuthorizeCompleted);
    QSignalSpy time(m_manager.get(), &TTVServerManager::GetServerTimeCompleted);
    QVERIFY(logIn());

    // The picture is fetched without the query and fragment of its URL.
    QStringList sent;
    for (const EmulatorRequest& request : m_emulator->requests()) {
        sent << request.method + ' ' + request.path + " | " + request.message;
        if (request.method == "POST") {
            QCOMPARE(request.headers.value("host"), m_emulator->host());
            QCOMPARE(request.headers.value("content-type"),
                     QStringLiteral("application/x-protobuf"));
            QVERIFY(request.headers.value("content-length").toInt() > 0);
        }
    }
    QCOMPARE(sent,
             QString::fromUtf8(dataFile("login-requests.txt")).split('\n', Qt::SkipEmptyParts));

    QCOMPARE(authorised.count(), 1);
    QCOMPARE(time.count(), 1);
    const qint64 serverTime = qint64(time.first().at(0).value<uint64_t>());
    QCOMPARE(time.first().at(1).value<int32_t>(), 10800);
    // The scenario's clock starts at its "now" and runs on.
    QVERIFY(qAbs(serverTime -
                 QDateTime(QDate(2026, 3, 1), QTime(9, 0), Qt::UTC).toSecsSinceEpoch()) < 60);
    QVERIFY(ServerClock::isKnown());
    QVERIFY(qAbs(ServerClock::serverLocalNow() - serverTime - 10800) < 60);

    QVERIFY(m_manager->isAuthorized());
    QVERIFY(!m_manager->isBusy());
    QCOMPARE(m_manager->userInfo()->info().account_id(), 77);
    QCOMPARE(m_manager->userSettings()->data().volume(), 60);
    QCOMPARE(m_manager->channelList()->list_size(), 5);
    QCOMPARE(m_manager->channelList()->offsets_size(), 2);
    QVERIFY(m_manager->channelList()->list(0).epg_size() > 0);
    QVERIFY(m_manager->channelList()->list(0).has_icon());
    QVERIFY(!m_manager->userChannelList());
    QVERIFY(!m_manager->closeChannelPixmap()->isNull());
    QCOMPARE(m_manager->storedCustomSettings(), QByteArray(R"({"test":7})"));
}

void TestServer::userChannelListStepWhenEnabled()
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

void TestServer::userInfoDecides_data()
{
    QTest::addColumn<QJsonObject>("userInfo");
    QTest::addColumn<QByteArray>("errorSignal");  // none: the log-in completes
    QTest::addColumn<QString>("text");
    const QByteArray company = SIGNAL(ErrorNotCorrectCompany(QString));
    const QByteArray blocked = SIGNAL(ErrorUserIsBlocked(QString));
    const QString wrongCompany = "Error connect to server. Please call for support";
    QTest::newRow("company 1") << QJsonObject{{"companyId", 1}} << QByteArray() << QString();
    QTest::newRow("company 2") << QJsonObject{{"companyId", 2}} << QByteArray() << QString();
    QTest::newRow("company 0") << QJsonObject{{"companyId", 0}} << company << wrongCompany;
    QTest::newRow("company 3") << QJsonObject{{"companyId", 3}} << company << wrongCompany;
    QTest::newRow("no company") << QJsonObject{{"companyId", QJsonValue::Null}} << company
                                << wrongCompany;
    QTest::newRow("blocked, nothing owed")
        << QJsonObject{{"blocked", true}, {"balance", 0.0}} << blocked << "Error user is blocked";
    QTest::newRow("blocked, money left")
        << QJsonObject{{"blocked", true}, {"balance", 12.0}} << blocked << "Error user is blocked";
    QTest::newRow("blocked, in debt")
        << QJsonObject{{"blocked", true}, {"balance", -3.75}} << blocked
        << "Error user is blocked. In your acaunt -3.75 rub.";
    QTest::newRow("blocked, in debt by halves")
        << QJsonObject{{"blocked", true}, {"balance", -12.5}} << blocked
        << "Error user is blocked. In your acaunt -12.5 rub.";
}

// Who may use the player is decided on the user's information: a refusal
// ends the chain before the picture is asked for.
void TestServer::userInfoDecides()
{
    QFETCH(QJsonObject, userInfo);
    QFETCH(QByteArray, errorSignal);
    QFETCH(QString, text);
    QVERIFY(startSession(withMember(baseScenario(), "userInfo", userInfo)));
    if (errorSignal.isEmpty()) {
        QVERIFY(logIn());
        return;
    }
    QSignalSpy refused(m_manager.get(), errorSignal.constData());
    QSignalSpy loaded(m_manager.get(), &TTVServerManager::LoadAllClientInfoFromServerCompleted);
    m_manager->authorize();
    QVERIFY(refused.wait(10000));
    QCOMPARE(refused.first().at(0).toString(), text);
    QVERIFY(m_manager->isUserInfoLoaded());
    QCOMPARE(m_emulator->requests("GetImageUrl").size(), 0);
    QCOMPARE(loaded.count(), 0);
}

void TestServer::emptyPictureUrlEndsWithoutCompletion()
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

void TestServer::unreachablePictureEndsWithoutCompletion()
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

void TestServer::failingStepStopsTheChain_data()
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

void TestServer::failingStepStopsTheChain()
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

void TestServer::authorizingAgainRestartsTheChain()
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
    QCOMPARE(refused.first().at(0).toString(),
             QStringLiteral("Error authorize. Please call for support"));
    QVERIFY(!m_manager->isAuthorized());
    QVERIFY(!m_manager->channelList());
    QCOMPARE(rpcNames(m_emulator->requests()).last(), QStringLiteral("Auth"));
    // Nothing is sent before the next authorisation.
    const qsizetype sent = m_emulator->requests().size();
    m_manager->loadServerTime();
    QVERIFY(!m_manager->openStream(1, 1));
    QCOMPARE(m_emulator->requests().size(), sent);
}

void TestServer::operationsNeedInitAndAuthorisation()
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

void TestServer::brokenAnswersEndInNetworkError_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("empty body") << "body=empty";
    QTest::newRow("garbage body") << "body=garbage";
    QTest::newRow("truncated body") << "body=truncated";
    QTest::newRow("connection dropped") << "connection=drop";
    QTest::newRow("reset mid-body") << "connection=reset";
    QTest::newRow("HTTP 500, empty body") << "status=500,body=empty";
}

void TestServer::brokenAnswersEndInNetworkError()
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

void TestServer::errorStatusesAreAnswersNotFailures()
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

void TestServer::refusedConnectionIsANetworkError()
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

void TestServer::backToBackCallsCompleteInIssueOrder()
{
    EmulatorProcess emulator;
    // The first answer is the slowest: order must not follow speed.
    QVERIFY(emulator.start(QString("demo"), {"--fault", "Auth:delay=400"}));
    TvClient client("127.0.0.1", emulator.port());
    QStringList completed;
    connect(&client, &TvClient::authorizeDone, this, [&] { completed << "Auth"; });
    connect(&client, &TvClient::getServerTimeDone, this, [&] { completed << "GetTime"; });
    connect(&client, &TvClient::getUserInfoDone, this, [&] { completed << "GetUserInfo"; });
    connect(&client, &TvClient::getChannelsDone, this, [&] { completed << "GetChannels"; });

    proto::AuthRequest auth = anyAuthRequest();
    client.authorize(auth);
    proto::TimeRequest time;
    time.set_auth("unknown");
    client.getServerTime(time);
    proto::GetUserInfoRequest info;
    info.set_auth("unknown");
    client.getUserInfo(info);
    proto::ChannelListRequest channels;
    channels.set_auth("unknown");
    channels.set_need_icons(false);
    channels.set_need_epg(false);
    channels.set_need_offsets(false);
    client.getChannels(channels);

    QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 4, 10000);
    QCOMPARE(completed, (QStringList{"Auth", "GetTime", "GetUserInfo", "GetChannels"}));
    const QList<EmulatorRequest> requests = emulator.requests();
    QCOMPARE(requests.size(), 4);
    for (const EmulatorRequest& request : requests)
        QCOMPARE(request.connection, requests.first().connection);
}

void TestServer::requestMissingARequiredFieldSendsNothing()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.start(QString("demo")));
    TvClient client("127.0.0.1", emulator.port());
    QSignalSpy errors(&client, &TvClient::error);
    QSignalSpy timeDone(&client, &TvClient::getServerTimeDone);

    proto::TimeRequest withoutAuth;
    client.getServerTime(withoutAuth);
    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().at(0).toString().contains("auth"),
             qPrintable(errors.first().at(0).toString()));

    // The next, valid call is the first the server sees.
    QSignalSpy authDone(&client, &TvClient::authorizeDone);
    proto::AuthRequest auth = anyAuthRequest();
    client.authorize(auth);
    QVERIFY(authDone.wait(10000));
    QCOMPARE(emulator.requests().size(), 1);
    QCOMPARE(emulator.requests().first().rpc, QStringLiteral("Auth"));
    QCOMPARE(timeDone.count(), 0);
}

void TestServer::silentServerTimesOut()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.start(QString("demo"), {"--fault", "Auth:delay=5000,times=1"}));
    TvClient client("127.0.0.1", emulator.port());
    client.setTransferTimeout(300);
    QSignalSpy errors(&client, &TvClient::error);
    QSignalSpy authDone(&client, &TvClient::authorizeDone);

    proto::AuthRequest auth = anyAuthRequest();
    client.authorize(auth);
    client.authorize(auth);
    QVERIFY(errors.wait(10000));
    QCOMPARE(authDone.count(), 0);
    // The call behind the silent one still goes out and completes.
    QVERIFY(authDone.wait(10000));
    QCOMPARE(errors.count(), 1);
}

void TestServer::streamOpenUpdateClose()
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

    QCOMPARE(
        m_emulator->requests("OpenStream").first().message,
        QStringLiteral("auth: \"tok-1\" channel_id: 1 offset_id: 7 accept_scheme: Multicast_UDP "
                       "accept_scheme: HTTP_UDP"));

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

void TestServer::streamUrls_data()
{
    QTest::addColumn<QByteArray>("answer");  // text format of an OpenStreamResponse
    QTest::addColumn<QString>("url");
    QTest::newRow("multicast") << QByteArray(
                                      "result: OK scheme: Multicast_UDP "
                                      "multicast_group { address: \"239.1.2.3\" port: 1234 }")
                               << "udp://@239.1.2.3:1234";
    QTest::newRow("http, path appended as it is")
        << QByteArray(
               "result: OK scheme: HTTP_UDP http_stream { host { address: \"10.0.0.5\" "
               "port: 8080 } url: \"/udp/239.1.2.3:1234\" }")
        << "http://10.0.0.5:8080/udp/239.1.2.3:1234";
    QTest::newRow("http without separator")
        << QByteArray(
               "result: OK scheme: HTTP_UDP http_stream { host { address: \"h\" port: 1 } "
               "url: \"x\" }")
        << "http://h:1x";
    QTest::newRow("multicast group missing")
        << QByteArray("result: OK scheme: Multicast_UDP") << "udp://@:0";
    QTest::newRow("secure multicast") << QByteArray("result: OK scheme: Multicast_SUDP") << "";
    QTest::newRow("unicast") << QByteArray("result: OK scheme: Unicast_UDP") << "";
    QTest::newRow("absent scheme reads as multicast") << QByteArray("result: OK") << "udp://@:0";
}

void TestServer::streamUrls()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, url);
    proto::OpenStreamResponse response;
    QVERIFY(google::protobuf::TextFormat::ParseFromString(answer.toStdString(), &response));
    QCOMPARE(TTVServerManager::streamUrl(response), url);
}

void TestServer::closedAndSecureChannelsOpenNothingToPlay()
{
    LogCapture log;
    QVERIFY(startSession(baseScenario()));
    QVERIFY(logIn());
    QSignalSpy opened(m_manager.get(), &TTVServerManager::OpenStreamCompleted);
    QVERIFY(m_manager->openStream(5, 1));
    QVERIFY(opened.wait(10000));
    QCOMPARE(opened.first().at(0).toString(), QString());
    QVERIFY(opened.first().at(1).toInt() > 0);
    QCOMPARE(opened.first().at(2).toInt(), 60);  // no interval in the answer

    QVERIFY(m_manager->openStream(3, 1));
    QVERIFY(log.waitFor("ERROR open stream"));
    QCOMPARE(opened.count(), 1);
    QVERIFY(!m_manager->isBusy());
}

void TestServer::saveStbSettings_data()
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

void TestServer::saveStbSettings()
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

void TestServer::saveUserChannelList()
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

void TestServer::unsynchronisedClockIsLocal()
{
    ServerClock::setLocalClock([] { return qint64(1700000000999); });
    QVERIFY(!ServerClock::isKnown());
    QCOMPARE(ServerClock::serverNow(), qint64(1700000000));
    QCOMPARE(ServerClock::serverLocalNow(), qint64(1700000000));
}

void TestServer::synchronisedClockKeepsItsDistanceToLocal()
{
    qint64 localMs = 1000000000000;
    ServerClock::setLocalClock([&localMs] { return localMs; });
    ServerClock::synchronise(1000000100, 3 * 3600);  // the server is 100 s ahead
    QVERIFY(ServerClock::isKnown());
    QCOMPARE(ServerClock::utcOffset(), 3 * 3600);
    QCOMPARE(ServerClock::serverNow(), qint64(1000000100));
    localMs += 61500;
    QCOMPARE(ServerClock::serverNow(), qint64(1000000161));
    QCOMPARE(ServerClock::serverLocalNow(), qint64(1000000161 + 3 * 3600));
}

QTEST_MAIN(TestServer)
#include "tst_server.moc"
