#include "mediaplayer.h"
#include "mediaportalseriesmanager.h"
#include "movielinks.h"
#include "tablerows.h"

#include <QMetaEnum>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

// What the window makes of the portal's links and titles, and the series
// manager that plays a page's episodes one after another.
class TestPortalFilms : public QObject
{
    Q_OBJECT
private slots:
    void linkKind_data() { addTableRows(QFINDTESTDATA("../data/ui/portal-link-kinds.txt")); }
    void linkKind();
    void defaultMovie_data();
    void defaultMovie();
    void seriesSteps_data() { addTableRows(QFINDTESTDATA("../data/ui/series-steps.txt")); }
    void seriesSteps();
    void seriesListKeepsAHundredDistinctEpisodes();
};

void TestPortalFilms::linkKind()
{
    QFETCH(QString, link);
    QFETCH(QString, kind);
    static const QStringList kinds = {"Film", "FilmDatabase", "Other"};
    QCOMPARE(kinds.value(int(MovieLinks::kindOf(QUrl(link)))), kind);
}

void TestPortalFilms::defaultMovie_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("movie");
    QTest::newRow("link and title") << " ftp://srv/a.ts | Film A "
                                    << "ftp://srv/a.ts"
                                    << "Film A";
    QTest::newRow("no bar") << "Media portal"
                            << ""
                            << "";
    QTest::newRow("two bars") << "a | b | c"
                              << ""
                              << "";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
}

void TestPortalFilms::defaultMovie()
{
    QFETCH(QString, title);
    const MovieLinks::Movie movie = MovieLinks::defaultMovie(title);
    QTEST(movie.url, "url");
    QTEST(movie.title, "movie");
}

void TestPortalFilms::seriesSteps()
{
    QFETCH(QString, played);
    QFETCH(QString, then);
    QFETCH(QString, opens);
    QFETCH(QString, active);
    MediaPlayer player;
    TMediaPortalSeriesManager series;
    series.setMediaPlayer(&player);
    for (int episode = 0; episode < 5; ++episode)
        series.addSeries(QStringLiteral("e%1").arg(episode));
    series.srartSeriesManager();
    emit player.vlcOpen(played, true, -1);
    QSignalSpy chosen(&series, &TMediaPortalSeriesManager::openNewSeries);
    QSignalSpy opened(&player, &MediaPlayer::vlcOpen);
    for (const QString& event : then.split(',')) {
        if (event == "end")
            emit player.endPlayingOpenFile();
        else if (event == "stop")
            player.stop();
        else
            event == "next" ? series.playNextSeries() : series.playPrevSeries();
    }
    QCOMPARE(
        chosen.isEmpty() ? QString() : QStringLiteral("e%1").arg(chosen.first().first().toInt()),
        opens);
    if (!opens.isEmpty()) {
        QVERIFY(opened.wait());
        QCOMPARE(opened.first().first().toString(), opens);
    }
    QCOMPARE(series.isActive(), active == "yes");
}

void TestPortalFilms::seriesListKeepsAHundredDistinctEpisodes()
{
    MediaPlayer player;
    TMediaPortalSeriesManager series;
    series.addSeries("before a player");
    series.setMediaPlayer(&player);
    for (int episode = 0; episode < 120; ++episode)
        series.addSeries(QStringLiteral("e%1").arg(episode % 110));
    series.srartSeriesManager();
    QCOMPARE(series.seriesCount(), TMediaPortalSeriesManager::maxSeries);
    emit player.vlcOpen("e99", true, -1);
    QVERIFY(series.isActive());
    QVERIFY(!series.isCanSetNextSeries());
    QVERIFY(series.isCanSetPrevSeries());
}

QTEST_MAIN(TestPortalFilms)
#include "tst_portalfilms.moc"
