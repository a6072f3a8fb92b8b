#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTest>

// The rows of a data-driven test from JSON in tests/data: the file is an array
// of objects, or an object of such arrays of which `table` is taken. Each
// object is one row, named by its member `nameKey` and handed to the test
// whole, as the column `column`.
inline void addJsonRows(const QString& path, const QString& table = {}, const char* column = "row",
                        const QString& nameKey = QStringLiteral("row"))
{
    QTest::addColumn<QJsonObject>(column);
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(path));
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    const QJsonValue rows = table.isEmpty() ? QJsonValue(document.array()) : document[table];
    QVERIFY2(!rows.toArray().isEmpty(), qPrintable(path + ' ' + table));
    for (const QJsonValue& row : rows.toArray())
        QTest::newRow(qPrintable(row[nameKey].toString())) << row.toObject();
}

inline QStringList strings(const QJsonValue& array)
{
    QStringList result;
    for (const QJsonValue& value : array.toArray())
        result << value.toString();
    return result;
}
