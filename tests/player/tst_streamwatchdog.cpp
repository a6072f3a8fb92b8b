#include "streamwatchdog.h"

#include <QSignalSpy>
#include <QTest>

class TestStreamWatchdog : public QObject
{
    Q_OBJECT
private slots:
    void reportsACounterThatDoesNotMove();
    void staysQuietWhileTheCounterMoves();
    void disarmedItReportsNothing();
    void reportsOnceAndDisarms();
};

void TestStreamWatchdog::reportsACounterThatDoesNotMove()
{
    StreamWatchdog watchdog([] { return qint64(0); });
    watchdog.setTimeout(200);
    QSignalSpy stalled(&watchdog, &StreamWatchdog::stalled);
    QElapsedTimer clock;
    clock.start();
    watchdog.arm();
    QVERIFY(stalled.wait(2000));
    QVERIFY(clock.elapsed() >= 200);
}

void TestStreamWatchdog::staysQuietWhileTheCounterMoves()
{
    qint64 bytes = 0;
    StreamWatchdog watchdog([&bytes] { return bytes += 188; });
    watchdog.setTimeout(200);
    QSignalSpy stalled(&watchdog, &StreamWatchdog::stalled);
    watchdog.arm();
    QVERIFY(!stalled.wait(800));
    QVERIFY(watchdog.isArmed());
    QVERIFY(bytes > 188);
}

void TestStreamWatchdog::disarmedItReportsNothing()
{
    StreamWatchdog watchdog([] { return qint64(0); });
    watchdog.setTimeout(100);
    QSignalSpy stalled(&watchdog, &StreamWatchdog::stalled);
    watchdog.arm();
    watchdog.disarm();
    QVERIFY(!stalled.wait(500));
}

void TestStreamWatchdog::reportsOnceAndDisarms()
{
    StreamWatchdog watchdog([] { return qint64(42); });
    watchdog.setTimeout(100);
    QSignalSpy stalled(&watchdog, &StreamWatchdog::stalled);
    watchdog.arm();
    QVERIFY(stalled.wait(1000));
    QVERIFY(!watchdog.isArmed());
    QVERIFY(!stalled.wait(400));
    QCOMPARE(stalled.size(), 1);
}

QTEST_GUILESS_MAIN(TestStreamWatchdog)
#include "tst_streamwatchdog.moc"
