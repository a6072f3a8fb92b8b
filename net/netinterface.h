#pragma once

#include <QHostAddress>
#include <QList>
#include <QString>
#include <QStringList>

// One network interface as the player sees it: a plain record, so that the
// choice of interface can be worked out over any list, not only the system's.
struct NetInterface
{
    QString name;               // platform name; on Windows the adapter GUID
    QString humanReadableName;  // what the user calls it
    QString hardwareAddress;    // "AA:BB:CC:DD:EE:FF"
    bool valid = true;
    QStringList addresses;  // every address as text, IPv4 and others

    static QList<NetInterface> fromSystem();
};

namespace NetInterfaces {

// Three dots, four parts, each with at least one digit and a value of 0 to
// 255; characters other than digits inside a part are skipped.
bool isIPv4Text(const QString& text);

// The interface facing the operator's network: an operator LAN address wins,
// then any other routable address, the standard home LANs, other 192.x LANs,
// link-local and finally loopback.
QString defaultInterfaceName(const QList<NetInterface>& interfaces);

// The first IPv4 address of the first interface so named; 127.0.0.1 when none.
QHostAddress ipv4Address(const QList<NetInterface>& interfaces, const QString& name);

// The hardware address of the first interface so named, without colons;
// empty when none has that name.
QString macAddress(const QList<NetInterface>& interfaces, const QString& name);

// "name - (address, address)" as the interface list of the settings shows it.
QString description(const NetInterface& netInterface);

// Whether the interface can be offered for choice: valid with an IPv4 address.
bool isSelectable(const NetInterface& netInterface);

}  // namespace NetInterfaces
