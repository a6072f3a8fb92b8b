#include "medialocation.h"

#include <QTest>
#include <QUrl>

class TestMediaLocation : public QObject
{
    Q_OBJECT
private slots:
    void urlsAreOpenedInLowerCase();
    void fileUrls_data();
    void fileUrls();
    void encodedFileLocationDecodesToThePath();
};

void TestMediaLocation::urlsAreOpenedInLowerCase()
{
    QCOMPARE(MediaLocation::ofUrl("HTTP://10.0.0.5:8080/UDP/239.1.2.3:1234"),
             QString("http://10.0.0.5:8080/udp/239.1.2.3:1234"));
    QCOMPARE(MediaLocation::ofUrl("udp://@239.1.2.3:1234"), QString("udp://@239.1.2.3:1234"));
}

void TestMediaLocation::fileUrls_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("location");
    QTest::newRow("unix") << "/home/user/Rec/news.mpg"
                          << "file:///home/user/Rec/news.mpg"
                          << "file:///home/user/Rec/news.mpg";
    QTest::newRow("drive") << "C:/Users/user/Rec/news.mpg"
                           << "file:///C:/Users/user/Rec/news.mpg"
                           << "file:///C:/Users/user/Rec/news.mpg";
#ifdef Q_OS_WIN
    QTest::newRow("native separators") << "C:\\Users\\user\\Rec\\news.mpg"
                                       << "file:///C:/Users/user/Rec/news.mpg"
                                       << "file:///C:/Users/user/Rec/news.mpg";
#endif
    QTest::newRow("blanks and signs") << "/rec/2024.05.01 20.00 - A&B #1.mpg"
                                      << "file:///rec/2024.05.01 20.00 - A&B #1.mpg"
                                      << "file:///rec/2024.05.01%2020.00%20-%20A%26B%20%231.mpg";
    QTest::newRow("cyrillic") << "/rec/Новости.mpg"
                              << "file:///rec/Новости.mpg"
                              << "file:///rec/%D0%9D%D0%BE%D0%B2%D0%BE%D1%81%D1%82%D0%B8.mpg";
}

void TestMediaLocation::fileUrls()
{
    QFETCH(QString, path);
    QFETCH(QString, url);
    QFETCH(QString, location);
    QCOMPARE(MediaLocation::fileUrl(path), url);
    QCOMPARE(MediaLocation::ofFile(path), location);
}

void TestMediaLocation::encodedFileLocationDecodesToThePath()
{
    const QString path = "/tmp/Fête (1) [final]; 100%.ts";
    const QUrl decoded(MediaLocation::ofFile(path), QUrl::StrictMode);
    QVERIFY(decoded.isValid());
    QCOMPARE(decoded.toLocalFile(), path);
}

QTEST_GUILESS_MAIN(TestMediaLocation)
#include "tst_medialocation.moc"
