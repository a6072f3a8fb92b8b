// Each fault the emulator can inject does what it says, and only for the
// calls it is meant for.

#include <QProcess>
#include <QTest>

#include "emulatorprocess.h"
#include "rawhttp.h"
#include "rpcclient.h"
#include "testscenario.h"
#include "user_info.pb.h"

namespace {

constexpr char kUserInfoPath[] = "/server/TvServerService/GetUserInfo.pb";

}  // namespace

class TestEmulatorFaults : public QObject
{
    Q_OBJECT

private slots:
    void resultCodeByName();
    void resultCodeByNumberOutsideTheEnum();
    void httpStatusComesWithAValidBody();
    void emptyBody();
    void garbageBody();
    void truncatedBodyIsTheFirstHalf();
    void delayHoldsTheAnswerBack();
    void droppedConnectionAnswersNothing();
    void droppedConnectionIsANetworkErrorForTheClient();
    void resetCutsTheBodyInHalf();
    void faultsFromTheScenarioFile();
    void commandLineReplacesTheScenariosFault();
    void otherMethodsAreUntouched();
    void badFaultsStopTheStart_data();
    void badFaultsStopTheStart();

private:
    // Starts with the faults, authorises and asks for the user information.
    HttpAnswer userInfoWith(const QStringList& faults, int calls = 1);
    QByteArray userInfoRequest() const;

    std::unique_ptr<EmulatorProcess> m_emulator;
    std::unique_ptr<RpcClient> m_client;
    std::string m_token;
};

QByteArray TestEmulatorFaults::userInfoRequest() const
{
    proto::GetUserInfoRequest request;
    request.set_auth(m_token);
    return QByteArray::fromStdString(request.SerializeAsString());
}

HttpAnswer TestEmulatorFaults::userInfoWith(const QStringList& faults, int calls)
{
    QStringList arguments;
    for (const QString& fault : faults)
        arguments << "--fault" << fault;
    m_emulator = std::make_unique<EmulatorProcess>();
    if (!m_emulator->start(TestScenario::json(), arguments))
        return {};
    m_client = std::make_unique<RpcClient>(m_emulator->host());
    m_token = m_client->authorize(TestScenario::kMac).toStdString();
    HttpAnswer answer;
    for (int i = 0; i < calls; ++i)
        answer = m_client->post(kUserInfoPath, userInfoRequest());
    return answer;
}

void TestEmulatorFaults::resultCodeByName()
{
    const HttpAnswer answer = userInfoWith({"GetUserInfo:result=NoAuth"});
    QCOMPARE(answer.status, 200);
    proto::GetUserInfoResponse response;
    QVERIFY(answer.parse(&response));
    QCOMPARE(response.status(), proto::GetUserInfoResponse::NoAuth);
    QVERIFY(response.has_info());  // the rest of the answer stays as handled
}

void TestEmulatorFaults::resultCodeByNumberOutsideTheEnum()
{
    // proto2 keeps an unknown enum value aside, so the required field is unset.
    const HttpAnswer answer = userInfoWith({"GetUserInfo:result=7"});
    QCOMPARE(answer.status, 200);
    proto::GetUserInfoResponse response;
    QVERIFY(!answer.parse(&response));
    QVERIFY(response.ParsePartialFromString(answer.body.toStdString()));
    QVERIFY(!response.has_status());
}

void TestEmulatorFaults::httpStatusComesWithAValidBody()
{
    const HttpAnswer answer = userInfoWith({"GetUserInfo:status=500"});
    QCOMPARE(answer.status, 500);
    QCOMPARE(answer.error, QNetworkReply::InternalServerError);
    proto::GetUserInfoResponse response;
    QVERIFY(answer.parse(&response));
    QCOMPARE(response.status(), proto::GetUserInfoResponse::OK);
    QCOMPARE(response.info().account_id(), 42);
}

void TestEmulatorFaults::emptyBody()
{
    const HttpAnswer answer = userInfoWith({"GetUserInfo:body=empty"});
    QCOMPARE(answer.error, QNetworkReply::NoError);
    QCOMPARE(answer.status, 200);
    QVERIFY(answer.body.isEmpty());
    proto::GetUserInfoResponse response;
    QVERIFY(!answer.parse(&response));  // the required status is missing
}

void TestEmulatorFaults::garbageBody()
{
    const HttpAnswer answer = userInfoWith({"GetUserInfo:body=garbage"});
    QCOMPARE(answer.status, 200);
    QVERIFY(!answer.body.isEmpty());
    proto::GetUserInfoResponse response;
    QVERIFY(!response.ParsePartialFromString(answer.body.toStdString()));
}

void TestEmulatorFaults::truncatedBodyIsTheFirstHalf()
{
    const HttpAnswer cut = userInfoWith({"GetUserInfo:body=truncated,times=1"});
    const HttpAnswer whole = m_client->post(kUserInfoPath, userInfoRequest());
    proto::GetUserInfoResponse response;
    QVERIFY(whole.parse(&response));
    QCOMPARE(cut.status, 200);
    QCOMPARE(cut.body, whole.body.left(whole.body.size() / 2));
    QVERIFY(!cut.parse(&response));
}

void TestEmulatorFaults::delayHoldsTheAnswerBack()
{
    const HttpAnswer delayed = userInfoWith({"GetUserInfo:delay=700"});
    QVERIFY2(delayed.elapsedMs >= 700, qPrintable(QString::number(delayed.elapsedMs)));
    proto::GetUserInfoResponse response;
    QVERIFY(delayed.parse(&response));
    QCOMPARE(response.status(), proto::GetUserInfoResponse::OK);
}

void TestEmulatorFaults::droppedConnectionAnswersNothing()
{
    userInfoWith({"GetUserInfo:connection=drop"}, 0);
    RawHttpConnection connection;
    QVERIFY(connection.connectTo(m_emulator->port()));
    connection.send(rawPost(kUserInfoPath, m_emulator->host().toLatin1(), userInfoRequest()));
    QByteArray received;
    QVERIFY(connection.readUntilClosed(&received));
    QVERIFY2(received.isEmpty(), received.constData());
    QCOMPARE(m_emulator->requests("GetUserInfo").size(), 1);
}

void TestEmulatorFaults::droppedConnectionIsANetworkErrorForTheClient()
{
    const HttpAnswer answer = userInfoWith({"GetUserInfo:connection=drop"});
    QCOMPARE(answer.error, QNetworkReply::RemoteHostClosedError);
    QVERIFY(answer.body.isEmpty());
}

void TestEmulatorFaults::resetCutsTheBodyInHalf()
{
    userInfoWith({"GetUserInfo:connection=reset"}, 0);
    RawHttpConnection connection;
    QVERIFY(connection.connectTo(m_emulator->port()));
    connection.send(rawPost(kUserInfoPath, m_emulator->host().toLatin1(), userInfoRequest()));
    const std::optional<RawResponse> head = connection.readHead();
    QVERIFY(head);
    QCOMPARE(head->status, 200);
    const qsizetype announced = head->headers.value("content-length").toLongLong();
    QVERIFY(announced > 10);

    QByteArray body;
    QVERIFY(connection.readUntilClosed(&body));
    QCOMPARE(body.size(), announced / 2);
    QCOMPARE(connection.socket().error(), QAbstractSocket::RemoteHostClosedError);

    // Qt 6.4's network access reports this as finished without error, but the
    // body stays short of its Content-Length and does not parse.
    m_client = std::make_unique<RpcClient>(m_emulator->host());
    const HttpAnswer answer = m_client->post(kUserInfoPath, userInfoRequest());
    QVERIFY(answer.body.size() < announced);
    proto::GetUserInfoResponse response;
    QVERIFY(!answer.parse(&response));
}

void TestEmulatorFaults::faultsFromTheScenarioFile()
{
    QJsonObject scenario = TestScenario::json();
    scenario["faults"] = QJsonObject{{"GetUserInfo", QJsonObject{{"status", 503}, {"times", 2}}}};
    EmulatorProcess emulator;
    QVERIFY(emulator.start(scenario));
    RpcClient client(emulator.host());
    m_token = client.authorize(TestScenario::kMac).toStdString();
    QCOMPARE(client.post(kUserInfoPath, userInfoRequest()).status, 503);
    QCOMPARE(client.post(kUserInfoPath, userInfoRequest()).status, 503);
    QCOMPARE(client.post(kUserInfoPath, userInfoRequest()).status, 200);
}

void TestEmulatorFaults::commandLineReplacesTheScenariosFault()
{
    QJsonObject scenario = TestScenario::json();
    scenario["faults"] = QJsonObject{{"GetUserInfo", QJsonObject{{"status", 503}}}};
    EmulatorProcess emulator;
    QVERIFY(emulator.start(scenario, {"--fault", "GetUserInfo:status=502"}));
    RpcClient client(emulator.host());
    m_token = client.authorize(TestScenario::kMac).toStdString();
    QCOMPARE(client.post(kUserInfoPath, userInfoRequest()).status, 502);
}

void TestEmulatorFaults::otherMethodsAreUntouched()
{
    const HttpAnswer answer = userInfoWith({"GetTime:status=500,body=garbage"});
    QCOMPARE(answer.status, 200);
    proto::GetUserInfoResponse response;
    QVERIFY(answer.parse(&response));
    QCOMPARE(response.status(), proto::GetUserInfoResponse::OK);
}

void TestEmulatorFaults::badFaultsStopTheStart_data()
{
    QTest::addColumn<QString>("fault");
    QTest::newRow("unknown method") << "Ping:status=500";
    QTest::newRow("unknown result name") << "GetUserInfo:result=Deny";
    QTest::newRow("unknown key") << "GetUserInfo:colour=red";
    QTest::newRow("unknown body") << "GetUserInfo:body=short";
    QTest::newRow("no key") << "GetUserInfo";
}

void TestEmulatorFaults::badFaultsStopTheStart()
{
    QFETCH(QString, fault);
    const std::unique_ptr<QTemporaryFile> scenario = writeTemporaryScenario(TestScenario::json());
    QProcess process;
    process.start(EmulatorProcess::executable(),
                  {"--scenario", scenario->fileName(), "--fault", fault});
    QVERIFY(process.waitForFinished(15000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(!process.readAllStandardOutput().contains("listening"));
    QVERIFY(process.readAllStandardError().contains("fault"));
}

QTEST_GUILESS_MAIN(TestEmulatorFaults)
#include "tst_emulator_faults.moc"
