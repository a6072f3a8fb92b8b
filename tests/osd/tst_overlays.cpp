#include "../support/tablerows.h"
#include "channel.h"
#include "channelprogramwidget.h"
#include "clocktext.h"
#include "fixedclock.h"
#include "fullplaybackprogresswidget.h"
#include "guideanswers.h"
#include "telecast.h"
#include "tempinfowidget.h"
#include "timemachinemanager.h"
#include "timeshiftprogressbarwidget.h"

#include <QLabel>
#include <QProgressBar>
#include <QTest>
#include <QToolButton>

using namespace GuideAnswers;

namespace {

const qint64 kTwenty = 1699992000;  // 20:00 UTC

qint64 at(const QString& clock)
{
    return kTwenty - 20 * 3600 + QTime::fromString(clock, "hh:mm").msecsSinceStartOfDay() / 1000;
}

// The channel "One" with hourly telecasts from 18:00 of the given titles ("~":
// untitled) and, with offsets, the first of them selected; the three overlays
// follow the manager, which is not yet told about the channel.
class Watching
{
public:
    Watching(const QString& guide, const QString& offsets, const QString& now) : clock(at(now))
    {
        proto::ChannelListResponse list;
        proto::Channel* entry = addChannel(list, 1, "One");
        entry->add_offset(1);
        const QStringList minutes = offsets.split(' ', Qt::SkipEmptyParts);
        for (int k = 0; k < minutes.size(); ++k) {
            entry->add_offset(k + 2);
            addTimeOffset(list, k + 2, minutes[k].toInt());
        }
        const QStringList titles = guide.split(", ", Qt::SkipEmptyParts);
        for (int k = 0; k < titles.size(); ++k)
            addTelecast(entry, k + 1, at("18:00") + k * 3600, at("19:00") + k * 3600,
                        titles[k] == "~" ? "" : titles[k].toStdString());
        channel.load(&list, 0, !titles.isEmpty());
        if (!minutes.isEmpty())
            channel.selectOffset(0);
        panel.setTimeMachineManager(&manager);
        banner.setTimeMachineManager(&manager);
        full.setTimeMachineManager(&manager);
    }

    FixedClock clock;
    Channel channel;
    TimeMachineManager manager;
    ChannelProgramWidget panel;
    TempInfoWidget banner;
    FullPlaybackProgressWidget full;
    TimeShiftProgressBarWidget* bar = full.findChild<TimeShiftProgressBarWidget*>("prbCurrentProg");
};

QString text(const QWidget& widget, const QString& label)
{
    return widget.findChild<QLabel*>(label)->text();
}

// Times as clock texts, small values as they are.
QString valueText(qint64 value)
{
    return value > kTwenty / 2 ? clockText(time_t(value)) : QString::number(value);
}

}  // namespace

class TestOverlays : public QObject
{
    Q_OBJECT
private slots:
    void overlayTexts_data() { addTableRows(QFINDTESTDATA("../data/osd/overlay-texts.txt")); }
    void overlayTexts();
    void bannerStaysForItsDurationAfterTheLastShow();
    void fullscreenBarControls();
};

void TestOverlays::overlayTexts()
{
    QFETCH(QString, guide);
    QFETCH(QString, offsets);
    QFETCH(QString, now);
    Watching tv(guide, offsets, now);
    tv.banner.show();  // the title is elided to the label's width
    tv.bar->setRange(1, 2);
    tv.bar->setPlayedSection(1, 2);
    tv.bar->setTitle("before");
    tv.manager.setNewChannel(guide == "no channel" ? nullptr : &tv.channel);

    QTEST(text(tv.panel, "lblTime"), "clock");
    for (const auto& [row, column] :
         {std::pair{"1", "previous"}, {"2", "watched"}, {"3", "next"}}) {
        const QString title = QString("lblProg") + row;
        QTEST((text(tv.panel, title + "Time") + ' ' + text(tv.panel, title)).trimmed(), column);
    }
    const auto* progress = tv.banner.findChild<QProgressBar*>("prbProg");
    const auto* title = tv.banner.findChild<QLabel*>("lblProgName");
    QTEST(QString("%1..%2 at %3 %4")
              .arg(valueText(progress->minimum()), valueText(progress->maximum()),
                   valueText(progress->value()), title->isHidden() ? "" : title->text())
              .trimmed(),
          "banner");
    const TimeShiftProgressBarWidget& bar = *tv.bar;
    QTEST(QString("%1..%2 played %3..%4 %5")
              .arg(valueText(bar.minimum()), valueText(bar.maximum()),
                   valueText(bar.playedSection().min), valueText(bar.playedSection().max),
                   bar.title())
              .trimmed(),
          "bar");
}

void TestOverlays::bannerStaysForItsDurationAfterTheLastShow()
{
    TempInfoWidget banner;
    const Telecast telecast;
    const auto tick = [&banner](int times) {
        while (times-- > 0)
            banner.onMainTimer();
    };
    banner.showInfo(&telecast, 0, 2000);
    banner.showInfo(nullptr, kTwenty, 2000);
    QVERIFY(banner.isHidden());
    banner.showInfo(&telecast, kTwenty, 2000);
    tick(10);
    banner.showInfo(&telecast, kTwenty, 2000);
    banner.showInfo(nullptr, kTwenty, 2000);
    tick(19);
    QVERIFY(banner.isVisible());
    tick(1);
    QVERIFY(banner.isHidden());
}

// Film mode keeps the manager's reports off the bar and the name; the step
// and live buttons command the manager.
void TestOverlays::fullscreenBarControls()
{
    Watching tv("Early, News, Film, Late", "-15 -30", "20:20");
    tv.full.setMovieMode("Heat");
    tv.manager.setNewChannel(&tv.channel);
    QCOMPARE(tv.bar->title(), "Heat");
    QCOMPARE(text(tv.full, "lblChannelName"), "Heat");
    tv.full.reset();
    for (const auto& [button, index] :
         {std::pair{"btnPrevProg", 1}, {"btnNextProg", 0}, {"btnReal", -1}}) {
        tv.full.findChild<QToolButton*>(button)->click();
        QCOMPARE(tv.channel.offsetIndex(), index);
    }
    QCOMPARE(text(tv.full, "lblChannelName"), "One");
}

QTEST_MAIN(TestOverlays)
#include "tst_overlays.moc"
