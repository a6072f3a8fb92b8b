#include <QTest>

class Stub8081 : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(Stub8081)
#include "tst_recordcontroller.moc"
