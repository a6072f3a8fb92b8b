#include "closesequence.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

// How a request to end the player is answered, without a window.
class TestCloseSequence : public QObject
{
    Q_OBJECT
private slots:
    void requestsComeToOneStep_data();
    void requestsComeToOneStep();
    void streamIsClosedOnlyOnceTheServerConfirms_data();
    void streamIsClosedOnlyOnceTheServerConfirms();
};

void TestCloseSequence::requestsComeToOneStep_data()
{
    QTest::addColumn<bool>("quitting");
    QTest::addColumn<bool>("windowClosed");
    QTest::addColumn<bool>("closeToTray");
    QTest::addColumn<CloseSequence::Step>("step");
    using Step = CloseSequence::Step;
    QTest::newRow("window closed") << false << true << false << Step::Quit;
    QTest::newRow("window closed with close-to-tray") << false << true << true << Step::HideToTray;
    QTest::newRow("Quit despite close-to-tray") << false << false << true << Step::Quit;
    QTest::newRow("window closed while quitting") << true << true << true << Step::Accept;
    QTest::newRow("Quit while quitting") << true << false << false << Step::Accept;
}

void TestCloseSequence::requestsComeToOneStep()
{
    QFETCH(bool, quitting);
    QFETCH(bool, windowClosed);
    QFETCH(bool, closeToTray);
    QFETCH(CloseSequence::Step, step);
    CloseSequence sequence;
    if (quitting) {
        QSignalSpy quit(&sequence, &CloseSequence::quit);
        QVERIFY(sequence.start(false));
        QVERIFY(quit.wait());
    }
    QCOMPARE(sequence.isQuitting(), quitting);
    QCOMPARE(sequence.stepFor(windowClosed, closeToTray), step);
}

void TestCloseSequence::streamIsClosedOnlyOnceTheServerConfirms_data()
{
    QTest::addColumn<bool>("streamOpen");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("stream open, server confirms")
        << true << true << QStringList{"send", "close stream", "quit"};
    QTest::newRow("stream open, server silent") << true << false << QStringList{"send", "quit"};
    QTest::newRow("no stream, server confirms") << false << true << QStringList{"send", "quit"};
}

void TestCloseSequence::streamIsClosedOnlyOnceTheServerConfirms()
{
    QFETCH(bool, streamOpen);
    QFETCH(bool, confirmed);
    QFETCH(QStringList, events);
    CloseSequence sequence;
    QStringList seen;
    connect(&sequence, &CloseSequence::sendSettings, this, [&] { seen << "send"; });
    connect(&sequence, &CloseSequence::closeStream, this, [&] { seen << "close stream"; });
    connect(&sequence, &CloseSequence::quit, this, [&] { seen << "quit"; });
    QSignalSpy quit(&sequence, &CloseSequence::quit);
    QElapsedTimer sinceRequest;
    sinceRequest.start();

    sequence.settingsSaved();  // an earlier save is no confirmation
    QVERIFY(sequence.start(streamOpen));
    QVERIFY(!sequence.start(streamOpen));
    if (confirmed) {
        sequence.settingsSaved();
        sequence.settingsSaved();
    }
    QVERIFY(quit.wait());
    QVERIFY(sinceRequest.elapsed() >= CloseSequence::closeDelayMs);
    QCOMPARE(seen, events);
}

QTEST_GUILESS_MAIN(TestCloseSequence)
#include "tst_closesequence.moc"
