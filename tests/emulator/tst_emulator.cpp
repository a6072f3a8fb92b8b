// The operator emulator's own rules, spoken to by hand over real sockets: what
// each fault does to an answer, which start-ups it refuses, the pacing of its
// streams, the films and pages of its portal, the packets of the local
// service it can play, and the update server's files. What it answers when
// nothing is wrong, the player's own tests see through the real client.

#include "auth.pb.h"
#include "emulatorprocess.h"
#include "tablerows.h"
#include "time.pb.h"
#include "user_info.pb.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStringEncoder>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QTest>
#include <QtEndian>

#include <memory>

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

RawAnswer rawExchange(quint16 port, const QByteArray& request, qsizetype wanted = -1)
{
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    socket.write(request);
    QByteArray bytes;
    RawAnswer answer;
    const auto done = [&] {
        bytes += socket.readAll();
        answer = {};
        answer.closed = socket.state() == QAbstractSocket::UnconnectedState;
        const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return answer.closed;
        const QList<QByteArray> lines = bytes.left(headEnd).split('\n');
        answer.status = lines.first().split(' ').value(1).toInt();
        for (const QByteArray& line : lines.mid(1)) {
            const qsizetype colon = line.indexOf(':');
            answer.headers.insert(line.left(colon).trimmed().toLower(),
                                  line.mid(colon + 1).trimmed());
        }
        answer.body = bytes.mid(headEnd + 4);
        return answer.closed ||
               answer.body.size() >=
                   (wanted >= 0 ? wanted : answer.headers.value("content-length").toLongLong());
    };
    (void)QTest::qWaitFor(done, 20000);
    done();
    return answer;
}

QByteArray rpcRequest(const char* method, const google::protobuf::Message& message)
{
    const QByteArray body = QByteArray::fromStdString(message.SerializeAsString());
    return QByteArray("POST /server/TvServerService/") + method +
           ".pb HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\n\r\n" + body;
}

QByteArray getRequest(const QString& path, const QString& host, const QString& headers = {})
{
    return ("GET " + path + " HTTP/1.1\r\nHost: " + host + "\r\n" + headers + "\r\n").toUtf8();
}

template <typename Request>
QByteArray withToken(const char* method, Request request = {})
{
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

QByteArray utf16(const QString& text)
{
    return QStringEncoder(QStringConverter::Utf16LE).encode(text);
}

// One request packet on a connection of its own, its header and text written
// apart; the bytes that came back before the service closed.
QByteArray localServiceExchange(quint16 port, const QString& request)
{
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", port);
    if (!socket.waitForConnected(10000))
        return {};
    const QByteArray text = utf16(request);
    QByteArray header(8, '\0');
    qToLittleEndian<quint32>(quint32(text.size()), header.data());
    socket.write(header);
    socket.waitForBytesWritten(10000);
    socket.write(text);
    QByteArray reply;
    while (socket.waitForReadyRead(10000))
        reply += socket.readAll();
    return reply + socket.readAll();
}

}  // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_emulator = std::make_unique<EmulatorProcess>(); }
    void cleanup() { m_emulator.reset(); }

    void faultSpoilsOneAnswer_data() { addTableRows(kData + "/faults.txt"); }
    void faultSpoilsOneAnswer();
    void scenarioFaultsGiveWayToTheCommandLine();
    void startUp_data() { addTableRows(kData + "/start-up.txt"); }
    void startUp();
    void streamIsAPacedTransportStream_data() { addTableRows(kData + "/streams.txt"); }
    void streamIsAPacedTransportStream();
    void filmsAreServedWholeOrInRanges_data() { addTableRows(kData + "/films.txt"); }
    void filmsAreServedWholeOrInRanges();
    void portalPageLinksFilmsThatAreServed_data() { addTableRows(kData + "/portal-pages.txt"); }
    void portalPageLinksFilmsThatAreServed();
    void localServiceAnswersOnePacket_data() { addTableRows(kData + "/local-service.txt"); }
    void localServiceAnswersOnePacket();
    void updateServerOffersItsArchive_data() { addTableRows(kData + "/update.txt"); }
    void updateServerOffersItsArchive();

private:
    bool startLoggedIn(const QStringList& arguments)
    {
        if (!m_emulator->start(kScenario, arguments))
            return false;
        proto::AuthRequest request;
        request.mutable_device()->set_type(proto::DT_IPTV_Player);
        request.mutable_device()->set_mac("001122334455");
        proto::AuthResponse response;
        return response.ParseFromString(exchange(rpcRequest("Auth", request)).body.toStdString()) &&
               response.auth_token() == kToken;
    }
    RawAnswer exchange(const QByteArray& request, qsizetype wanted = -1)
    {
        return rawExchange(m_emulator->port(), request, wanted);
    }

    std::unique_ptr<EmulatorProcess> m_emulator;
};

void TestEmulator::faultSpoilsOneAnswer()
{
    QFETCH(QString, fault);
    QFETCH(QString, status);
    QFETCH(QString, body);
    QFETCH(QString, result);
    QFETCH(QString, delay);
    QVERIFY(startLoggedIn({"--fault", fault + ",times=1"}));
    const QByteArray request = withToken("GetUserInfo", proto::GetUserInfoRequest());
    QElapsedTimer clock;
    clock.start();
    const RawAnswer spoiled = exchange(request);
    QVERIFY2(clock.elapsed() >= delay.toInt(), qPrintable(QString::number(clock.elapsed())));
    const RawAnswer whole = exchange(request);
    proto::GetUserInfoResponse reference;
    QCOMPARE(whole.status, 200);
    QVERIFY(reference.ParseFromString(whole.body.toStdString()));
    QCOMPARE(reference.status(), proto::GetUserInfoResponse::OK);
    QCOMPARE(reference.info().account_id(), 42);

    QCOMPARE(spoiled.status, status.toInt());
    proto::GetUserInfoResponse response;
    if (body == "whole") {
        QVERIFY(response.ParsePartialFromString(spoiled.body.toStdString()));
        const QString got =
            response.has_status()
                ? QString::fromStdString(proto::GetUserInfoResponse::Result_Name(response.status()))
                : QString("-");
        QCOMPARE(got, result);
        QCOMPARE(response.info().SerializeAsString(), reference.info().SerializeAsString());
    } else if (body == "garbage") {
        QVERIFY(!spoiled.body.isEmpty());
        QVERIFY(!response.ParsePartialFromString(spoiled.body.toStdString()));
    } else if (body == "nothing") {
        QVERIFY(spoiled.closed);
        QCOMPARE(m_emulator->requests("GetUserInfo").size(), 2);
    } else {
        QCOMPARE(spoiled.body,
                 body == "empty" ? QByteArray() : whole.body.left(whole.body.size() / 2));
        if (body == "half then reset") {
            QCOMPARE(spoiled.headers.value("content-length").toLongLong(), whole.body.size());
            QVERIFY(spoiled.closed);
        }
    }
}

// The scenario file spoils the first two calls of GetTime with 503; a fault
// of the command line replaces it.
void TestEmulator::scenarioFaultsGiveWayToTheCommandLine()
{
    for (const auto& [arguments, statuses] :
         {std::pair{QStringList(), QList<int>{503, 503, 200}},
          {QStringList{"--fault", "GetTime:status=502,times=1"}, QList<int>{502, 200, 200}}}) {
        init();
        QVERIFY(startLoggedIn(arguments));
        QList<int> answered;
        for (int i = 0; i < statuses.size(); ++i)
            answered << exchange(withToken("GetTime", proto::TimeRequest())).status;
        QCOMPARE(answered, statuses);
    }
}

void TestEmulator::startUp()
{
    QFETCH(QString, arguments);
    QFETCH(QString, listens);
    QFETCH(QString, message);
    QStringList argv{"--listen", "127.0.0.1:0"};
    for (QString argument : arguments.split(' ', Qt::SkipEmptyParts))
        argv << argument.replace("{scenario}", kScenario).replace("{data}", kData);
    QProcess process;
    process.start(EmulatorProcess::executable(), argv);
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
    QVERIFY2(error.contains(message.replace("{data}", kData).toUtf8()), error.constData());
    QCOMPARE(output.startsWith("listening on 127.0.0.1:"), listens == "yes");
    if (listens == "no") {
        QCOMPARE(process.state(), QProcess::NotRunning);
        QCOMPARE(process.exitCode(), 1);
    }
    process.kill();
    process.waitForFinished(10000);
}

// Open-ended MPEG-TS in whole packets, from the channel's sample, at its rate:
// a second's worth cannot arrive in much less than a second.
void TestEmulator::streamIsAPacedTransportStream()
{
    QFETCH(QString, path);
    QFETCH(QString, sample);
    const QByteArray expected = sampleBytes(sample);
    QVERIFY(expected.size() > 100 * kPacket);
    const qsizetype secondsWorth = expected.size() / kSampleSeconds;
    QVERIFY(m_emulator->start(kScenario));

    QElapsedTimer clock;
    clock.start();
    const RawAnswer stream =
        exchange("GET " + path.toUtf8() + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n", secondsWorth);
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

void TestEmulator::filmsAreServedWholeOrInRanges()
{
    QFETCH(QString, path);
    QFETCH(QString, range);
    QFETCH(QString, status);
    QFETCH(QString, bytes);
    QVERIFY(m_emulator->start(kScenario));
    const RawAnswer answer = exchange(
        getRequest(path, m_emulator->host(), range == "-" ? "" : "Range: " + range + "\r\n"));
    QCOMPARE(answer.status, status.toInt());
    if (bytes == "-")
        return;
    const QByteArray film = sampleBytes(QUrl(path).fileName());
    const qint64 first = bytes.section('-', 0, 0).toLongLong();
    const qint64 last = bytes.endsWith('-') ? film.size() - 1 : bytes.section('-', 1).toLongLong();
    QCOMPARE(answer.headers.value("accept-ranges"), QByteArray("bytes"));
    QVERIFY(answer.body == film.mid(first, last - first + 1));
    if (answer.status == 206) {
        QCOMPARE(answer.headers.value("content-range"),
                 QStringLiteral("bytes %1-%2/%3").arg(first).arg(last).arg(film.size()).toUtf8());
    }
}

// Film links in the two forms the player converts, each its own; the page
// title's default film; and a film behind every link.
void TestEmulator::portalPageLinksFilmsThatAreServed()
{
    QFETCH(QString, path);
    QFETCH(QString, ftp);
    QFETCH(QString, httpx);
    QFETCH(QString, defaultFilm);
    QVERIFY(m_emulator->start(kScenario));
    const QString host = m_emulator->host();
    const QString html = QString::fromUtf8(exchange(getRequest(path, host)).body);
    const QString server = QRegularExpression::escape(host);
    const QRegularExpression link("href=\"(ftp://" + server + "/pub/films|httpx://" + server +
                                  ")(/[^\"]*)\"");
    QMap<QString, int> forms;
    QSet<QString> targets, films;
    for (const QRegularExpressionMatch& match : link.globalMatch(html)) {
        ++forms[match.captured(1).section(':', 0, 0)];
        targets.insert(match.captured(2));
        films.insert(match.captured(2).section('?', 0, 0));
    }
    QCOMPARE(forms.value("ftp"), ftp.toInt());
    QCOMPARE(forms.value("httpx"), httpx.toInt());
    QCOMPARE(targets.size(), ftp.toInt() + httpx.toInt());
    const QStringList title =
        QRegularExpression("<title>([^<]*)</title>").match(html).captured(1).split('|');
    QCOMPARE(title.size() == 2 ? title.first().trimmed() : "-",
             defaultFilm == "-" ? defaultFilm : "ftp://" + host + "/pub/films" + defaultFilm);
    for (const QString& film : films)
        QVERIFY2(exchange(getRequest(film, host)).status == 200, qPrintable(film));
}

void TestEmulator::localServiceAnswersOnePacket()
{
    QFETCH(QString, fault);
    QFETCH(QString, request);
    QFETCH(QString, length);
    QFETCH(QString, status);
    QFETCH(QString, text);
    QVERIFY(m_emulator->start(kScenario, {"--local-service", fault == "-" ? "0" : "0," + fault}));
    QVERIFY(m_emulator->localServicePort() != 0);
    const QByteArray reply = localServiceExchange(m_emulator->localServicePort(), request);
    QVERIFY2(reply.size() >= 8, reply.toHex().constData());
    QCOMPARE(qFromLittleEndian<quint32>(reply.constData()), length.toUInt());
    QCOMPARE(qFromLittleEndian<qint32>(reply.constData() + 4), status.toInt());
    QCOMPARE(reply.mid(8), utf16(text));
    QTRY_COMPARE(m_emulator->requests("LocalService:" + request).size(), 1);
}

void TestEmulator::updateServerOffersItsArchive()
{
    QFETCH(QString, update);
    QFETCH(QString, version);
    QFETCH(QString, archive);
    const QByteArray bytes = QByteArray("archive bytes ").repeated(50000);
    QTemporaryFile file;
    QVERIFY(file.open() && file.write(bytes) == bytes.size() && file.flush());
    QJsonObject offer = QJsonDocument::fromJson(update.toUtf8()).object();
    offer["version"] = "2.3.0";
    offer["archive"] = file.fileName();
    QVERIFY(m_emulator->start(QJsonObject{{"update", offer}}));

    // A stalled body is taken as it stands once its half is in.
    const qsizetype half = bytes.size() / 2;
    const RawAnswer zip = exchange(getRequest("/iptv/zmplayer/product.zip", m_emulator->host()),
                                   archive == "half, open" ? half : -1);
    QCOMPARE(zip.status, 200);
    QCOMPARE(zip.headers.value("content-length").toLongLong(),
             archive == "other bytes" ? zip.body.size() : bytes.size());
    QCOMPARE(zip.body == bytes.left(archive == "all" ? bytes.size() : half),
             archive != "other bytes");
    QCOMPARE(zip.closed, archive == "half, closed");
    const QByteArray served = archive == "other bytes" ? zip.body : bytes;
    const QByteArray digest = QCryptographicHash::hash(served, QCryptographicHash::Sha256).toHex();
    version.replace("{host}", m_emulator->host()).replace("{digest}", digest);
    const RawAnswer text = exchange(getRequest("/iptv/zmplayer/version.txt", m_emulator->host()));
    QCOMPARE(text.status, version == "-" ? 404 : 200);
    if (version != "-")
        QCOMPARE(text.body, version.toUtf8() + '\n');
}

QTEST_GUILESS_MAIN(TestEmulator)
#include "tst_emulator.moc"
