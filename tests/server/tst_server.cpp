#include "emulatorprocess.h"
#include "jsonrows.h"
#include "logcapture.h"
#include "serverclock.h"
#include "tablerows.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"
#include "tvclient.h"

#include <QJsonDocument>
#include <QMetaMethod>
#include <QSignalSpy>
#include <QTest>

#include <google/protobuf/text_format.h>

using google::protobuf::TextFormat;

namespace {

const QString mac = QStringLiteral("AABBCCDDEEFF");

QByteArray dataFile(const QString& name)
{
    QFile file(QStringLiteral(ZENTRIA_SERVER_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList rpcNames(const QList<EmulatorRequest>& requests)
{
    QStringList names;
    for (const EmulatorRequest& request : requests)
        names << (request.rpc.isEmpty() ? request.method + ' ' + request.path : request.rpc);
    return names;
}

// Every error signal of the manager and its completion, so that a row can
// name all that was told and nothing else.
class Outcome
{
public:
    explicit Outcome(TTVServerManager* manager)
    {
        const QMetaObject* meta = manager->metaObject();
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.methodType() == QMetaMethod::Signal &&
                (method.name().startsWith("Error") ||
                 method.name() == "LoadAllClientInfoFromServerCompleted"))
                m_spies.emplace_back(method.name(), std::make_unique<QSignalSpy>(manager, method));
        }
    }
    // "Name" or "Name: first argument".
    QStringList emitted() const
    {
        QStringList told;
        for (const auto& [signal, spy] : m_spies)
            for (const QList<QVariant>& arguments : *spy)
                told << (arguments.isEmpty() ? QString::fromLatin1(signal)
                                             : signal + ": " + arguments.first().toString());
        return told;
    }

private:
    std::vector<std::pair<QByteArray, std::unique_ptr<QSignalSpy>>> m_spies;
};

}  // namespace

// The session manager, its transport and its clock, mostly against the operator emulator.
class TestServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        m_profile = std::make_unique<TemporaryProfile>();
        // The version the log-in reports, as start-up sets it.
        QCoreApplication::setApplicationVersion("2.2.16");
    }
    void cleanup();

    // The log-in chain.
    void loginChainSendsTheExactRequestsAndKeepsTheAnswers();
    void logInEndsAsTheServerAnswers_data();
    void logInEndsAsTheServerAnswers();
    void userChannelListStepWhenEnabledAndSaved();
    void authorizingAgainRestartsTheChain();
    void noSessionWithoutInitMacOrServer();

    // The transport on its own.
    void backToBackCallsCompleteInIssueOrder();
    void refusedAndSilentCallsEndInErrors();

    // Streams and saving.
    void streamOpenUpdateClose();
    void streamUrls_data();
    void streamUrls();
    void saveStbSettingsSendsOnlyThePlayersPart();

    void serverClockRunsWithTheLocalOne();

private:
    // Starts an emulator on session.json with the changes and a manager pointed at it.
    bool startSession(const QJsonObject& changes = {}, const QStringList& arguments = {});
    bool logIn();

    std::unique_ptr<TemporaryProfile> m_profile;
    std::unique_ptr<EmulatorProcess> m_emulator;
    std::unique_ptr<TTVServerManager> m_manager;
};

void TestServer::cleanup()
{
    m_manager.reset();
    m_emulator.reset();
    ServerClock::reset();
    ServerClock::setLocalClock({});
}

bool TestServer::startSession(const QJsonObject& changes, const QStringList& arguments)
{
    QJsonObject scenario = QJsonDocument::fromJson(dataFile("session.json")).object();
    for (auto it = changes.begin(); it != changes.end(); ++it)
        scenario.insert(it.key(), it.value());
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
    QVERIFY(startSession());
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
    QVERIFY(qAbs(ServerClock::serverLocalNow() - serverTime - 10800) < 60);

    QVERIFY(m_manager->isAuthorized());
    QCOMPARE(m_manager->userInfo()->info().account_id(), 77);
    QCOMPARE(m_manager->userSettings()->data().volume(), 60);
    QCOMPARE(m_manager->channelList()->list_size(), 5);
    QCOMPARE(m_manager->channelList()->offsets_size(), 2);
    QVERIFY(m_manager->channelList()->list(0).epg_size() > 0);
    QVERIFY(m_manager->channelList()->list(0).has_icon());
    QVERIFY(!m_manager->userChannelList());
    QCOMPARE(m_manager->storedCustomSettings(), QByteArray(R"({"test":7})"));
}

void TestServer::logInEndsAsTheServerAnswers_data()
{
    addJsonRows(ZENTRIA_SERVER_DATA "/login-outcomes.json");
}

// Who may use the player, failing steps, broken answers and the picture:
// what is told, what is sent and what is kept when the chain ends.
void TestServer::logInEndsAsTheServerAnswers()
{
    QFETCH(QJsonObject, row);
    QStringList arguments;
    for (const QString& fault : strings(row["faults"]))
        arguments << "--fault" << fault;
    LogCapture log;
    QVERIFY(startSession(row["scenario"].toObject(), arguments));
    Outcome outcome(m_manager.get());
    m_manager->authorize();

    const QStringList emitted = strings(row["emitted"]);
    if (row.contains("log"))
        QVERIFY(log.waitFor(row["log"].toString()));
    if (emitted.isEmpty())
        QTRY_VERIFY_WITH_TIMEOUT(m_manager->isChannelListLoaded(), 10000);
    QTRY_COMPARE_WITH_TIMEOUT(outcome.emitted(), emitted, 10000);
    QCOMPARE(rpcNames(m_emulator->requests()), strings(row["sent"]));
    QStringList loaded;
    for (const auto& [name, flag] : {std::pair{"userInfo", m_manager->isUserInfoLoaded()},
                                     {"imageUrl", m_manager->isCloseChannelImageUrlLoaded()},
                                     {"settings", m_manager->isUserSettingsLoaded()},
                                     {"channels", m_manager->isChannelListLoaded()}})
        if (flag)
            loaded << name;
    QCOMPARE(loaded, strings(row["loaded"]));
    // A call left busy would stop the stream keep-alive.
    QVERIFY(!m_manager->isBusy());
    QCOMPARE(!m_manager->closeChannelPixmap().value_or(QPixmap()).isNull(),
             row["picture"].toBool());
    if (row.contains("refetches"))
        QCOMPARE(m_manager->loadCloseChannelPixmap(), row["refetches"].toBool());
}

void TestServer::userChannelListStepWhenEnabledAndSaved()
{
    QVERIFY(startSession());
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

    proto::UserChannelData data;
    QVERIFY(TextFormat::ParseFromString("channel_id: 5 channel_id: 1 channel_id: 4 enabled: true",
                                        &data));
    QSignalSpy saved(m_manager.get(), &TTVServerManager::SaveNewUserChannelListCompleted);
    m_manager->saveUserChannelList(data, false);
    QVERIFY(saved.wait(10000));
    QCOMPARE(m_emulator->requests("SetUserChannel").first().message,
             QStringLiteral("auth: \"tok-1\" data { channel_id: 5 channel_id: 1 channel_id: 4 "
                            "enabled: true } use_shared: false"));
    m_manager->loadUserChannelList(false, false);
    QVERIFY(ownSignal.wait(10000));
    QCOMPARE(m_manager->userChannelList()->data().channel_id_size(), 3);
}

void TestServer::authorizingAgainRestartsTheChain()
{
    QVERIFY(startSession({}, {"--fault", "Auth:delay=500,times=1"}));
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

// Before init, without a MAC and without a server nothing is sent or kept.
void TestServer::noSessionWithoutInitMacOrServer()
{
    TTVServerManager manager;
    manager.setMac(mac);
    manager.authorize();
    QVERIFY(!manager.isBusy());
    QVERIFY(!manager.openStream(1, 1));
    QVERIFY(!manager.loadCloseChannelPixmap());
    QVERIFY(!manager.channelList());
    QVERIFY(!manager.closeChannelPixmap().has_value());

    QVERIFY(startSession());
    QVERIFY(!m_manager->init());
    m_manager->setMac(QString());
    m_manager->authorize();
    QVERIFY(!m_manager->isBusy());
    QVERIFY(m_emulator->requests().isEmpty());

    m_manager->setMac(mac);
    m_emulator->stop();
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

    proto::AuthRequest auth;
    auth.mutable_device()->set_type(proto::DT_IPTV_Player);
    client.authorize(auth);
    proto::TimeRequest time;
    time.set_auth("unknown");
    client.getServerTime(time);
    proto::GetUserInfoRequest info;
    info.set_auth("unknown");
    client.getUserInfo(info);

    QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 3, 10000);
    QCOMPARE(completed, (QStringList{"Auth", "GetTime", "GetUserInfo"}));
    const QList<EmulatorRequest> requests = emulator.requests();
    QCOMPARE(requests.size(), 3);
    for (const EmulatorRequest& request : requests)
        QCOMPARE(request.connection, requests.first().connection);
}

// A request missing a required field is refused before it is sent; a call
// the server does not answer times out, and the one behind it still completes.
void TestServer::refusedAndSilentCallsEndInErrors()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.start(QString("demo"), {"--fault", "Auth:delay=5000,times=1"}));
    TvClient client("127.0.0.1", emulator.port());
    client.setTransferTimeout(300);
    QSignalSpy errors(&client, &TvClient::error);
    QSignalSpy timeDone(&client, &TvClient::getServerTimeDone);
    QSignalSpy authDone(&client, &TvClient::authorizeDone);

    proto::TimeRequest withoutAuth;
    client.getServerTime(withoutAuth);
    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.first().at(0).toString().contains("auth"),
             qPrintable(errors.first().at(0).toString()));

    proto::AuthRequest auth;
    auth.mutable_device()->set_type(proto::DT_IPTV_Player);
    client.authorize(auth);
    client.authorize(auth);
    QVERIFY(errors.wait(10000));
    QCOMPARE(authDone.count(), 0);
    QVERIFY(authDone.wait(10000));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(timeDone.count(), 0);
    QCOMPARE(rpcNames(emulator.requests()), (QStringList{"Auth", "Auth"}));
}

void TestServer::streamOpenUpdateClose()
{
    QVERIFY(startSession({{"updateInterval", 30}}));
    QVERIFY(logIn());

    QSignalSpy opened(m_manager.get(), &TTVServerManager::OpenStreamCompleted);
    QVERIFY(m_manager->openStream(1, 7));
    QVERIFY(m_manager->isBusy());
    QVERIFY(opened.wait(10000));
    const int streamId = opened.first().at(1).toInt();
    QCOMPARE(opened.first().at(0).toString(),
             QStringLiteral("http://127.0.0.1:%1/stream/1?offset=7").arg(m_emulator->port()));
    QCOMPARE(opened.first().at(2).toInt(), 30);
    QCOMPARE(
        m_emulator->requests("OpenStream").first().message,
        QStringLiteral("auth: \"tok-1\" channel_id: 1 offset_id: 7 accept_scheme: Multicast_UDP "
                       "accept_scheme: HTTP_UDP"));

    QSignalSpy updated(m_manager.get(), &TTVServerManager::UpdateStreamCompleted);
    QVERIFY(m_manager->updateStream(streamId));
    QVERIFY(updated.wait(10000));

    QSignalSpy closed(m_manager.get(), &TTVServerManager::CloseStreamCompleted);
    QVERIFY(m_manager->closeStream(streamId));
    QVERIFY(closed.wait(10000));

    // The stream is gone now: a keep-alive for it is refused and only logged.
    LogCapture log;
    QVERIFY(m_manager->updateStream(streamId));
    QVERIFY(log.waitFor("ERROR update stream"));
    QCOMPARE(updated.count(), 1);

    // A closed channel opens with nothing to play; a secure one is refused.
    QVERIFY(m_manager->openStream(5, 1));
    QVERIFY(opened.wait(10000));
    QCOMPARE(opened.last().at(0).toString(), QString());
    QVERIFY(opened.last().at(1).toInt() > 0);
    QCOMPARE(opened.last().at(2).toInt(), 30);
    QVERIFY(m_manager->openStream(3, 1));
    QVERIFY(log.waitFor("ERROR open stream"));
    QCOMPARE(opened.count(), 2);
    QVERIFY(!m_manager->isBusy());
}

void TestServer::saveStbSettingsSendsOnlyThePlayersPart()
{
    QVERIFY(startSession());
    QVERIFY(logIn());
    proto::StbSettings settings;
    QVERIFY(TextFormat::ParseFromString(
        "volume: 70 brightness: 5 channel_volume { enabled: true record { "
        "id_channel: 2 volume: 40 } record { id_channel: 1 "
        "volume: 100 } }",
        &settings));
    QSignalSpy saved(m_manager.get(), &TTVServerManager::SaveNewStbSettingsCompleted);
    for (bool perChannel : {true, false}) {
        settings.mutable_channel_volume()->set_enabled(perChannel);
        m_manager->saveStbSettings(settings);
        QVERIFY(saved.wait(10000));
    }
    QStringList sent;
    for (const EmulatorRequest& request : m_emulator->requests("SetStbSettings"))
        sent << request.message;
    QCOMPARE(sent, QStringList({"auth: \"tok-1\" data { volume: 70 channel_volume { enabled: true "
                                "record { id_channel: 2 volume: 40 } record { id_channel: 1 "
                                "volume: 100 } } }",
                                "auth: \"tok-1\" data { volume: 70 channel_volume { enabled: "
                                "false } }"}));
}

void TestServer::streamUrls_data()
{
    addTableRows(ZENTRIA_SERVER_DATA "/stream-urls.txt");
}

void TestServer::streamUrls()
{
    QFETCH(QString, answer);
    QFETCH(QString, url);
    proto::OpenStreamResponse response;
    QVERIFY(TextFormat::ParseFromString(answer.toStdString(), &response));
    QCOMPARE(TTVServerManager::streamUrl(response), url);
}

// Unsynchronised, the server's clock is the local one; synchronised, it keeps
// its distance to the local clock as that runs on.
void TestServer::serverClockRunsWithTheLocalOne()
{
    qint64 localMs = 1700000000999;
    ServerClock::setLocalClock([&localMs] { return localMs; });
    QVERIFY(!ServerClock::isKnown());
    QCOMPARE(ServerClock::serverNow(), qint64(1700000000));
    QCOMPARE(ServerClock::serverLocalNow(), qint64(1700000000));

    localMs = 1000000000000;
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
