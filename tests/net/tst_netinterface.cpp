#include "netinterface.h"

#include <QTest>

namespace {

NetInterface makeInterface(const QString& name, const QStringList& addresses, bool valid = true)
{
    NetInterface result;
    result.name = name;
    result.humanReadableName = name + QStringLiteral(" adapter");
    result.hardwareAddress =
        QStringLiteral("00:11:22:33:44:") + name.right(2).rightJustified(2, '0');
    result.valid = valid;
    result.addresses = addresses;
    return result;
}

}  // namespace

class TestNetInterface : public QObject
{
    Q_OBJECT
private slots:
    void ipv4Text_data();
    void ipv4Text();
    void defaultInterface_data();
    void defaultInterface();
    void addressOfName();
    void macOfName();
    void descriptionListsEveryAddress();
    void selectableNeedsValidIPv4();
};

void TestNetInterface::ipv4Text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isIPv4");
    QTest::newRow("plain") << "192.168.1.5" << true;
    QTest::newRow("leading zeros") << "192.168.001.010" << true;
    QTest::newRow("zeros") << "0.0.0.0" << true;
    QTest::newRow("upper bound") << "255.255.255.255" << true;
    QTest::newRow("letters skipped") << "1a.2b.3.4" << true;
    QTest::newRow("three parts") << "1.2.3" << false;
    QTest::newRow("five parts") << "1.2.3.4.5" << false;
    QTest::newRow("256") << "256.1.1.1" << false;
    QTest::newRow("long number") << "1.2.3.99999999999999999999" << false;
    QTest::newRow("empty part") << "1..3.4" << false;
    QTest::newRow("trailing dot") << "1.2.3." << false;
    QTest::newRow("no digits in part") << "1.2.x.4" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("ipv6") << "fe80::1" << false;
    QTest::newRow("digits kept from mixed text") << "::ffff:1.2.3.4" << true;
}

void TestNetInterface::ipv4Text()
{
    QFETCH(QString, text);
    QFETCH(bool, isIPv4);
    QCOMPARE(NetInterfaces::isIPv4Text(text), isIPv4);
}

void TestNetInterface::defaultInterface_data()
{
    // Each interface as "name: address address ..."; a leading "!" marks it
    // invalid.
    QTest::addColumn<QStringList>("interfaces");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char* name, QStringList interfaces, const char* expected) {
        QTest::newRow(name) << interfaces << QString(expected);
    };
    row("operator LAN beats standard LAN", {"A: 192.168.1.5", "B: 10.20.30.40"}, "B");
    row("other address beats standard LAN", {"A: 172.16.0.2", "B: 192.168.0.3"}, "A");
    row("standard LAN beats other 192 LAN", {"A: 192.10.0.1", "B: 192.168.1.1"}, "B");
    row("other 192 LAN beats link-local", {"A: 169.254.3.3", "B: 192.100.0.1"}, "B");
    row("link-local beats loopback", {"lo: 127.0.0.1", "B: 169.254.1.1"}, "B");
    row("last of two link-local", {"A: 169.254.1.1", "B: 169.254.2.2"}, "B");
    row("last of two loopbacks", {"lo1: 127.0.0.1", "lo2: 127.0.0.1"}, "lo2");
    row("first of two standard LANs", {"A: 192.168.0.2", "B: 192.168.1.2"}, "A");
    row("first of two operator LANs", {"A: 10.0.0.2", "B: 10.0.0.3"}, "A");
    row("second address of an interface counts",
        {"A: 192.168.1.2", "B: fe80::1 169.254.0.1 10.1.1.1"}, "B");
    row("127.0.0.2 is an other address", {"A: 192.168.1.2", "B: 127.0.0.2"}, "B");
    row("invalid interfaces are skipped", {"!broken: 10.0.0.1", "home: 192.168.1.9"}, "home");
    row("without any IPv4 the first", {"first: fe80::1", "second:"}, "first");
    row("none at all", {}, "MS TCP Loopback interface");
}

void TestNetInterface::defaultInterface()
{
    QFETCH(QStringList, interfaces);
    QFETCH(QString, expected);
    QList<NetInterface> parsed;
    for (QString text : interfaces) {
        const bool valid = !text.startsWith('!');
        text.remove('!');
        const qsizetype colon = text.indexOf(':');
        parsed.append(makeInterface(text.left(colon),
                                    text.mid(colon + 1).split(' ', Qt::SkipEmptyParts), valid));
    }
    QCOMPARE(NetInterfaces::defaultInterfaceName(parsed), expected);
}

void TestNetInterface::addressOfName()
{
    const QList<NetInterface> interfaces{
        makeInterface("eth0", {"fe80::1", "192.168.1.7", "10.0.0.1"}),
        makeInterface("eth0", {"10.9.9.9"}), makeInterface("v6only", {"fe80::2"})};
    QCOMPARE(NetInterfaces::ipv4Address(interfaces, "eth0"), QHostAddress("192.168.1.7"));
    QCOMPARE(NetInterfaces::ipv4Address(interfaces, "v6only"), QHostAddress("127.0.0.1"));
    QCOMPARE(NetInterfaces::ipv4Address(interfaces, "gone"), QHostAddress("127.0.0.1"));
}

void TestNetInterface::macOfName()
{
    NetInterface card = makeInterface("eth1", {"10.0.0.1"});
    card.hardwareAddress = QStringLiteral("AA:BB:CC:00:11:22");
    const QList<NetInterface> interfaces{makeInterface("eth0", {}), card};
    QCOMPARE(NetInterfaces::macAddress(interfaces, "eth1"), QStringLiteral("AABBCC001122"));
    QCOMPARE(NetInterfaces::macAddress(interfaces, "gone"), QString());
}

void TestNetInterface::descriptionListsEveryAddress()
{
    NetInterface card = makeInterface("eth0", {"192.168.1.7", "fe80::1"});
    card.humanReadableName = QStringLiteral("Ethernet");
    QCOMPARE(NetInterfaces::description(card), QStringLiteral("Ethernet - (192.168.1.7, fe80::1)"));
}

void TestNetInterface::selectableNeedsValidIPv4()
{
    QVERIFY(NetInterfaces::isSelectable(makeInterface("a", {"fe80::1", "10.0.0.1"})));
    QVERIFY(!NetInterfaces::isSelectable(makeInterface("b", {"fe80::1"})));
    QVERIFY(!NetInterfaces::isSelectable(makeInterface("c", {"10.0.0.1"}, false)));
}

QTEST_GUILESS_MAIN(TestNetInterface)
#include "tst_netinterface.moc"
