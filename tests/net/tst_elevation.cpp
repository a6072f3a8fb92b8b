#include "../support/tablerows.h"
#include "elevation.h"

#include <QTest>

class TestElevation : public QObject
{
    Q_OBJECT
private slots:
    void parameterText_data() { addTableRows(ZENTRIA_NET_DATA "/elevation-parameters.txt"); }
    void parameterText()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, text);
        QCOMPARE(Elevation::parameterText(arguments.split(';', Qt::SkipEmptyParts)), text);
    }
};

QTEST_GUILESS_MAIN(TestElevation)
#include "tst_elevation.moc"
