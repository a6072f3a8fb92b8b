// The programme guide page over a small fixed guide (guide-telecasts.txt):
// the search text, the page's HTML and its record links.

#include "../channels/guideanswers.h"
#include "channel.h"
#include "channellistbuilder.h"
#include "channelmanager.h"
#include "guidepage.h"
#include "serverclock.h"
#include "tablerows.h"
#include "telecast.h"
#include "temporaryprofile.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>

namespace {

const qint64 kNow = QDateTime(QDate(2021, 3, 8), QTime(10, 15), Qt::UTC).toSecsSinceEpoch();

// The rows of a '|'-separated table, without its column names.
QList<QStringList> tableRows(const QString& path)
{
    QFile file(path);
    QList<QStringList> rows;
    for (const QString& line :
         file.open(QIODevice::ReadOnly) ? QString(file.readAll()).split('\n') : QStringList()) {
        QStringList cells = line.split('|');
        for (QString& cell : cells)
            cell = cell.trimmed();
        if (cells.size() > 1 && !line.startsWith('#'))
            rows.append(cells);
    }
    return rows.mid(1);
}

QStringList links(const QString& html)
{
    QStringList found;
    for (const auto& match : QRegularExpression("href=\"([^\"]*)\"").globalMatch(html))
        found.append(match.captured(1));
    return found;
}

}  // namespace

class TestGuidePage : public QObject
{
    Q_OBJECT

    std::unique_ptr<TemporaryProfile> m_profile;
    proto::ChannelListResponse m_answer;
    std::unique_ptr<ChannelManager> m_channels;
    QList<Telecast*> m_page;  // the guide in the order of the file

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English)); }

    void init()
    {
        m_profile = std::make_unique<TemporaryProfile>();
        ServerClock::reset();
        m_answer.Clear();
        const QList<QStringList> rows = tableRows(QFINDTESTDATA("../data/ui/guide-telecasts.txt"));
        QStringList channels, rowChannels;
        for (const QStringList& row : rows) {
            if (!channels.contains(row[0])) {
                channels.append(row[0]);
                GuideAnswers::addChannel(m_answer, int(channels.size()), row[0].toStdString());
            }
            const qint64 from = QDateTime::fromString(row[1], Qt::ISODate).toSecsSinceEpoch();
            rowChannels.append(row[0]);
            GuideAnswers::addTelecast(m_answer.mutable_list(int(channels.indexOf(row[0]))),
                                      int(rowChannels.size()), from, from + row[2].toInt() * 60,
                                      row[3].toStdString());
        }
        m_channels = std::make_unique<ChannelManager>();
        m_channels->loadFrom({&m_answer});
        m_page.clear();
        for (qsizetype i = 0; i < rows.size(); ++i) {
            Channel* channel = m_channels->channelByName(rows[i][0]);
            m_page.append(channel->telecasts().at(rowChannels.first(i).count(rows[i][0])));
            m_page.last()->setRecordScheduled(rows[i][4] == "yes");
        }
    }

    void cleanup() { m_channels.reset(), Settings::destroy(), m_profile.reset(); }

    void searchTextFinds_data() { addTableRows(QFINDTESTDATA("../data/ui/guide-search.txt")); }
    void searchTextFinds()
    {
        QFETCH(QString, text);
        const GuidePage::Query query = GuidePage::parse(text);
        QTEST(query.channelName, "channel");
        QTEST(query.title, "title");
        GuidePage page;
        page.search(*m_channels, text);
        QStringList titles;
        for (const Telecast* telecast : page.result())
            titles.append(telecast->title());
        QTEST(titles.join(", "), "found");
    }

    // Channel headers only where the channel changes, a day header per new
    // day, ended telecasts grey and without a link, the one on air anchored.
    void pageShowsTheGuide()
    {
        QString html = GuidePage::format(m_page, kNow);
        // Not cut before the telecast on air (row 2), nor before a header row.
        const QStringList parts = GuidePage::formatParts(m_page, kNow, 1);
        QCOMPARE(parts.size(), 2);
        QCOMPARE(parts.join(QString()), html);
        for (qsizetype i = 0; i < m_page.size(); ++i)
            html.replace(GuidePage::recordLink(m_page[i]) + '"',
                         QString("telecast://%1\"").arg(i + 1));
        QFile golden(QFINDTESTDATA("../data/ui/guide-page.html"));
        QVERIFY(golden.open(QIODevice::ReadOnly));
        QCOMPARE(html, QString::fromUtf8(golden.readAll()).remove('\n'));
        QCOMPARE(GuidePage::format({}, kNow), QString("Can't find anything!"));
    }

    // The image and its tooltip follow the flag; links to anything but a
    // telecast of the page lead nowhere.
    void recordLinkTogglesItsTelecastOnly()
    {
        GuidePage page;
        page.setResult(m_page.first(5));
        const QString before = page.html(kNow);
        const QStringList offered = links(before);
        QCOMPARE(offered.size(), 3);  // the two ended telecasts have none
        QVERIFY(page.toggle(QUrl(offered.last())));
        QVERIFY(m_page[4]->isRecordScheduled());
        const QString after = page.html(kNow);
        QCOMPARE(after.count("Click to cancel record"), 2);
        QCOMPARE(after.count("\":/images/record.png\""), 2);
        QVERIFY(page.toggle(QUrl(offered.last())));
        QCOMPARE(page.html(kNow), before);

        const QString number = GuidePage::recordLink(m_page[5]).mid(QString("telecast://").size());
        for (const QString& link : {"telecast://" + number, "http://" + number,
                                    QString("telecast://0"), QString("telecast://abc")})
            QVERIFY2(!page.toggle(QUrl(link)), qPrintable(link));
        QVERIFY(!m_page[5]->isRecordScheduled());
        m_channels->loadFrom({&m_answer});  // deletes the telecasts
        QVERIFY(!page.toggle(QUrl(offered.last())));
        QVERIFY(page.result().isEmpty());
    }
};

QTEST_MAIN(TestGuidePage)
#include "tst_guidepage.moc"
