#include "faults.h"

#include <QTimer>

#include "httpconnection.h"
#include "httpmessage.h"

namespace {

// The first byte opens a varint that never ends within ten bytes, which no
// protobuf parser accepts.
const QByteArray kGarbage = QByteArray(11, '\xff') + "not a message";

const QHash<QString, Fault::Body> kBodies = {
    {"empty", Fault::Body::Empty},
    {"garbage", Fault::Body::Garbage},
    {"truncated", Fault::Body::Truncated},
};

const QHash<QString, Fault::Connection> kConnections = {
    {"drop", Fault::Connection::DroppedBeforeAnswer},
    {"reset", Fault::Connection::ResetMidBody},
};

bool readCount(const QJsonValue& value, int* count)
{
    if (!value.isDouble() || value.toDouble() < 0)
        return false;
    *count = value.toInt();
    return true;
}

template <typename Kind>
bool readKind(const QHash<QString, Kind>& kinds, const QJsonValue& value, Kind* kind)
{
    if (!kinds.contains(value.toString()))
        return false;
    *kind = kinds.value(value.toString());
    return true;
}

bool readKey(const QString& key, const QJsonValue& value, Fault* fault)
{
    if (key == "result") {
        fault->result = value.isDouble() ? QString::number(value.toInt()) : value.toString();
        return !fault->result.isEmpty();
    }
    if (key == "status")
        return readCount(value, &fault->httpStatus) && fault->httpStatus >= 100;
    if (key == "body")
        return readKind(kBodies, value, &fault->body);
    if (key == "delay")
        return readCount(value, &fault->delayMs);
    if (key == "connection")
        return readKind(kConnections, value, &fault->connection);
    if (key == "times")
        return readCount(value, &fault->times);
    return false;
}

QJsonValue argumentValue(const QString& text)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    return isNumber ? QJsonValue(number) : QJsonValue(text);
}

QByteArray spoiled(const QByteArray& body, Fault::Body fault)
{
    switch (fault) {
        case Fault::Body::Intact:
            return body;
        case Fault::Body::Empty:
            return {};
        case Fault::Body::Garbage:
            return kGarbage;
        case Fault::Body::Truncated:
            return body.left(body.size() / 2);
    }
    return body;
}

void deliver(HttpConnection* connection, HttpResponse response, const Fault& fault)
{
    if (fault.connection == Fault::Connection::DroppedBeforeAnswer) {
        connection->drop();
        return;
    }
    if (fault.httpStatus != 0)
        response.status = fault.httpStatus;
    response.body = spoiled(response.body, fault.body);
    if (fault.connection == Fault::Connection::ResetMidBody)
        connection->sendPart(response, response.body.size() / 2, HttpConnection::AfterPart::Reset);
    else
        connection->send(response);
}

}  // namespace

bool Fault::isNone() const
{
    return result.isEmpty() && httpStatus == 0 && body == Body::Intact && delayMs == 0 &&
           connection == Connection::Kept;
}

bool FaultPlan::add(const QString& target, const QJsonObject& fields, QString* error)
{
    Fault fault;
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if (!readKey(it.key(), it.value(), &fault)) {
            *error = QString("fault of %1: bad %2").arg(target, it.key());
            return false;
        }
    }
    m_faults.insert(target, fault);
    return true;
}

bool FaultPlan::addArgument(const QString& argument, QString* error)
{
    const qsizetype colon = argument.indexOf(':');
    QJsonObject fields;
    for (const QString& pair : argument.mid(colon + 1).split(',', Qt::SkipEmptyParts)) {
        const QStringList keyAndValue = pair.split('=');
        if (keyAndValue.size() != 2) {
            *error = QString("fault %1: expected key=value, got %2").arg(argument, pair);
            return false;
        }
        fields[keyAndValue[0].trimmed()] = argumentValue(keyAndValue[1].trimmed());
    }
    if (colon <= 0 || fields.isEmpty()) {
        *error = QString("fault %1: expected Method:key=value[,key=value...]").arg(argument);
        return false;
    }
    return add(argument.left(colon), fields, error);
}

Fault FaultPlan::take(const QString& target)
{
    const Fault fault = m_faults.value(target);
    const int call = ++m_calls[target];
    return fault.times == 0 || call <= fault.times ? fault : Fault();
}

void sendWithFault(HttpConnection* connection, HttpResponse response, const Fault& fault)
{
    if (fault.delayMs == 0) {
        deliver(connection, response, fault);
        return;
    }
    // The connection as context: no answer once the client has gone.
    QTimer::singleShot(fault.delayMs, connection,
                       [connection, response, fault] { deliver(connection, response, fault); });
}
