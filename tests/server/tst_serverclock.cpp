#include "serverclock.h"
#include "ttvservermanager.h"

#include <QTest>

#include <google/protobuf/text_format.h>

class TestServerClock : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void unsynchronisedClockIsLocal();
    void synchronisedClockKeepsItsDistanceToLocal();
    void localTimeAddsTheOffset();
    void streamUrls_data();
    void streamUrls();
};

void TestServerClock::cleanup()
{
    ServerClock::reset();
    ServerClock::setLocalClock({});
}

void TestServerClock::unsynchronisedClockIsLocal()
{
    ServerClock::setLocalClock([] { return qint64(1700000000999); });
    QVERIFY(!ServerClock::isKnown());
    QCOMPARE(ServerClock::serverNow(), qint64(1700000000));
    QCOMPARE(ServerClock::serverLocalNow(), qint64(1700000000));
}

void TestServerClock::synchronisedClockKeepsItsDistanceToLocal()
{
    qint64 localMs = 1000000000000;
    ServerClock::setLocalClock([&localMs] { return localMs; });
    ServerClock::synchronise(1000000100, 0);  // the server is 100 s ahead
    QVERIFY(ServerClock::isKnown());
    QCOMPARE(ServerClock::serverNow(), qint64(1000000100));
    localMs += 61500;
    QCOMPARE(ServerClock::serverNow(), qint64(1000000161));
}

void TestServerClock::localTimeAddsTheOffset()
{
    ServerClock::setLocalClock([] { return qint64(1000000000000); });
    ServerClock::synchronise(999999000, 3 * 3600);
    QCOMPARE(ServerClock::utcOffset(), 3 * 3600);
    QCOMPARE(ServerClock::serverNow(), qint64(999999000));
    QCOMPARE(ServerClock::serverLocalNow(), qint64(999999000 + 3 * 3600));
}

void TestServerClock::streamUrls_data()
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

void TestServerClock::streamUrls()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, url);
    proto::OpenStreamResponse response;
    QVERIFY(google::protobuf::TextFormat::ParseFromString(answer.toStdString(), &response));
    QCOMPARE(TTVServerManager::streamUrl(response), url);
}

QTEST_GUILESS_MAIN(TestServerClock)
#include "tst_serverclock.moc"
