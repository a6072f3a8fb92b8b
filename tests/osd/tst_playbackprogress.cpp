#include "../support/tablerows.h"
#include "playbackprogresswidget.h"
#include "timeshiftchannel.h"
#include "timeshiftprogressbarwidget.h"

#include <QLabel>
#include <QTest>
#include <QToolButton>

using namespace TimeshiftFixture;

namespace {

// The buttons in the row's order and the words the table names them by.
const QList<std::pair<const char*, QString>> kButtons{
    {"btnTimeShiftPrev", "back"}, {"btnPrevProgram", "prev"},      {"btnStartProgram", "start"},
    {"btnNextProgram", "next"},   {"btnTimeShiftNext", "forward"}, {"btnReal", "live"}};

int atMinute(const QString& minutes)
{
    return int(kBase + minutes.toInt() * kMinute);
}

// The progress row listening to the timeshift manager of a channel.
class Row : public TimeshiftChannel
{
public:
    Row(const QList<int>& minutes, qint64 now) : TimeshiftChannel(minutes, now)
    {
        widget.setTimeMachineManager(&manager);
        manager.onTimerCurrentTime();
    }

    QToolButton* button(const char* name) const { return widget.findChild<QToolButton*>(name); }
    QString label(const char* name) const { return widget.findChild<QLabel*>(name)->text(); }
    // The words of the enabled buttons, "hidden" when none shows.
    QStringList enabled() const
    {
        QStringList words;
        for (const auto& [name, word] : kButtons) {
            if (button(name)->isHidden())
                return {"hidden"};
            if (button(name)->isEnabled())
                words << word;
        }
        return words;
    }

    PlaybackProgressWidget widget;
};

// An empty section has no values.
QList<int> sectionValues(const TimeShiftProgressBarWidget::Section& section)
{
    return section.isEmpty() ? QList<int>{} : QList<int>{section.min, section.max};
}

QList<int> values(const QString& minutes)
{
    QList<int> list;
    for (const QString& minute : minutes.split(' ', Qt::SkipEmptyParts))
        list << atMinute(minute);
    return list;
}

}  // namespace

class TestPlaybackProgress : public QObject
{
    Q_OBJECT
private slots:
    void television_data() { addTableRows(QFINDTESTDATA("../data/osd/progress-buttons.txt")); }
    void television();
    void buttonsMoveTheWatchedMoment();
};

void TestPlaybackProgress::television()
{
    QFETCH(QString, offsets);
    QFETCH(QString, now);
    QFETCH(QString, index);
    QFETCH(QString, enabled);
    QFETCH(QString, telecast);
    QFETCH(QString, clock);
    QFETCH(QString, played);
    QFETCH(QString, second);
    QFETCH(QString, markers);
    QList<int> table;
    for (const QString& minutes : offsets.split(' '))
        table << minutes.toInt();
    Row row(table, atMinute(now));
    row.channel.selectOffset(index.toInt());
    row.manager.onTimerCurrentTime();
    row.widget.refresh();

    QCOMPARE(row.enabled(), enabled.split(' '));
    const TimeShiftProgressBarWidget* bar = row.widget.bar();
    const int start = int(kBase + (telecast.toInt() - 4) * 3600);
    QCOMPARE(bar->minimum(), start);
    QCOMPARE(bar->maximum(), start + 3600);
    QCOMPARE(bar->title(), "T" + telecast);
    QCOMPARE(row.label("lblStartTime") + ' ' + row.label("lblEndTime"), clock);
    QCOMPARE(sectionValues(bar->playedSection()), values(played));
    QCOMPARE(sectionValues(bar->secondSection()), values(second));
    QCOMPARE(bar->markers(), values(markers));
}

void TestPlaybackProgress::buttonsMoveTheWatchedMoment()
{
    Row row({-15, -30, -55}, kBase + 20 * kMinute);
    row.button("btnTimeShiftPrev")->click();
    QCOMPARE(row.channel.offsetIndex(), 0);
    // Shown at once, without waiting for the next refresh.
    QCOMPARE(row.widget.bar()->secondSection().max, int(row.clock.now()));
    QVERIFY(row.button("btnReal")->isEnabled());
    row.button("btnReal")->click();
    QVERIFY(row.channel.isLive());

    row.widget.setMovieMode("Film");
    QVERIFY(row.button("btnReal")->isHidden());
    QCOMPARE(row.widget.bar()->title(), "Film");
    row.widget.reset();
    row.manager.onTimerCurrentTime();
    QVERIFY(!row.button("btnReal")->isHidden());
    QCOMPARE(row.widget.bar()->title(), "T4");
}

QTEST_MAIN(TestPlaybackProgress)
#include "tst_playbackprogress.moc"
