#include "emulatorprocess.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"
#include "tvclient.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

// A bare HTTP server that records the raw bodies posted to it and answers
// each path with fixed bytes, so that a test sees exactly what goes on the wire.
class RecordingServer : public QObject
{
    Q_OBJECT
public:
    RecordingServer()
    {
        connect(&m_server, &QTcpServer::newConnection, this, &RecordingServer::onConnection);
        m_server.listen(QHostAddress::LocalHost);
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }
    void answer(const QString& path, const QByteArray& body) { m_answers.insert(path, body); }
    QByteArray bodyPostedTo(const QString& path) const { return m_bodies.value(path); }

signals:
    void posted(QString path);

private:
    void onConnection()
    {
        while (QTcpSocket* socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    void onData(QTcpSocket* socket)
    {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const int headEnd = buffer.indexOf("\r\n\r\n");
        if (headEnd < 0)
            return;
        const QByteArray head = buffer.left(headEnd);
        const QList<QByteArray> lines = head.split('\n');
        const QString path = QString::fromLatin1(lines.first().split(' ').value(1));
        int length = 0;
        for (const QByteArray& line : lines) {
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toInt();
        }
        if (buffer.size() < headEnd + 4 + length)
            return;
        m_bodies.insert(path, buffer.mid(headEnd + 4, length));
        buffer.remove(0, headEnd + 4 + length);
        const QByteArray body = m_answers.value(path);
        socket->write(
            "HTTP/1.1 200 OK\r\nContent-Type: application/x-protobuf\r\nContent-Length: " +
            QByteArray::number(body.size()) + "\r\n\r\n" + body);
        emit posted(path);
    }

    QTcpServer m_server;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QMap<QString, QByteArray> m_answers;
    QMap<QString, QByteArray> m_bodies;
};

}  // namespace

// The transport on its own: order, refused requests, time-outs and the bytes.
class TestTvClient : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { m_profile = std::make_unique<TemporaryProfile>(); }

    void backToBackCallsCompleteInIssueOrder();
    void requestMissingARequiredFieldSendsNothing();
    void silentServerTimesOut();
    void requestBytesOnTheWire();

private:
    std::unique_ptr<TemporaryProfile> m_profile;
};

void TestTvClient::backToBackCallsCompleteInIssueOrder()
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

    proto::AuthRequest auth;
    auth.mutable_device()->set_type(proto::DT_IPTV_Player);
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

void TestTvClient::requestMissingARequiredFieldSendsNothing()
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
    proto::AuthRequest auth;
    auth.mutable_device()->set_type(proto::DT_IPTV_Player);
    QSignalSpy authDone(&client, &TvClient::authorizeDone);
    client.authorize(auth);
    QVERIFY(authDone.wait(10000));
    QCOMPARE(emulator.requests().size(), 1);
    QCOMPARE(emulator.requests().first().rpc, QStringLiteral("Auth"));
    QCOMPARE(timeDone.count(), 0);
}

void TestTvClient::silentServerTimesOut()
{
    EmulatorProcess emulator;
    QVERIFY(emulator.start(QString("demo"), {"--fault", "Auth:delay=5000,times=1"}));
    TvClient client("127.0.0.1", emulator.port());
    client.setTransferTimeout(300);
    QSignalSpy errors(&client, &TvClient::error);
    QSignalSpy authDone(&client, &TvClient::authorizeDone);

    proto::AuthRequest auth;
    auth.mutable_device()->set_type(proto::DT_IPTV_Player);
    client.authorize(auth);
    client.authorize(auth);
    QVERIFY(errors.wait(10000));
    QCOMPARE(authDone.count(), 0);
    // The call behind the silent one still goes out and completes.
    QVERIFY(authDone.wait(10000));
    QCOMPARE(errors.count(), 1);
}

void TestTvClient::requestBytesOnTheWire()
{
    RecordingServer server;
    // AuthResponse { status: OK, auth_token: "t" }
    server.answer("/server/TvServerService/Auth.pb", QByteArray::fromHex("08001201"
                                                                         "74"));
    Settings::instance()->setServer(server.host());
    TTVServerManager manager;
    QVERIFY(manager.init());
    manager.setMac("AABBCCDDEEFF");
    QSignalSpy authorised(&manager, &TTVServerManager::AuthorizeCompleted);
    manager.authorize();
    QVERIFY(authorised.wait(10000));

    // device (3) { type (1): DT_IPTV_Player = 2; mac (2): "AABBCCDDEEFF";
    //              firmware (3) { versionCode (1): 0; versionString (2): "2.2.16" } }
    const QByteArray auth = QByteArray::fromHex(
        "1a1c"
        "0802"
        "120c414142424343444445454646"
        "1a0a"
        "0800"
        "1206322e322e3136");
    QCOMPARE(server.bodyPostedTo("/server/TvServerService/Auth.pb").toHex(), auth.toHex());

    QVERIFY(manager.openStream(5, 7));
    QVERIFY(QTest::qWaitFor(
        [&] { return !server.bodyPostedTo("/server/TvServerService/OpenStream.pb").isEmpty(); },
        10000));
    // auth (1): "t"; channel_id (2): 5; offset_id (3): 7;
    // accept_scheme (4), unpacked: Multicast_UDP = 1, HTTP_UDP = 5
    const QByteArray open = QByteArray::fromHex(
        "0a0174"
        "1005"
        "1807"
        "2001"
        "2005");
    QCOMPARE(server.bodyPostedTo("/server/TvServerService/OpenStream.pb").toHex(), open.toHex());
}

QTEST_MAIN(TestTvClient)
#include "tst_tvclient.moc"
