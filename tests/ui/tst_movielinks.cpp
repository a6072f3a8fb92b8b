#include "movielinks.h"

#include <QTest>

// Film links of the portal page and the URLs they play from.
class TestMovieLinks : public QObject
{
    Q_OBJECT
private slots:
    void playableUrl_data();
    void playableUrl();
    void filmLinksInPageOrder();
    void filmLinksStopAtAnUnclosedQuote();
};

void TestMovieLinks::playableUrl_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("url");
    QTest::newRow("ftp film folder") << "ftp://host/pub/films/a/b.avi"
                                     << "http://host/a/b.avi";
    QTest::newRow("ftp elsewhere") << "ftp://srv/x.mkv"
                                   << "http://srv/x.mkv";
    QTest::newRow("only the first film folder") << "ftp://srv/pub/films/pub/films/x.mkv"
                                                << "http://srv/pub/films/x.mkv";
    QTest::newRow("httpx") << "httpx://srv/y.avi"
                           << "http://srv/y.avi";
    QTest::newRow("httpx keeps its film folder") << "httpx://srv/pub/films/y.avi"
                                                 << "http://srv/pub/films/y.avi";
    QTest::newRow("plain http") << "http://srv/z.avi"
                                << "";
    QTest::newRow("upper-case scheme") << "FTP://srv/z.avi"
                                       << "";
    QTest::newRow("relative") << "/films/z.avi"
                              << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestMovieLinks::playableUrl()
{
    QFETCH(QString, link);
    QFETCH(QString, url);
    QCOMPARE(MovieLinks::toPlayableUrl(link), url);
}

void TestMovieLinks::filmLinksInPageOrder()
{
    const QString html = QStringLiteral(
        "<a href=\"httpx://s/2.avi\">two</a><a href=\"/genres\">genres</a>"
        "<a href='ftp://s/quoted-singly.avi'>no</a><a href = \"ftp://s/spaced.avi\">no</a>"
        "<link href=\"style.css\"><a href=\"ftp://s/pub/films/1.avi\">one</a>");
    QCOMPARE(MovieLinks::filmLinks(html),
             QStringList({"httpx://s/2.avi", "ftp://s/pub/films/1.avi"}));
    QVERIFY(MovieLinks::filmLinks(QString()).isEmpty());
}

void TestMovieLinks::filmLinksStopAtAnUnclosedQuote()
{
    const QString html = QStringLiteral("<a href=\"ftp://s/1.avi\">1</a><a href=\"ftp://s/2.avi");
    QCOMPARE(MovieLinks::filmLinks(html), QStringList({"ftp://s/1.avi"}));
}

QTEST_APPLESS_MAIN(TestMovieLinks)
#include "tst_movielinks.moc"
