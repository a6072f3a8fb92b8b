#include "closesequence.h"
#include "keyrepeatfilter.h"
#include "remotedigitentry.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QKeySequence>
#include <QSignalSpy>
#include <QTest>

// The main window's parts that need no window: the key repeat filter and the
// remote control's digit entry on a clock the test moves by hand, and the
// close sequence.
class TestWindowParts : public QObject
{
    Q_OBJECT
private slots:
    void keyPressedAgainWithin100msIsDropped_data();
    void keyPressedAgainWithin100msIsDropped();
    void numberIsTakenOnTheFirstBeatAfterAPause_data();
    void numberIsTakenOnTheFirstBeatAfterAPause();
    void requestsComeToOneStep_data();
    void requestsComeToOneStep();
    void streamIsClosedOnlyOnceTheServerConfirms_data();
    void streamIsClosedOnlyOnceTheServerConfirms();
};

// Scripts are "ms:input" steps on the test's clock.

void TestWindowParts::keyPressedAgainWithin100msIsDropped_data()
{
    // Input: a key in QKeySequence's portable text ("Num" is the keypad).
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("accepted");  // 1 or 0 for each press
    QTest::newRow("at once") << "0:A 0:A"
                             << "10";
    QTest::newRow("50 ms") << "0:A 50:A"
                           << "10";
    QTest::newRow("exactly 100 ms") << "0:A 100:A"
                                    << "10";
    QTest::newRow("101 ms") << "0:A 101:A"
                            << "11";
    QTest::newRow("dropped presses do not restart the window") << "0:Down 60:Down 120:Down 180:Down"
                                                               << "1010";
    QTest::newRow("another key between") << "0:1 0:2 0:1"
                                         << "111";
    QTest::newRow("with Ctrl") << "0:1 0:Ctrl+1 0:1"
                               << "111";
    QTest::newRow("with Alt") << "0:1 0:Alt+1 0:1"
                              << "111";
    QTest::newRow("with Shift") << "0:F 0:Shift+F 0:Ctrl+Shift+F"
                                << "111";
    QTest::newRow("keypad and Meta do not count") << "0:5 0:Num+5 0:Meta+5"
                                                  << "100";
}

void TestWindowParts::keyPressedAgainWithin100msIsDropped()
{
    QFETCH(QString, script);
    QFETCH(QString, accepted);
    qint64 now = 5000;
    KeyRepeatFilter filter([&now] { return now; });
    QString seen;
    for (const QString& step : script.split(' ')) {
        const QStringList parts = step.split(':');
        now = 5000 + parts.at(0).toLongLong();
        const QKeyCombination key = QKeySequence::fromString(parts.at(1))[0];
        QVERIFY2(key.key() != Qt::Key_unknown, qPrintable(step));
        const QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers());
        seen += filter.accept(KeyChord::of(&event)) ? '1' : '0';
    }
    QCOMPARE(seen, accepted);
}

void TestWindowParts::numberIsTakenOnTheFirstBeatAfterAPause_data()
{
    // Input: a digit, "<" for Backspace or "." for a beat of the timer.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("shown");  // each text the overlay got, "-" for none
    QTest::addColumn<QString>("taken");  // "number@ms" for each number taken

    QTest::newRow("12 on the beat more than a second after the 2")
        << "0:1 300:2 1000:. 1300:. 2000:."
        << "1 12 -"
        << "12@2000";
    QTest::newRow("a second exactly is not yet a pause") << "0:5 1000:. 1001:."
                                                         << "5 -"
                                                         << "5@1001";
    QTest::newRow("Backspace steps back and restarts the pause")
        << "0:1 100:2 900:< 1000:. 1500:5 2000:. 2501:."
        << "1 12 1 15 -"
        << "15@2501";
    QTest::newRow("a fourth digit is dropped but restarts the pause")
        << "0:1 0:2 0:3 900:4 1001:. 1901:."
        << "1 12 123 -"
        << "123@1901";
    QTest::newRow("0 is handed on like any number") << "0:0 1001:."
                                                    << "0 -"
                                                    << "0@1001";
    QTest::newRow("Backspace down to nothing takes nothing") << "0:7 100:< 2000:. 3000:."
                                                             << "7 -"
                                                             << "";
    QTest::newRow("Backspace with nothing typed") << "0:< 2000:."
                                                  << ""
                                                  << "";
    QTest::newRow("beats before any digit") << "1000:. 2000:. 2100:4 3101:."
                                            << "4 -"
                                            << "4@3101";
    QTest::newRow("a second number after the first") << "0:1 1001:. 1100:2 2101:."
                                                     << "1 - 2 -"
                                                     << "1@1001 2@2101";
}

void TestWindowParts::numberIsTakenOnTheFirstBeatAfterAPause()
{
    QFETCH(QString, script);
    QFETCH(QString, shown);
    QFETCH(QString, taken);
    qint64 now = 0;
    RemoteDigitEntry entry(nullptr, [&now] { return now; });
    QStringList texts;
    QStringList numbers;
    connect(&entry, &RemoteDigitEntry::textChanged, this,
            [&](const QString& text) { texts << (text.isEmpty() ? QStringLiteral("-") : text); });
    connect(&entry, &RemoteDigitEntry::channelChosen, this,
            [&](int number) { numbers << QStringLiteral("%1@%2").arg(number).arg(now); });

    for (const QString& step : script.split(' ')) {
        const QStringList parts = step.split(':');
        now = parts.at(0).toLongLong();
        const QChar input = parts.at(1).at(0);
        if (input == '.')
            entry.beat();
        else if (input == '<')
            entry.backspace();
        else
            entry.append(input.digitValue());
    }
    QCOMPARE(texts.join(' '), shown);
    QCOMPARE(numbers.join(' '), taken);
    QCOMPARE(entry.text(), texts.isEmpty() || texts.last() == "-" ? QString() : texts.last());
}

void TestWindowParts::requestsComeToOneStep_data()
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

void TestWindowParts::requestsComeToOneStep()
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

void TestWindowParts::streamIsClosedOnlyOnceTheServerConfirms_data()
{
    QTest::addColumn<bool>("streamOpen");
    QTest::addColumn<bool>("confirmed");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("stream open, server confirms")
        << true << true << QStringList{"send", "close stream", "quit"};
    QTest::newRow("stream open, server silent") << true << false << QStringList{"send", "quit"};
    QTest::newRow("no stream, server confirms") << false << true << QStringList{"send", "quit"};
}

void TestWindowParts::streamIsClosedOnlyOnceTheServerConfirms()
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

QTEST_GUILESS_MAIN(TestWindowParts)
#include "tst_windowparts.moc"
