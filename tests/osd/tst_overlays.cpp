#include <QTest>

class Testoverlays : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not written yet"); }
};

QTEST_MAIN(Testoverlays)
#include "tst_overlays.moc"
