#include "../support/tablerows.h"
#include "netinterface.h"

#include <QTest>

namespace {

NetInterface makeInterface(const QString& name, const QStringList& addresses, bool valid = true)
{
    NetInterface result;
    result.name = name;
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
    void interfaceOfName();
};

void TestNetInterface::ipv4Text_data()
{
    addTableRows(ZENTRIA_NET_DATA "/ipv4-texts.txt");
}

void TestNetInterface::ipv4Text()
{
    QFETCH(QString, text);
    QFETCH(QString, isIPv4);
    QCOMPARE(NetInterfaces::isIPv4Text(text), isIPv4 == "yes");
}

void TestNetInterface::defaultInterface_data()
{
    addTableRows(ZENTRIA_NET_DATA "/default-interfaces.txt");
}

void TestNetInterface::defaultInterface()
{
    QFETCH(QString, interfaces);
    QFETCH(QString, expected);
    QList<NetInterface> parsed;
    for (QString text : interfaces.split(';', Qt::SkipEmptyParts)) {
        text = text.trimmed();
        const bool valid = !text.startsWith('!');
        text.remove('!');
        const qsizetype colon = text.indexOf(':');
        parsed.append(makeInterface(text.left(colon),
                                    text.mid(colon + 1).split(' ', Qt::SkipEmptyParts), valid));
    }
    QCOMPARE(NetInterfaces::defaultInterfaceName(parsed), expected);
}

// Address, MAC, description and whether it may be chosen, by the interface's name.
void TestNetInterface::interfaceOfName()
{
    NetInterface card = makeInterface("eth1", {"fe80::1", "192.168.1.7", "10.0.0.1"});
    card.hardwareAddress = QStringLiteral("AA:BB:CC:00:11:22");
    card.humanReadableName = QStringLiteral("Ethernet");
    const QList<NetInterface> interfaces{card, makeInterface("eth1", {"10.9.9.9"}),
                                         makeInterface("v6only", {"fe80::2"})};
    QCOMPARE(NetInterfaces::ipv4Address(interfaces, "eth1"), QHostAddress("192.168.1.7"));
    QCOMPARE(NetInterfaces::ipv4Address(interfaces, "v6only"), QHostAddress("127.0.0.1"));
    QCOMPARE(NetInterfaces::ipv4Address(interfaces, "gone"), QHostAddress("127.0.0.1"));
    QCOMPARE(NetInterfaces::macAddress(interfaces, "eth1"), QStringLiteral("AABBCC001122"));
    QCOMPARE(NetInterfaces::macAddress(interfaces, "gone"), QString());
    QCOMPARE(NetInterfaces::description(card),
             QStringLiteral("Ethernet - (fe80::1, 192.168.1.7, 10.0.0.1)"));

    QVERIFY(NetInterfaces::isSelectable(card));
    QVERIFY(!NetInterfaces::isSelectable(interfaces.last()));
    QVERIFY(!NetInterfaces::isSelectable(makeInterface("c", {"10.0.0.1"}, false)));
}

QTEST_GUILESS_MAIN(TestNetInterface)
#include "tst_netinterface.moc"
