#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTest>

// Test rows kept as JSON under tests/data/core: one object a row, named by its
// "row", handed to the test as the column "row".
inline void addJsonRows(const QString& fileName)
{
    QTest::addColumn<QJsonObject>("row");
    QFile file(QStringLiteral(ZENTRIA_CORE_DATA "/") + fileName);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    for (const QJsonValue& row : QJsonDocument::fromJson(file.readAll()).array())
        QTest::newRow(qPrintable(row["row"].toString())) << row.toObject();
}

inline QStringList strings(const QJsonValue& array)
{
    QStringList result;
    for (const QJsonValue& value : array.toArray())
        result << value.toString();
    return result;
}
