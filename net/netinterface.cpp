#include "netinterface.h"

#include <QNetworkInterface>

#include <algorithm>
#include <array>

QList<NetInterface> NetInterface::fromSystem()
{
    QList<NetInterface> result;
    for (const QNetworkInterface& system : QNetworkInterface::allInterfaces()) {
        NetInterface record;
        record.name = system.name();
        record.humanReadableName = system.humanReadableName();
        record.hardwareAddress = system.hardwareAddress();
        record.valid = system.isValid();
        for (const QNetworkAddressEntry& entry : system.addressEntries())
            record.addresses << entry.ip().toString();
        result << record;
    }
    return result;
}

namespace NetInterfaces {

bool isIPv4Text(const QString& text)
{
    if (text.count(QLatin1Char('.')) != 3)
        return false;
    const QStringList parts = text.split(QLatin1Char('.'));
    for (const QString& part : parts) {
        int digits = 0;
        int value = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                continue;
            ++digits;
            value = value * 10 + (c.unicode() - '0');
            if (value > 255)
                return false;
        }
        if (digits == 0)
            return false;
    }
    return true;
}

namespace {

// Address classes in the order they are tested, with their log texts.
enum AddressClass { OperatorLan, StandardLan, OtherLan, Loopback, LinkLocal, Other, ClassCount };

AddressClass classify(const QString& address)
{
    if (address.startsWith(QLatin1String("10.")))
        return OperatorLan;
    if (address.startsWith(QLatin1String("192."))) {
        const bool standard = address.startsWith(QLatin1String("192.168.0.")) ||
                              address.startsWith(QLatin1String("192.168.1."));
        return standard ? StandardLan : OtherLan;
    }
    if (address == QLatin1String("127.0.0.1"))
        return Loopback;
    if (address.startsWith(QLatin1String("169.254.")))
        return LinkLocal;
    return Other;
}

const char* logFormat(AddressClass addressClass)
{
    switch (addressClass) {
        case OperatorLan:
            return "[%s] find ip like ZentriA local lan %s ";
        case StandardLan:
            return "[%s] find ip like standart local lan %s ";
        case OtherLan:
            return "[%s] find ip like not standart local lan %s ";
        case Loopback:
            return "[%s] find loopback %s ";
        case LinkLocal:
            return "[%s] find ip like windows special ip %s ";
        default:
            return "[%s] find ip like dhcp ip %s ";
    }
}

// Loopback and link-local remember the last interface seen, the rest the first.
bool keepsLast(AddressClass addressClass)
{
    return addressClass == Loopback || addressClass == LinkLocal;
}

constexpr std::array<AddressClass, ClassCount> priority = {OperatorLan, Other,     StandardLan,
                                                           OtherLan,    LinkLocal, Loopback};

}  // namespace

QString defaultInterfaceName(const QList<NetInterface>& interfaces)
{
    qDebug("Start getDefaultNetInterfaceUuid()");
    if (interfaces.isEmpty())
        return QStringLiteral("MS TCP Loopback interface");

    std::array<int, ClassCount> found;
    found.fill(-1);
    for (int index = 0; index < interfaces.size(); ++index) {
        const NetInterface& candidate = interfaces.at(index);
        if (!candidate.valid)
            continue;
        for (const QString& address : candidate.addresses) {
            if (!isIPv4Text(address))
                continue;
            const AddressClass addressClass = classify(address);
            qDebug(logFormat(addressClass), qPrintable(candidate.name), qPrintable(address));
            if (found[addressClass] < 0 || keepsLast(addressClass))
                found[addressClass] = index;
        }
    }

    for (const AddressClass addressClass : priority) {
        const int index = found[addressClass];
        if (index < 0)
            continue;
        const NetInterface& chosen = interfaces.at(index);
        qDebug("Found default net interface name %s mac %s", qPrintable(chosen.name),
               qPrintable(chosen.hardwareAddress));
        return chosen.name;
    }

    const QString fallback = interfaces.first().name;
    qDebug("Not found uuid set default interfase %s", qPrintable(fallback));
    return fallback;
}

QHostAddress ipv4Address(const QList<NetInterface>& interfaces, const QString& name)
{
    for (const NetInterface& candidate : interfaces) {
        if (candidate.name != name)
            continue;
        for (const QString& address : candidate.addresses) {
            if (isIPv4Text(address)) {
                qDebug("Founded ip address %s by uuid %s", qPrintable(address), qPrintable(name));
                return QHostAddress(address);
            }
        }
        break;
    }
    qDebug("Can't find interface by uuid. Set default to 127.0.0.1");
    return QHostAddress(QStringLiteral("127.0.0.1"));
}

QString macAddress(const QList<NetInterface>& interfaces, const QString& name)
{
    for (const NetInterface& candidate : interfaces) {
        if (candidate.name == name)
            return QString(candidate.hardwareAddress).remove(QLatin1Char(':'));
    }
    return QString();
}

QString description(const NetInterface& netInterface)
{
    return netInterface.humanReadableName + QLatin1String(" - (") +
           netInterface.addresses.join(QLatin1String(", ")) + QLatin1Char(')');
}

bool isSelectable(const NetInterface& netInterface)
{
    return netInterface.valid &&
           std::any_of(netInterface.addresses.cbegin(), netInterface.addresses.cend(), isIPv4Text);
}

}  // namespace NetInterfaces
