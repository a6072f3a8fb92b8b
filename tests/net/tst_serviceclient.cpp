#include "../support/tablerows.h"
#include "servicepacket.h"
#include "zentriaserviceclient.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QtEndian>

namespace {

QByteArray replyPacket(qint32 status, const QString& text)
{
    QByteArray packet = ServicePacket::request(text);
    qToLittleEndian(status, packet.data() + 4);
    return packet;
}

// Plays the operator's service on the loopback interface: records every
// request and answers it with one packet, or stays silent without one.
class FakeService : public QObject
{
public:
    explicit FakeService(const QByteArray& reply) : m_reply(reply)
    {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, &FakeService::accept);
    }
    int port() const { return m_server.serverPort(); }

    QStringList requests;
    int connections = 0;

private:
    void accept()
    {
        while (QTcpSocket* peer = m_server.nextPendingConnection()) {
            ++connections;
            connect(peer, &QTcpSocket::readyRead, this, [this, peer] {
                // A request has the layout of an error-free reply.
                const auto request =
                    ServicePacket::parseReply(peer->peek(ServicePacket::bufferSize));
                if (!request.error.isEmpty())
                    return;
                peer->readAll();
                requests << request.text;
                if (!m_reply.isEmpty())
                    peer->write(m_reply);
            });
        }
    }

    QTcpServer m_server;
    QByteArray m_reply;
};

}  // namespace

class TestServiceClient : public QObject
{
    Q_OBJECT
private slots:
    void parseReply_data();
    void parseReply();
    void request();
    void parseRandomBytes();
    void versionExchange_data();
    void versionExchange();
    void secondInitSendsNothing();
};

void TestServiceClient::parseReply_data()
{
    addTableRows(ZENTRIA_NET_DATA "/service-replies.txt");
    const QByteArray full = QByteArray::fromHex("d0070000 00000000") + QByteArray(2000, 'a');
    QTest::newRow("2000 bytes follow a length of 2000")
        << QString() << QString(full.toHex()) << "[Socket I/O error] read not full packet"
        << QString();
}

void TestServiceClient::parseReply()
{
    QFETCH(QString, bytes);
    QFETCH(QString, error);
    QFETCH(QString, text);
    const ServicePacket::Reply reply =
        ServicePacket::parseReply(QByteArray::fromHex(bytes.toLatin1()));
    QCOMPARE(reply.error, error);
    QCOMPARE(reply.text, text);
}

void TestServiceClient::request()
{
    QCOMPARE(ServicePacket::request("GetServiceVersion").toHex(' '),
             QByteArray::fromHex("22000000 00000000 4700 6500 7400 5300 6500 7200 7600 6900 6300"
                                 "6500 5600 6500 7200 7300 6900 6f00 6e00")
                 .toHex(' '));
}

void TestServiceClient::parseRandomBytes()
{
    QRandomGenerator random(4361);
    QByteArray pool(64 * 1024, Qt::Uninitialized);
    random.fillRange(reinterpret_cast<quint32*>(pool.data()), pool.size() / 4);
    int accepted = 0;
    for (int i = 0; i < 1'000'000; ++i) {
        const int size = random.bounded(1101);
        // A copy of its own, so that a read past its end shows under ASan.
        QByteArray bytes(pool.constData() + random.bounded(pool.size() - size), size);
        if (i % 2 && size >= ServicePacket::headerSize) {
            const bool nearSize = random.bounded(2);
            const quint32 length =
                nearSize ? quint32(size - 8 + random.bounded(-2, 3)) : random.generate();
            qToLittleEndian(length, bytes.data());
            qToLittleEndian<qint32>(0, bytes.data() + 4);
        }
        const ServicePacket::Reply reply = ServicePacket::parseReply(bytes);
        if (!reply.error.isEmpty())
            continue;
        ++accepted;
        const quint32 length = qFromLittleEndian<quint32>(bytes.constData());
        if (reply.text.size() * 2 != qsizetype(length) || size > ServicePacket::bufferSize)
            QFAIL(qPrintable(QString("input %1 accepted: %2").arg(i).arg(QString(bytes.toHex()))));
    }
    QVERIFY(accepted > 0);
}

void TestServiceClient::versionExchange_data()
{
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("active");
    QTest::addColumn<QString>("log");
    const QString socketError("[Socket level error] error code: %1");
    QTest::newRow("version 1.0") << true << replyPacket(0, "1.0") << true << "ok";
    QTest::newRow("status -2") << true << replyPacket(-2, {}) << false
                               << "[ZentriaService error] wrong number of parameters";
    QTest::newRow("silent") << true << QByteArray() << false
                            << socketError.arg(int(QAbstractSocket::SocketTimeoutError));
    QTest::newRow("absent") << false << QByteArray() << false
                            << socketError.arg(int(QAbstractSocket::ConnectionRefusedError));
}

void TestServiceClient::versionExchange()
{
    QFETCH(bool, listening);
    QFETCH(QByteArray, reply);
    QFETCH(bool, active);
    QFETCH(QString, log);
    FakeService service(reply);
    QTcpServer closed;  // a port nothing listens on
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const int absentPort = closed.serverPort();
    closed.close();
    ZentriaServiceClient client;
    QSignalSpy activity(&client, &ZentriaServiceClient::zentriaServiceActiv);
    QTest::ignoreMessage(QtDebugMsg,
                         qPrintable("[ZentriaServiceClient] GetServiceVersion: " + log));
    QCOMPARE(client.init("127.0.0.1", listening ? service.port() : absentPort), 1);
    QVERIFY(activity.wait(2 * ZentriaServiceClient::replyTimeoutMs));
    QCOMPARE(activity.count(), 1);
    QCOMPARE(activity.first().first().toBool(), active);
    QCOMPARE(client.isActive(), active);
    QCOMPARE(client.serviceVersion(), active ? "1.0" : "");
}

void TestServiceClient::secondInitSendsNothing()
{
    FakeService service(replyPacket(0, "1.0"));
    ZentriaServiceClient client;
    QSignalSpy activity(&client, &ZentriaServiceClient::zentriaServiceActiv);
    QSignalSpy replies(&client, &ZentriaServiceClient::getZentriaServiceReply);
    QCOMPARE(client.init("127.0.0.1", service.port()), 1);
    QVERIFY(activity.wait());
    QCOMPARE(client.init("127.0.0.1", service.port()), -1);
    // A version request started here would reach the service before this one.
    QCOMPARE(client.send("Ping"), 1);
    QVERIFY(replies.wait());
    QCOMPARE(replies.first(), (QVariantList{QString(), QString("1.0")}));
    QCOMPARE(service.requests, (QStringList{"GetServiceVersion", "Ping"}));
    QCOMPARE(service.connections, 2);
    QCOMPARE(activity.count(), 1);
}

QTEST_GUILESS_MAIN(TestServiceClient)
#include "tst_serviceclient.moc"
