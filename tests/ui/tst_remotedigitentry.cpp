#include "remotedigitentry.h"

#include <QSignalSpy>
#include <QTest>

// Channel numbers typed on the remote control, on a clock the test moves by
// hand and with beats the test gives.
class TestRemoteDigitEntry : public QObject
{
    Q_OBJECT
private slots:
    void numberIsTakenOnTheFirstBeatAfterAPause_data();
    void numberIsTakenOnTheFirstBeatAfterAPause();
};

void TestRemoteDigitEntry::numberIsTakenOnTheFirstBeatAfterAPause_data()
{
    // Script: "ms:input" steps, where input is a digit, "<" for Backspace or
    // "." for a beat of the timer.
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

void TestRemoteDigitEntry::numberIsTakenOnTheFirstBeatAfterAPause()
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

QTEST_GUILESS_MAIN(TestRemoteDigitEntry)
#include "tst_remotedigitentry.moc"
