#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Typed access to the members of one JSON object of a scenario. A member that
// is absent leaves the target as it was; one of the wrong type fails with a
// message that names it ("channels[3].offsets: expected a list of integers").
class JsonFields
{
public:
    JsonFields(const QJsonObject& object, const QString& where, QString* error);

    bool allowOnly(const QStringList& keys);
    bool require(const QStringList& keys);

    bool integer(const char* key, int* out);
    bool integer(const char* key, const std::function<void(int)>& set);
    bool number(const char* key, const std::function<void(double)>& set);
    bool boolean(const char* key, bool* out);
    bool boolean(const char* key, const std::function<void(bool)>& set);
    bool text(const char* key, QString* out);
    bool text(const char* key, const std::function<void(const QString&)>& set);
    bool integers(const char* key, QList<int>* out);
    bool texts(const char* key, QStringList* out);
    // UTC seconds, or an ISO 8601 date and time (UTC unless it says otherwise).
    bool time(const char* key, const std::function<void(qint64)>& set);
    bool object(const char* key, QJsonObject* out);
    bool array(const char* key, QJsonArray* out);

    QString where(const QString& key) const { return m_where + '.' + key; }
    bool fail(const QString& key, const QString& what);

private:
    // Applies a member that is present and of an accepted kind.
    bool member(const char* key, bool (*accepts)(const QJsonValue&),
                const std::function<void(const QJsonValue&)>& apply, const char* expected);

    QJsonObject m_object;
    QString m_where;
    QString* m_error;
};
