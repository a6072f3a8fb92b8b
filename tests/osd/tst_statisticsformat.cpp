#include "statisticsformat.h"

#include <QTest>

class TestStatisticsFormat : public QObject
{
    Q_OBJECT
private slots:
    void byteSize_data();
    void byteSize();
    void bitRate_data();
    void bitRate();
};

void TestStatisticsFormat::byteSize_data()
{
    QTest::addColumn<qint32>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << "0.0";
    QTest::newRow("512") << 512 << "512.0";
    QTest::newRow("1024") << 1024 << "1024.0";
    QTest::newRow("1025") << 1025 << "1.0 k";
    QTest::newRow("1536") << 1536 << "1.0 k";
    QTest::newRow("1048575") << 1048575 << "1023.0 k";
    QTest::newRow("1048576") << 1048576 << "1024.0 k";
    QTest::newRow("1048577") << 1048577 << "1.0 M";
    QTest::newRow("1073741824") << 1073741824 << "1024.0 M";
    QTest::newRow("1073741825") << 1073741825 << "1.0 G";
    QTest::newRow("largest") << std::numeric_limits<qint32>::max() << "1.0 G";
}

void TestStatisticsFormat::byteSize()
{
    QFETCH(qint32, bytes);
    QFETCH(QString, text);
    QCOMPARE(StatisticsFormat::byteSize(bytes), text);
}

void TestStatisticsFormat::bitRate_data()
{
    QTest::addColumn<float>("bytesPerMicrosecond");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << 0.0f << "0.0 kbit/s";
    QTest::newRow("1 kbit/s") << 0.000125f << "1.0 kbit/s";
    QTest::newRow("384 kbit/s") << 0.048f << "384.0 kbit/s";
    QTest::newRow("rounded to one decimal") << 0.0123456f << "98.8 kbit/s";
    QTest::newRow("8 Mbit/s") << 1.0f << "8000.0 kbit/s";
}

void TestStatisticsFormat::bitRate()
{
    QFETCH(float, bytesPerMicrosecond);
    QFETCH(QString, text);
    QCOMPARE(StatisticsFormat::bitRate(bytesPerMicrosecond), text);
}

QTEST_GUILESS_MAIN(TestStatisticsFormat)
#include "tst_statisticsformat.moc"
