#include "jsonfields.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

namespace {

bool isInteger(const QJsonValue& value)
{
    return value.isDouble() && std::floor(value.toDouble()) == value.toDouble();
}

bool isNumber(const QJsonValue& value)
{
    return value.isDouble();
}

bool isBool(const QJsonValue& value)
{
    return value.isBool();
}

bool isString(const QJsonValue& value)
{
    return value.isString();
}

bool isObject(const QJsonValue& value)
{
    return value.isObject();
}

bool isArray(const QJsonValue& value)
{
    return value.isArray();
}

bool isIntegerList(const QJsonValue& value)
{
    const QJsonArray items = value.toArray();
    return value.isArray() && std::all_of(items.begin(), items.end(), isInteger);
}

bool isStringList(const QJsonValue& value)
{
    const QJsonArray items = value.toArray();
    return value.isArray() && std::all_of(items.begin(), items.end(), isString);
}

// ISO 8601 text counts as UTC unless it names its zone.
QDateTime isoDateTime(const QJsonValue& value)
{
    QDateTime dateTime = QDateTime::fromString(value.toString(), Qt::ISODate);
    if (dateTime.timeSpec() == Qt::LocalTime)
        dateTime.setTimeSpec(Qt::UTC);
    return dateTime;
}

bool isTime(const QJsonValue& value)
{
    return isInteger(value) || isoDateTime(value).isValid();
}

}  // namespace

JsonFields::JsonFields(const QJsonObject& object, const QString& where, QString* error)
    : m_object(object), m_where(where), m_error(error)
{
}

bool JsonFields::allowOnly(const QStringList& keys)
{
    for (const QString& key : m_object.keys()) {
        if (!keys.contains(key))
            return fail(key, "unknown member");
    }
    return true;
}

bool JsonFields::require(const QStringList& keys)
{
    for (const QString& key : keys) {
        if (!m_object.contains(key))
            return fail(key, "missing");
    }
    return true;
}

bool JsonFields::integer(const char* key, int* out)
{
    return integer(key, [out](int value) { *out = value; });
}

bool JsonFields::integer(const char* key, const std::function<void(int)>& set)
{
    return member(
        key, isInteger, [&set](const QJsonValue& value) { set(value.toInt()); },
        "expected an integer");
}

bool JsonFields::number(const char* key, const std::function<void(double)>& set)
{
    return member(
        key, isNumber, [&set](const QJsonValue& value) { set(value.toDouble()); },
        "expected a number");
}

bool JsonFields::boolean(const char* key, bool* out)
{
    return boolean(key, [out](bool value) { *out = value; });
}

bool JsonFields::boolean(const char* key, const std::function<void(bool)>& set)
{
    return member(
        key, isBool, [&set](const QJsonValue& value) { set(value.toBool()); },
        "expected true or false");
}

bool JsonFields::text(const char* key, QString* out)
{
    return text(key, [out](const QString& value) { *out = value; });
}

bool JsonFields::text(const char* key, const std::function<void(const QString&)>& set)
{
    return member(
        key, isString, [&set](const QJsonValue& value) { set(value.toString()); },
        "expected a string");
}

bool JsonFields::integers(const char* key, QList<int>* out)
{
    const auto set = [out](const QJsonValue& value) {
        out->clear();
        for (const QJsonValue& item : value.toArray())
            out->append(item.toInt());
    };
    return member(key, isIntegerList, set, "expected a list of integers");
}

bool JsonFields::texts(const char* key, QStringList* out)
{
    const auto set = [out](const QJsonValue& value) {
        out->clear();
        for (const QJsonValue& item : value.toArray())
            out->append(item.toString());
    };
    return member(key, isStringList, set, "expected a list of strings");
}

bool JsonFields::time(const char* key, const std::function<void(qint64)>& set)
{
    const auto convert = [&set](const QJsonValue& value) {
        set(isInteger(value) ? qint64(value.toDouble()) : isoDateTime(value).toSecsSinceEpoch());
    };
    return member(key, isTime, convert, "expected UTC seconds or an ISO 8601 date and time");
}

bool JsonFields::object(const char* key, QJsonObject* out)
{
    return member(
        key, isObject, [out](const QJsonValue& value) { *out = value.toObject(); },
        "expected an object");
}

bool JsonFields::array(const char* key, QJsonArray* out)
{
    return member(
        key, isArray, [out](const QJsonValue& value) { *out = value.toArray(); },
        "expected a list");
}

bool JsonFields::fail(const QString& key, const QString& what)
{
    if (m_error->isEmpty())
        *m_error = where(key) + ": " + what;
    return false;
}

bool JsonFields::member(const char* key, bool (*accepts)(const QJsonValue&),
                        const std::function<void(const QJsonValue&)>& apply, const char* expected)
{
    const QJsonValue value = m_object.value(key);
    if (value.isUndefined())
        return true;
    if (!accepts(value))
        return fail(key, expected);
    apply(value);
    return true;
}
