#include "benchfigures.h"
#include "benchoperator.h"
#include "channel.h"
#include "channelmanager.h"
#include "channelprogramwidget.h"
#include "fullplaybackprogresswidget.h"
#include "playbackprogresswidget.h"
#include "serverclock.h"
#include "tempinfowidget.h"
#include "timemachinemanager.h"
#include "timeshiftchannel.h"
#include "timeshiftprogressbarwidget.h"
#include "uibenchmarks.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QHash>
#include <QTest>

#include <functional>

using BenchFigures::processCpuNs;

namespace {

constexpr int kWarmUpTicks = 20;
constexpr int kTicks = 1000;
constexpr double kGoalMs = 1;
constexpr int kBarWidth = 1280;
constexpr int kOverlayWidth = 640;
constexpr int kBannerMs = 24 * 3600 * 1000;  // shown through every tick

// The server clock standing still but for the ticks, a second each.
class TickingClock
{
public:
    TickingClock() : m_msecs(QDateTime::currentMSecsSinceEpoch())
    {
        ServerClock::setLocalClock([this] { return m_msecs; });
    }
    ~TickingClock() { ServerClock::setLocalClock({}); }
    TickingClock(const TickingClock&) = delete;
    TickingClock& operator=(const TickingClock&) = delete;

    void tick() { m_msecs += 1000; }

private:
    qint64 m_msecs;
};

// Counts the paint events of the widgets it watches, to tell that a repaint
// really drew.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(const QList<QWidget*>& widgets) : m_widgets(widgets)
    {
        for (QWidget* widget : widgets)
            widget->installEventFilter(this);
    }

    // The first widget that drew fewer times than this, or null.
    QWidget* paintedLessThan(int times) const
    {
        for (QWidget* widget : m_widgets) {
            if (m_counts.value(widget) < times)
                return widget;
        }
        return nullptr;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++m_counts[watched];
        return false;
    }

private:
    QList<QWidget*> m_widgets;
    QHash<QObject*, int> m_counts;
};

void fitWidth(QWidget& widget, int width)
{
    widget.resize(width, widget.sizeHint().height());
}

// The four widgets that follow the timeshift manager, each a window of its
// own at the size it has over the video.
struct OnScreenDisplay
{
    explicit OnScreenDisplay(TimeMachineManager& manager)
    {
        progress.setTimeMachineManager(&manager);
        fullProgress.setTimeMachineManager(&manager);
        channelProgramme.setTimeMachineManager(&manager);
        banner.setTimeMachineManager(&manager);
    }

    // Sized for what they hold and shown, but for the banner: its showInfo
    // shows it.
    void place()
    {
        fitWidth(progress, kBarWidth);
        fitWidth(fullProgress, kBarWidth);
        fitWidth(channelProgramme, kOverlayWidth);
        fitWidth(banner, kOverlayWidth);
        progress.show();
        fullProgress.show();
        channelProgramme.show();
    }

    QList<QWidget*> windows() { return {&progress, &fullProgress, &channelProgramme, &banner}; }

    PlaybackProgressWidget progress;
    FullPlaybackProgressWidget fullProgress;
    ChannelProgramWidget channelProgramme;
    TempInfoWidget banner;
};

struct Step
{
    QString name;
    std::function<void()> run;
};

// The refresh of a tick: the manager's, with the widgets' updateInformation,
// and the progress widgets' own.
QList<Step> refreshSteps(TickingClock& clock, TimeMachineManager& manager, OnScreenDisplay& display)
{
    return {{"timeshift refresh and updateInformation",
             [&clock, &manager] {
                 clock.tick();
                 manager.onTimerCurrentTime();
             }},
            {"refresh() of both progress widgets", [&display] {
                 display.progress.refresh();
                 display.fullProgress.refresh();
             }}};
}

// Every window painted whole, synchronously.
QList<Step> repaintSteps(OnScreenDisplay& display)
{
    QList<Step> steps;
    for (QWidget* window : display.windows())
        steps.append({QString("paint of %1").arg(window->metaObject()->className()),
                      [window] { window->repaint(); }});
    return steps;
}

// What the event loop paints next: only the regions the widgets marked
// changed.
Step pendingPaint()
{
    return {"paint of the changed regions",
            [] { QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest); }};
}

// CPU milliseconds of each run of work, after the warm-up runs.
QList<double> cpuTimes(const std::function<void()>& work, int runs)
{
    for (int i = 0; i < kWarmUpTicks; ++i)
        work();
    QList<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        const qint64 start = processCpuNs();
        work();
        times.append((processCpuNs() - start) / 1e6);
    }
    return times;
}

void runAll(const QList<Step>& steps)
{
    for (const Step& step : steps)
        step.run();
}

// The mean of each step, from a run of ticks of its own, so that the tick's
// figures carry no clock readings between its steps.
QString breakdown(const QList<Step>& steps)
{
    QList<QList<double>> times(steps.size());
    for (int tick = 0; tick < kTicks; ++tick) {
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const qint64 start = processCpuNs();
            steps[i].run();
            times[i].append((processCpuNs() - start) / 1e6);
        }
    }
    QString lines;
    for (qsizetype i = 0; i < steps.size(); ++i) {
        lines += QString("    %1 ms  %2\n")
                     .arg(BenchFigures::mean(times[i]), 7, 'f', 3)
                     .arg(steps[i].name);
    }
    return lines;
}

// The tick as the running player has it, the event loop painting what the
// refresh changed, is held to the goal; every window repainted whole is the
// bound above it.
void report(QTextStream& out, const Channel& channel, const QList<double>& wholeTicks,
            const QList<double>& ticks)
{
    const double mean = BenchFigures::mean(ticks);
    out << QString("on-screen display, %1 at %2 min., %3 ticks of a second\n")
               .arg(channel.name())
               .arg(channel.currentOffsetMinutes())
               .arg(kTicks);
    out << QString("  tick      %1 ms   goal < %2 ms  %3\n")
               .arg(mean, 8, 'f', 3)
               .arg(kGoalMs)
               .arg(BenchFigures::verdict(mean, kGoalMs));
    out << QString(
               "  (CPU of the process per tick, mean after %1 ticks of warm-up, the event loop "
               "painting what changed; median %2 ms, 95th percentile %3 ms; the progress bars "
               "%4 px wide, the overlays %5 px)\n")
               .arg(kWarmUpTicks)
               .arg(BenchFigures::median(ticks), 0, 'f', 3)
               .arg(BenchFigures::percentile(ticks, 95), 0, 'f', 3)
               .arg(kBarWidth)
               .arg(kOverlayWidth);
    out << QString(
               "  every window repainted whole: mean %1 ms, median %2 ms, 95th percentile %3 ms\n")
               .arg(BenchFigures::mean(wholeTicks), 0, 'f', 3)
               .arg(BenchFigures::median(wholeTicks), 0, 'f', 3)
               .arg(BenchFigures::percentile(wholeTicks, 95), 0, 'f', 3);
}

}  // namespace

bool UiBenchmarks::osd(QTextStream& out)
{
    BenchOperator operatorServer;
    ChannelManager channels;
    if (!operatorServer.start("large") || !operatorServer.loadChannels(channels)) {
        out << "osd: the channel list of the large scenario did not load\n";
        return false;
    }
    Channel* channel = firstTimeshiftChannel(channels);
    if (!channel) {
        out << "osd: the large scenario has no channel with a guide and timeshift\n";
        return false;
    }
    TickingClock clock;
    TimeMachineManager manager;
    manager.setChannelManager(&channels);
    OnScreenDisplay display(manager);
    channels.setCurrentChannel(channel);
    channel->selectOffset(channel->offsetCount() / 2);
    manager.onTimerCurrentTime();
    display.place();
    display.banner.showInfo(channel->currentTelecast(), time_t(manager.lastShiftedTime()),
                            kBannerMs);
    for (QWidget* window : display.windows()) {
        if (!QTest::qWaitForWindowExposed(window)) {
            out << QString("osd: %1 did not show\n").arg(window->metaObject()->className());
            return false;
        }
    }

    const QList<Step> refresh = refreshSteps(clock, manager, display);
    const QList<Step> steps = refresh + repaintSteps(display);
    QList<QWidget*> drawn = display.windows();
    drawn.append(display.progress.bar());  // its paint logs
    const PaintCounter paints(drawn);
    const QList<double> ticks = cpuTimes([&] { runAll(steps); }, kTicks);
    if (const QWidget* missing = paints.paintedLessThan(kWarmUpTicks + kTicks)) {
        out << QString("osd: %1 did not paint at every tick\n")
                   .arg(missing->metaObject()->className());
        return false;
    }

    const QList<Step> eventLoopTick = refresh + QList<Step>{pendingPaint()};
    const QList<double> pendingTicks = cpuTimes([&] { runAll(eventLoopTick); }, kTicks);

    report(out, *channel, ticks, pendingTicks);
    out << "  by step, means of a run of its own:\n" << breakdown(steps);
    return true;
}
