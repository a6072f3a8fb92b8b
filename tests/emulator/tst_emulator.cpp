// The operator emulator's own rules, spoken to by hand over real sockets: what
// each fault does to an answer, which start-ups it refuses, and the pacing of
// its streams. What it answers when nothing is wrong, the player's own tests
// see through the real client.

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTest>

#include <memory>

#include "auth.pb.h"
#include "emulatorprocess.h"
#include "time.pb.h"
#include "user_info.pb.h"

namespace {

const QString kData = QDir::cleanPath(QStringLiteral(ZENTRIA_EMULATOR_DATA));
const QString kScenario = kData + "/operator.json";
constexpr char kToken[] = "t-1";
constexpr qsizetype kPacket = 188;
constexpr qsizetype kSampleSeconds = 10;  // as the build encodes them

// What came back on a connection of its own: the head, then the body that
// arrived before it was whole (by Content-Length, or `wanted` bytes) or the
// server closed.
struct RawAnswer
{
    int status = 0;                        // 0: not even a head
    QMap<QByteArray, QByteArray> headers;  // lower-case names
    QByteArray body;
    bool closed = false;
};

RawAnswer parseAnswer(const QByteArray& bytes)
{
    RawAnswer answer;
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return answer;
    const QList<QByteArray> lines = bytes.left(headEnd).split('\n');
    answer.status = lines.first().split(' ').value(1).toInt();
    for (const QByteArray& line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        answer.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
    }
    answer.body = bytes.mid(headEnd + 4);
    return answer;
}

RawAnswer rawExchange(quint16 port, const QByteArray& request, qsizetype wanted = -1)
{
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    if (!socket.waitForConnected(10000))
        return {};
    socket.write(request);
    QByteArray bytes;
    RawAnswer answer;
    const auto whole = [&] {
        bytes += socket.readAll();
        answer = parseAnswer(bytes);
        const qsizetype length =
            wanted >= 0 ? wanted : answer.headers.value("content-length").toLongLong();
        return answer.status != 0 && answer.body.size() >= length;
    };
    const auto closed = [&] { return socket.state() == QAbstractSocket::UnconnectedState; };
    (void)QTest::qWaitFor([&] { return whole() || closed(); }, 20000);
    whole();
    answer.closed = closed();
    return answer;
}

QByteArray rpcRequest(const char* method, const google::protobuf::Message& message)
{
    const QByteArray body = QByteArray::fromStdString(message.SerializeAsString());
    return QByteArray("POST /server/TvServerService/") + method +
           ".pb HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

template <typename Request>
QByteArray withToken(const char* method)
{
    Request request;
    request.set_auth(kToken);
    return rpcRequest(method, request);
}

QByteArray sampleBytes(const QString& name)
{
    QFile file(EmulatorProcess::samplesDirectory() + '/' + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int misplacedSyncBytes(const QByteArray& stream)
{
    int misplaced = 0;
    for (qsizetype offset = 0; offset < stream.size(); offset += kPacket)
        misplaced += stream[offset] != '\x47';
    return misplaced;
}

// What a fault leaves of the answer's body.
enum class Body { Whole, Empty, Garbage, FirstHalf, HalfThenReset, Nothing };

}  // namespace

Q_DECLARE_METATYPE(Body)

class TestEmulator : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { m_emulator.reset(); }

    void faultSpoilsOneAnswer_data();
    void faultSpoilsOneAnswer();
    void scenarioFaultsGiveWayToTheCommandLine_data();
    void scenarioFaultsGiveWayToTheCommandLine();
    void startUp_data();
    void startUp();
    void streamIsAPacedTransportStream_data();
    void streamIsAPacedTransportStream();

private:
    bool startLoggedIn(const QStringList& arguments);
    RawAnswer exchange(const QByteArray& request, qsizetype wanted = -1)
    {
        return rawExchange(m_emulator->port(), request, wanted);
    }

    std::unique_ptr<EmulatorProcess> m_emulator;
};

bool TestEmulator::startLoggedIn(const QStringList& arguments)
{
    m_emulator = std::make_unique<EmulatorProcess>();
    if (!m_emulator->start(kScenario, arguments))
        return false;
    proto::AuthRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.mutable_device()->set_mac("001122334455");
    proto::AuthResponse response;
    return response.ParseFromString(exchange(rpcRequest("Auth", request)).body.toStdString()) &&
           response.auth_token() == kToken;
}

void TestEmulator::faultSpoilsOneAnswer_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("status");  // 0: no answer at all
    QTest::addColumn<Body>("body");
    QTest::addColumn<int>("result");  // of a whole body; -1: unset on the wire
    QTest::addColumn<int>("delayMs");
    const int ok = proto::GetUserInfoResponse::OK;
    QTest::newRow("result by name") << "GetUserInfo:result=NoAuth" << 200 << Body::Whole
                                    << int(proto::GetUserInfoResponse::NoAuth) << 0;
    QTest::newRow("result outside the enum")
        << "GetUserInfo:result=7" << 200 << Body::Whole << -1 << 0;
    QTest::newRow("HTTP status") << "GetUserInfo:status=500" << 500 << Body::Whole << ok << 0;
    QTest::newRow("delay") << "GetUserInfo:delay=700" << 200 << Body::Whole << ok << 700;
    QTest::newRow("empty body") << "GetUserInfo:body=empty" << 200 << Body::Empty << -1 << 0;
    QTest::newRow("garbage body") << "GetUserInfo:body=garbage" << 200 << Body::Garbage << -1 << 0;
    QTest::newRow("truncated body")
        << "GetUserInfo:body=truncated" << 200 << Body::FirstHalf << -1 << 0;
    QTest::newRow("dropped connection")
        << "GetUserInfo:connection=drop" << 0 << Body::Nothing << -1 << 0;
    QTest::newRow("reset connection")
        << "GetUserInfo:connection=reset" << 200 << Body::HalfThenReset << -1 << 0;
    QTest::newRow("combined") << "GetUserInfo:status=503,body=empty,delay=300" << 503 << Body::Empty
                              << -1 << 300;
    QTest::newRow("another method's fault")
        << "GetTime:status=500,body=garbage" << 200 << Body::Whole << ok << 0;
}

// Each fault spoils the first call only (times=1); the second shows the whole answer.
void TestEmulator::faultSpoilsOneAnswer()
{
    QFETCH(QString, fault);
    QFETCH(int, status);
    QFETCH(Body, body);
    QFETCH(int, result);
    QFETCH(int, delayMs);
    QVERIFY(startLoggedIn({"--fault", fault + ",times=1"}));
    const QByteArray request = withToken<proto::GetUserInfoRequest>("GetUserInfo");
    QElapsedTimer clock;
    clock.start();
    const RawAnswer spoiled = exchange(request);
    QVERIFY2(clock.elapsed() >= delayMs, qPrintable(QString::number(clock.elapsed())));
    const RawAnswer whole = exchange(request);
    proto::GetUserInfoResponse reference;
    QCOMPARE(whole.status, 200);
    QVERIFY(reference.ParseFromString(whole.body.toStdString()));
    QCOMPARE(reference.status(), proto::GetUserInfoResponse::OK);
    QCOMPARE(reference.info().account_id(), 42);

    QCOMPARE(spoiled.status, status);
    const QByteArray half = whole.body.left(whole.body.size() / 2);
    proto::GetUserInfoResponse response;
    switch (body) {
        case Body::Whole:
            QVERIFY(response.ParsePartialFromString(spoiled.body.toStdString()));
            QCOMPARE(response.has_status() ? int(response.status()) : -1, result);
            QCOMPARE(response.info().SerializeAsString(), reference.info().SerializeAsString());
            break;
        case Body::Empty:
            QVERIFY(spoiled.body.isEmpty());
            break;
        case Body::Garbage:
            QVERIFY(!spoiled.body.isEmpty());
            QVERIFY(!response.ParsePartialFromString(spoiled.body.toStdString()));
            break;
        case Body::FirstHalf:
            QCOMPARE(spoiled.body, half);
            break;
        case Body::HalfThenReset:
            QCOMPARE(spoiled.headers.value("content-length").toLongLong(), whole.body.size());
            QCOMPARE(spoiled.body, half);
            QVERIFY(spoiled.closed);
            break;
        case Body::Nothing:
            QVERIFY(spoiled.closed);
            QCOMPARE(m_emulator->requests("GetUserInfo").size(), 2);
            break;
    }
}

void TestEmulator::scenarioFaultsGiveWayToTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QList<int>>("statuses");
    // The scenario file spoils the first two calls of GetTime with 503.
    QTest::newRow("scenario") << QStringList() << QList<int>{503, 503, 200};
    QTest::newRow("command line") << QStringList{"--fault", "GetTime:status=502,times=1"}
                                  << QList<int>{502, 200, 200};
}

void TestEmulator::scenarioFaultsGiveWayToTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<int>, statuses);
    QVERIFY(startLoggedIn(arguments));
    QList<int> answered;
    for (int i = 0; i < statuses.size(); ++i)
        answered << exchange(withToken<proto::TimeRequest>("GetTime")).status;
    QCOMPARE(answered, statuses);
}

void TestEmulator::startUp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("listens");
    QTest::addColumn<QString>("message");
    const auto bad = [](const char* row, const QString& file, const QString& message) {
        QTest::newRow(row) << QStringList{"--scenario", kData + "/bad/" + file} << false << message;
    };
    bad("not JSON", "not-json.json", "not-json.json: not a JSON object");
    bad("unknown member", "unknown-member.json", "scenario.chanels: unknown member");
    bad("missing name", "missing-name.json", "channels[0].name: missing");
    bad("wrong type", "wrong-type.json", "channels[0].offsets: expected a list of integers");
    bad("same id twice", "same-id-twice.json", "channels: id 1 is used twice");
    bad("unknown scheme", "unknown-scheme.json", "channels[0].stream.scheme: not a StreamScheme");
    bad("bad time", "bad-time.json", "time.now: expected UTC seconds or an ISO 8601");
    bad("fault of an unknown method", "fault-for-unknown-method.json",
        "fault for Ping, which is not a method the emulator answers");
    bad("fault with an unknown result", "fault-with-unknown-result.json",
        "fault of GetUserInfo: Deny is not one of its result codes");

    const auto badFault = [](const char* row, const QString& fault, const QString& message) {
        QTest::newRow(row) << QStringList{"--scenario", kScenario, "--fault", fault} << false
                           << message;
    };
    badFault("fault with an unknown key", "GetUserInfo:colour=red", "bad colour");
    badFault("fault with an unknown body", "GetUserInfo:body=short", "bad body");
    badFault("fault without a key", "GetUserInfo", "expected key=value, got GetUserInfo");

    QTest::newRow("missing sample") << QStringList{"--scenario", kScenario, "--samples", kData}
                                    << false << "sample test-pattern.ts missing in " + kData;
    QTest::newRow("demo") << QStringList{"--scenario", "demo"} << true << "demo.json: 30 channels";
    QTest::newRow("large") << QStringList{"--scenario", "large"} << true
                           << "large.json: 500 channels, 168000 telecasts";
}

// A bad scenario, fault or sample folder ends the start with code 1 and says why.
void TestEmulator::startUp()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, listens);
    QFETCH(QString, message);
    QProcess process;
    process.start(EmulatorProcess::executable(), arguments << "--listen"
                                                           << "127.0.0.1:0");
    QByteArray output;
    QByteArray error;
    QVERIFY(QTest::qWaitFor(
        [&] {
            output += process.readAllStandardOutput();
            error += process.readAllStandardError();
            return process.state() == QProcess::NotRunning ||
                   (output.contains('\n') && error.contains('\n'));
        },
        20000));
    error += process.readAllStandardError();
    QVERIFY2(error.contains(message.toUtf8()), error.constData());
    QCOMPARE(output.startsWith("listening on 127.0.0.1:"), listens);
    if (!listens) {
        QCOMPARE(process.state(), QProcess::NotRunning);
        QCOMPARE(process.exitCode(), 1);
    }
    process.kill();
    process.waitForFinished(10000);
}

void TestEmulator::streamIsAPacedTransportStream_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QString>("sample");
    QTest::newRow("default sample") << QByteArray("/stream/1?offset=7") << "test-pattern.ts";
    QTest::newRow("channel's sample") << QByteArray("/stream/6") << "two-audio-tracks.ts";
}

// Open-ended MPEG-TS in whole packets, from the channel's sample, at its rate:
// a second's worth cannot arrive in much less than a second.
void TestEmulator::streamIsAPacedTransportStream()
{
    QFETCH(QByteArray, path);
    QFETCH(QString, sample);
    const QByteArray expected = sampleBytes(sample);
    QVERIFY(expected.size() > 100 * kPacket);
    const qsizetype secondsWorth = expected.size() / kSampleSeconds;
    m_emulator = std::make_unique<EmulatorProcess>();
    QVERIFY(m_emulator->start(kScenario));

    QElapsedTimer clock;
    clock.start();
    const RawAnswer stream =
        exchange("GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", secondsWorth);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(stream.status, 200);
    QCOMPARE(stream.headers.value("content-type"), QByteArray("video/mp2t"));
    QCOMPARE(stream.headers.value("connection"), QByteArray("close"));
    QVERIFY(!stream.headers.contains("content-length"));
    QVERIFY(stream.body.size() >= secondsWorth);
    QCOMPARE(stream.body.left(10 * kPacket), expected.left(10 * kPacket));
    QCOMPARE(misplacedSyncBytes(stream.body), 0);
    QVERIFY2(elapsed >= 500, qPrintable(QString("a second's worth in %1 ms").arg(elapsed)));
}

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
