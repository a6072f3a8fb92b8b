#include <QTest>

class Stub4671 : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(Stub4671)
#include "tst_recordtable.moc"
