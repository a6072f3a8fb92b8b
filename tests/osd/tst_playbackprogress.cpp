#include <QTest>

class Testplaybackprogress : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() { QSKIP("not written yet"); }
};

QTEST_MAIN(Testplaybackprogress)
#include "tst_playbackprogress.moc"
