// The emulator's live streams, portal page, pictures and start-up checks.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include "emulatorprocess.h"
#include "rawhttp.h"
#include "testscenario.h"

namespace {

constexpr qsizetype kPacket = 188;
constexpr double kSampleSeconds = 10.0;  // as the build encodes them

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

}  // namespace

class TestEmulatorStream : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void streamIsAnOpenEndedTransportStream();
    void streamIsPacedAtTheSamplesRate();
    void streamPlaysTheChannelsSample();
    void portalListsOpenChannelsAsFilmLinks();
    void shippedSamplesAreSmallTransportStreams();
    void shippedScenariosLoad_data();
    void shippedScenariosLoad();
    void missingSamplesStopTheStartWithAClearMessage();
    void badScenariosStopTheStartNamingTheMember_data();
    void badScenariosStopTheStartNamingTheMember();

private:
    RawHttpConnection* openStream(const QByteArray& path);

    EmulatorProcess m_emulator;
    std::unique_ptr<RawHttpConnection> m_connection;
};

void TestEmulatorStream::initTestCase()
{
    QVERIFY(m_emulator.start(TestScenario::json()));
}

RawHttpConnection* TestEmulatorStream::openStream(const QByteArray& path)
{
    m_connection = std::make_unique<RawHttpConnection>();
    if (!m_connection->connectTo(m_emulator.port()))
        return nullptr;
    m_connection->send(rawGet(path, m_emulator.host().toLatin1()));
    return m_connection.get();
}

void TestEmulatorStream::streamIsAnOpenEndedTransportStream()
{
    RawHttpConnection* connection = openStream("/stream/1?offset=7");
    QVERIFY(connection);
    const std::optional<RawResponse> head = connection->readHead();
    QVERIFY(head);
    QCOMPARE(head->status, 200);
    QCOMPARE(head->headers.value("content-type"), QByteArray("video/mp2t"));
    QVERIFY(!head->headers.contains("content-length"));
    QCOMPARE(head->headers.value("connection"), QByteArray("close"));

    QVERIFY(QTest::qWaitFor(
        [&] {
            connection->buffered() += connection->socket().readAll();
            return connection->buffered().size() >= 20 * kPacket;
        },
        5000));
    QCOMPARE(misplacedSyncBytes(connection->buffered()), 0);

    const QList<EmulatorRequest> logged = m_emulator.requests();
    QCOMPARE(logged.last().method, QString("GET"));
    QCOMPARE(logged.last().path, QString("/stream/1?offset=7"));
}

// Bytes counted over about a second from the first one that arrives.
void TestEmulatorStream::streamIsPacedAtTheSamplesRate()
{
    const double rate = double(sampleBytes("test-pattern.ts").size()) / kSampleSeconds;
    QVERIFY(rate > 10000);
    RawHttpConnection* connection = openStream("/stream/2");
    QVERIFY(connection && connection->readHead());

    QTcpSocket& socket = connection->socket();
    QByteArray received = connection->buffered();
    QSignalSpy readyRead(&socket, &QTcpSocket::readyRead);
    while (received.isEmpty() && readyRead.wait(5000))
        received += socket.readAll();
    QVERIFY(!received.isEmpty());
    const qsizetype atStart = received.size();
    QElapsedTimer window;
    window.start();
    while (window.elapsed() < 1200) {
        if (readyRead.wait(500))
            received += socket.readAll();
    }
    received += socket.readAll();
    const double measured = double(received.size() - atStart) * 1000.0 / double(window.elapsed());

    QVERIFY2(measured > rate * 0.8 && measured < rate * 1.2,
             qPrintable(QString("%1 bytes/s, expected about %2").arg(measured).arg(rate)));
    QCOMPARE(misplacedSyncBytes(received), 0);
}

void TestEmulatorStream::streamPlaysTheChannelsSample()
{
    const QByteArray sample = sampleBytes("two-audio-tracks.ts");
    QVERIFY(!sample.isEmpty());
    RawHttpConnection* connection = openStream("/stream/6?offset=1");
    QVERIFY(connection && connection->readHead());
    QVERIFY(QTest::qWaitFor(
        [&] {
            connection->buffered() += connection->socket().readAll();
            return connection->buffered().size() >= 10 * kPacket;
        },
        5000));
    const QByteArray start = connection->buffered().left(10 * kPacket);
    QVERIFY(start == sample.left(start.size()));
    QVERIFY(start != sampleBytes("test-pattern.ts").left(start.size()));
}

void TestEmulatorStream::portalListsOpenChannelsAsFilmLinks()
{
    RawHttpConnection* connection = openStream("/?wap=1&lan=1&usex=1");
    QVERIFY(connection);
    const std::optional<RawResponse> response = connection->readResponse();
    QVERIFY(response);
    QCOMPARE(response->status, 200);
    QVERIFY(response->headers.value("content-type").startsWith("text/html"));
    const QString page = QString::fromUtf8(response->body);
    const QString host = m_emulator.host();
    // The closed channel 3 is no film; the first open one is the default.
    QVERIFY(page.contains(QStringLiteral("<title>http://%1/stream/1 | Первый</title>").arg(host)));
    QVERIFY(page.contains(QStringLiteral("href=\"ftp://%1/pub/films/stream/1\"").arg(host)));
    QVERIFY(page.contains(QStringLiteral("href=\"httpx://%1/stream/2\"").arg(host)));
    QVERIFY(page.contains(QStringLiteral("href=\"ftp://%1/pub/films/stream/4\"").arg(host)));
    QVERIFY(!page.contains(QStringLiteral("/stream/3")));
    QVERIFY(page.contains(QStringLiteral("function walkGenres(step)")));
    QVERIFY(page.contains(QStringLiteral("function walkMovies(step)")));
}

void TestEmulatorStream::shippedSamplesAreSmallTransportStreams()
{
    for (const QString name : {"test-pattern.ts", "two-audio-tracks.ts"}) {
        const QByteArray sample = sampleBytes(name);
        QVERIFY2(sample.size() > 100 * 1024 && sample.size() < 1024 * 1024, qPrintable(name));
        QCOMPARE(sample.size() % kPacket, 0);
        QCOMPARE(misplacedSyncBytes(sample), 0);
    }
    // Language descriptors (ISO 639, tag 0x0a) in the programme map of the second one.
    const QByteArray twoTracks = sampleBytes("two-audio-tracks.ts").left(4 * kPacket);
    QVERIFY(twoTracks.contains(QByteArray("\x0a\x04rus", 6)));
    QVERIFY(
        twoTracks.contains(QByteArray("\x0a\x04"
                                      "eng",
                                      6)));
}

void TestEmulatorStream::shippedScenariosLoad_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("demo") << "demo";
    QTest::newRow("large") << "large";
}

void TestEmulatorStream::shippedScenariosLoad()
{
    QFETCH(QString, name);
    EmulatorProcess emulator;
    QVERIFY(emulator.start(name));
    QVERIFY(!EmulatorProcess::shippedScenario(name).isEmpty());
}

void TestEmulatorStream::missingSamplesStopTheStartWithAClearMessage()
{
    const QTemporaryDir empty;
    QProcess process;
    process.start(EmulatorProcess::executable(), {"--scenario", "demo", "--samples", empty.path()});
    QVERIFY(process.waitForFinished(15000));
    QCOMPARE(process.exitCode(), 1);
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(error.contains("test-pattern.ts") && error.contains(empty.path()), qPrintable(error));
    QVERIFY(process.readAllStandardOutput().isEmpty());
}

void TestEmulatorStream::badScenariosStopTheStartNamingTheMember_data()
{
    QTest::addColumn<QByteArray>("scenario");
    QTest::addColumn<QString>("named");
    QTest::newRow("not JSON") << QByteArray("{\"channels\": [") << "not a JSON object";
    QTest::newRow("unknown member") << QByteArray("{\"chanels\": []}") << "scenario.chanels";
    QTest::newRow("missing name") << QByteArray("{\"channels\": [{\"id\": 1}]}")
                                  << "channels[0].name: missing";
    QTest::newRow("wrong type") << QByteArray(
                                       "{\"channels\": [{\"id\": 1, \"name\": \"a\", "
                                       "\"offsets\": [1, \"7\"]}]}")
                                << "channels[0].offsets";
    QTest::newRow("twice the same id")
        << QByteArray(
               "{\"channels\": [{\"id\": 1, \"name\": \"a\"}, {\"id\": 1, "
               "\"name\": \"b\"}]}")
        << "id 1 is used twice";
    QTest::newRow("unknown scheme") << QByteArray(
                                           "{\"channels\": [{\"id\": 1, \"name\": \"a\", "
                                           "\"stream\": {\"scheme\": \"RTSP\"}}]}")
                                    << "channels[0].stream.scheme";
    QTest::newRow("bad time") << QByteArray("{\"time\": {\"now\": \"yesterday\"}}") << "time.now";
}

void TestEmulatorStream::badScenariosStopTheStartNamingTheMember()
{
    QFETCH(QByteArray, scenario);
    QFETCH(QString, named);
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(scenario);
    file.close();
    QProcess process;
    process.start(EmulatorProcess::executable(), {"--scenario", file.fileName()});
    QVERIFY(process.waitForFinished(15000));
    QCOMPARE(process.exitCode(), 1);
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(error.contains(named), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestEmulatorStream)
#include "tst_emulator_stream.moc"
