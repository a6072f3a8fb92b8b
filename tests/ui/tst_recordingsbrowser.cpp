#include <QTest>

class Stub16511 : public QObject
{
    Q_OBJECT
};

QTEST_MAIN(Stub16511)
#include "tst_recordingsbrowser.moc"
