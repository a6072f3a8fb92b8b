#pragma once

#include <QFile>
#include <QSet>
#include <QTest>

#include <list>

// The rows of a data-driven test from a text table in tests/data: cells split
// at '|' and trimmed, lines starting with '#' are comments. The first line
// names the columns, all of them strings; every other line is a row, named by
// its first cell (and its line when that name was taken already).
inline void addTableRows(const QString& path)
{
    static std::list<QByteArray> columnNames;  // QTest keeps only the pointers
    QFile file(path);
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(path));
    int columns = -1;
    QSet<QString> names;
    for (int lineNumber = 1; !file.atEnd(); ++lineNumber) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QStringList cells = line.split('|');
        for (QString& cell : cells)
            cell = cell.trimmed();
        if (columns < 0) {
            columns = int(cells.size());
            for (const QString& name : cells)
                QTest::addColumn<QString>(columnNames.emplace_back(name.toUtf8()).constData());
            continue;
        }
        QVERIFY2(cells.size() == columns, qPrintable(line));
        QString name = cells.first();
        if (names.contains(name))
            name += QStringLiteral(" (line %1)").arg(lineNumber);
        names.insert(name);
        QTestData& row = QTest::newRow(qPrintable(name));
        for (const QString& cell : cells)
            row << cell;
    }
}
