#include <QTest>

class Testtimeshiftbar : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not written yet"); }
};

QTEST_MAIN(Testtimeshiftbar)
#include "tst_timeshiftbar.moc"
