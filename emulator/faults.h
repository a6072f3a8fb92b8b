#pragma once

#include <QHash>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class HttpConnection;
struct HttpResponse;

// How one answer goes wrong.
struct Fault
{
    enum class Body { Intact, Empty, Garbage, Truncated };
    enum class Connection { Kept, DroppedBeforeAnswer, ResetMidBody };

    QString result;      // the response's result code, by enum name or number; empty: as handled
    int httpStatus = 0;  // 0: the status the answer had
    Body body = Body::Intact;
    int delayMs = 0;
    Connection connection = Connection::Kept;
    int times = 0;  // only the first `times` calls go wrong; 0: every call

    bool isNone() const;
};

// Faults by target, the name of the RPC method that goes wrong ("GetUserInfo").
class FaultPlan
{
public:
    // fields as in a scenario: {"status": 500, "body": "garbage", "times": 1}
    bool add(const QString& target, const QJsonObject& fields, QString* error);
    // "GetUserInfo:status=500,delay=200", as on the command line
    bool addArgument(const QString& argument, QString* error);

    QStringList targets() const { return m_faults.keys(); }
    Fault configured(const QString& target) const { return m_faults.value(target); }
    // The fault for the next call of target; counts the call.
    Fault take(const QString& target);

private:
    QHash<QString, Fault> m_faults;
    QHash<QString, int> m_calls;
};

// Answers on the connection, spoiled as the fault says.
void sendWithFault(HttpConnection* connection, HttpResponse response, const Fault& fault);
