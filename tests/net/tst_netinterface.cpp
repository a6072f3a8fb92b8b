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
    void defaultWithoutAnyIPv4FallsBackToFirst();
    void defaultOfEmptyList();
    void defaultSkipsInvalidInterfaces();
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
    QTest::addColumn<QList<NetInterface>>("interfaces");
    QTest::addColumn<QString>("expected");

    QTest::newRow("operator LAN beats standard LAN")
        << QList<NetInterface>{makeInterface("A", {"192.168.1.5"}),
                               makeInterface("B", {"10.20.30.40"})}
        << "B";
    QTest::newRow("other address beats standard LAN")
        << QList<NetInterface>{makeInterface("A", {"172.16.0.2"}),
                               makeInterface("B", {"192.168.0.3"})}
        << "A";
    QTest::newRow("standard LAN beats other 192 LAN")
        << QList<NetInterface>{makeInterface("A", {"192.10.0.1"}),
                               makeInterface("B", {"192.168.1.1"})}
        << "B";
    QTest::newRow("other 192 LAN beats link-local")
        << QList<NetInterface>{makeInterface("A", {"169.254.3.3"}),
                               makeInterface("B", {"192.100.0.1"})}
        << "B";
    QTest::newRow("link-local beats loopback")
        << QList<NetInterface>{makeInterface("lo", {"127.0.0.1"}),
                               makeInterface("B", {"169.254.1.1"})}
        << "B";
    QTest::newRow("last of two link-local")
        << QList<NetInterface>{makeInterface("A", {"169.254.1.1"}),
                               makeInterface("B", {"169.254.2.2"})}
        << "B";
    QTest::newRow("last of two loopbacks")
        << QList<NetInterface>{makeInterface("lo1", {"127.0.0.1"}),
                               makeInterface("lo2", {"127.0.0.1"})}
        << "lo2";
    QTest::newRow("first of two standard LANs")
        << QList<NetInterface>{makeInterface("A", {"192.168.0.2"}),
                               makeInterface("B", {"192.168.1.2"})}
        << "A";
    QTest::newRow("first of two operator LANs")
        << QList<NetInterface>{makeInterface("A", {"10.0.0.2"}), makeInterface("B", {"10.0.0.3"})}
        << "A";
    QTest::newRow("second address of an interface counts")
        << QList<NetInterface>{makeInterface("A", {"192.168.1.2"}),
                               makeInterface("B", {"fe80::1", "169.254.0.1", "10.1.1.1"})}
        << "B";
    QTest::newRow("127.0.0.2 is an other address")
        << QList<NetInterface>{makeInterface("A", {"192.168.1.2"}),
                               makeInterface("B", {"127.0.0.2"})}
        << "B";
}

void TestNetInterface::defaultInterface()
{
    QFETCH(QList<NetInterface>, interfaces);
    QFETCH(QString, expected);
    QCOMPARE(NetInterfaces::defaultInterfaceName(interfaces), expected);
}

void TestNetInterface::defaultWithoutAnyIPv4FallsBackToFirst()
{
    const QList<NetInterface> interfaces{makeInterface("first", {"fe80::1"}),
                                         makeInterface("second", {})};
    QCOMPARE(NetInterfaces::defaultInterfaceName(interfaces), QStringLiteral("first"));
}

void TestNetInterface::defaultOfEmptyList()
{
    QCOMPARE(NetInterfaces::defaultInterfaceName({}), QStringLiteral("MS TCP Loopback interface"));
}

void TestNetInterface::defaultSkipsInvalidInterfaces()
{
    const QList<NetInterface> interfaces{makeInterface("broken", {"10.0.0.1"}, false),
                                         makeInterface("home", {"192.168.1.9"})};
    QCOMPARE(NetInterfaces::defaultInterfaceName(interfaces), QStringLiteral("home"));
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
