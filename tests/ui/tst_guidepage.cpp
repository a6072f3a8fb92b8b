#include <QTest>

class Stub19184 : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(Stub19184)
#include "tst_guidepage.moc"
