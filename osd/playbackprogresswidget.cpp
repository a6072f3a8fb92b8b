#include "playbackprogresswidget.h"

#include "channel.h"
#include "clocktext.h"
#include "mediaplayer.h"
#include "movieposition.h"
#include "telecast.h"
#include "timemachinemanager.h"
#include "timeshiftprogressbarwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>

namespace {

struct Navigation
{
    const char* name;
    const char* icon;
    const char* toolTip;
    TimeMachineManager::Command command;
    void (TimeMachineManager::*slot)();
};

using Command = TimeMachineManager::Command;
using Manager = TimeMachineManager;

const std::array<Navigation, 6> kNavigation{{
    {"btnTimeShiftPrev", ":/images/timeshift-step-back.png",
     QT_TRANSLATE_NOOP("PlaybackProgressWidget", "Prev_marker (Ctrl+Left)"), Command::StepBack,
     &Manager::setCurrentChannelTimeShiftPrev},
    {"btnPrevProgram", ":/images/timeshift-prev-programme.png",
     QT_TRANSLATE_NOOP("PlaybackProgressWidget", "Prev_in_prog_marker (Left)"),
     Command::PreviousProgramme, &Manager::setCurrentChannelTimeShiftPrevProgram},
    {"btnStartProgram", ":/images/timeshift-start.png",
     QT_TRANSLATE_NOOP("PlaybackProgressWidget", "timeshift_start (Ctrl+S)"),
     Command::StartOfProgramme, &Manager::setCurrentChannelTimeShiftStartProgram},
    {"btnNextProgram", ":/images/timeshift-next-programme.png",
     QT_TRANSLATE_NOOP("PlaybackProgressWidget", "Next_in_prog_marker (Right)"),
     Command::NextProgramme, &Manager::setCurrentChannelTimeShiftNextProgram},
    {"btnTimeShiftNext", ":/images/timeshift-step-forward.png",
     QT_TRANSLATE_NOOP("PlaybackProgressWidget", "Next_marker (Ctrl+Right)"), Command::StepForward,
     &Manager::setCurrentChannelTimeShiftNext},
    {"btnReal", ":/images/timeshift-live.png",
     QT_TRANSLATE_NOOP("PlaybackProgressWidget", "timeshift_real (Ctrl+Z)"), Command::Live,
     &Manager::setCurrentChannelOffTimeShift},
}};

}  // namespace

PlaybackProgressWidget::PlaybackProgressWidget(QWidget* parent)
    : QWidget(parent),
      m_startLabel(new QLabel(this)),
      m_bar(new TimeShiftProgressBarWidget(this)),
      m_endLabel(new QLabel(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    m_startLabel->setObjectName("lblStartTime");
    m_endLabel->setObjectName("lblEndTime");
    addNavigationButtons();
    row->addWidget(m_startLabel);
    row->addWidget(m_bar, 1);
    row->addWidget(m_endLabel);
    m_previousSeries =
        addButton("btnPrevSeries", ":/images/series-prev.png", tr("Prev series (Page Up)"));
    m_nextSeries =
        addButton("btnNextSeries", ":/images/series-next.png", tr("Next series (Page Down)"));
    connect(m_previousSeries, &QToolButton::clicked, this,
            &PlaybackProgressWidget::previousSeriesRequested);
    connect(m_nextSeries, &QToolButton::clicked, this,
            &PlaybackProgressWidget::nextSeriesRequested);
    setSeriesButtons(false, false, false);
    connect(m_bar, &TimeShiftProgressBarWidget::valueChangedByUser, this,
            &PlaybackProgressWidget::setMoviePosition);

    m_refreshTimer.setInterval(refreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PlaybackProgressWidget::refresh);
    m_refreshTimer.start();
    refresh();
}

void PlaybackProgressWidget::addNavigationButtons()
{
    for (std::size_t k = 0; k < kNavigation.size(); ++k) {
        const Navigation& navigation = kNavigation[k];
        m_navigation[k] = addButton(navigation.name, navigation.icon, tr(navigation.toolTip));
        connect(m_navigation[k], &QToolButton::clicked, this, [this, slot = navigation.slot] {
            if (m_manager)
                (m_manager->*slot)();
        });
    }
}

QToolButton* PlaybackProgressWidget::addButton(const char* name, const QString& icon,
                                               const QString& toolTip)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setIcon(QIcon(icon));
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(button);
    return button;
}

void PlaybackProgressWidget::setTimeMachineManager(TimeMachineManager* manager)
{
    if (m_manager)
        disconnect(m_manager, &TimeMachineManager::updatedData, this, nullptr);
    m_manager = manager;
    if (manager) {
        connect(manager, &TimeMachineManager::updatedData, this,
                &PlaybackProgressWidget::updateInformation);
    }
    refresh();
}

void PlaybackProgressWidget::setMediaPlayer(MediaPlayer* player)
{
    m_player = player;
}

void PlaybackProgressWidget::setMovieMode(const QString& title)
{
    m_movieMode = true;
    m_movieTitle = title;
    refresh();
}

void PlaybackProgressWidget::reset()
{
    m_movieMode = false;
    m_movieTitle.clear();
    m_report.reset();
    refresh();
}

void PlaybackProgressWidget::setSeriesButtons(bool visible, bool canPrevious, bool canNext)
{
    m_previousSeries->setVisible(visible);
    m_previousSeries->setEnabled(canPrevious);
    m_nextSeries->setVisible(visible);
    m_nextSeries->setEnabled(canNext);
}

void PlaybackProgressWidget::updateInformation(bool aSetNewChannel, time_t aRealTime,
                                               time_t aTimeShiftTime, int aTimeShiftMarker)
{
    const bool showNow = aSetNewChannel || !m_report || m_report->minutes != aTimeShiftMarker;
    m_report = Report{aRealTime, aTimeShiftTime, aTimeShiftMarker};
    if (showNow)
        refresh();
}

void PlaybackProgressWidget::setMoviePosition(int second)
{
    if (m_movieMode && m_player)
        m_player->setTime(second);
}

void PlaybackProgressWidget::refresh()
{
    if (m_movieMode)
        showMovie();
    else
        showTelevision();
}

void PlaybackProgressWidget::showTelevision()
{
    const Channel* channel = m_manager ? m_manager->channel() : nullptr;
    showNavigation(channel);
    if (channel && channel->currentTelecast() && m_report)
        showTelecast(*channel, *m_report);
    else
        showEmpty(channel ? channel->name() : QString());
}

// The played section runs up to the watched moment, the second one from there
// to the present: what the offsets can still step forward through.
void PlaybackProgressWidget::showTelecast(const Channel& channel, const Report& report)
{
    const Telecast& telecast = *channel.currentTelecast();
    const int shifted = int(report.shiftedTime);
    m_bar->setRange(telecast.start(), telecast.stop());
    m_bar->setPlayedSection(telecast.start(), shifted);
    if (channel.isLive())
        m_bar->setSecondSection(0, 0);
    else
        m_bar->setSecondSection(shifted, int(std::min<qint64>(report.realTime, telecast.stop())));
    QList<int> markers;
    if (channel.hasTimeOffsets()) {
        for (const TimeOffset& offset : channel.timeOffsets()) {
            const qint64 at = report.realTime + qint64(offset.minutes) * 60;
            if (telecast.start() <= at && at < telecast.stop())
                markers << int(at);
        }
    }
    m_bar->setMarkers(markers);
    m_bar->setTitle(telecast.title());
    m_startLabel->setText(clockText(telecast.start()));
    m_endLabel->setText(clockText(telecast.stop()));
}

void PlaybackProgressWidget::showMovie()
{
    showNavigation(nullptr);
    if (!m_player) {
        showEmpty(m_movieTitle);
        return;
    }
    const PlaybackState& playback = m_player->playback();
    MoviePosition::showOn(*m_bar, playback);
    m_bar->setSecondSection(0, 0);
    m_bar->setMarkers({});
    m_bar->setTitle(m_movieTitle);
    m_startLabel->setText(MoviePosition::timeText(playback.time()));
    m_endLabel->setText(MoviePosition::timeText(playback.length()));
}

void PlaybackProgressWidget::showEmpty(const QString& title)
{
    m_bar->setRange(0, 0);
    m_bar->setPlayedSection(0, 0);
    m_bar->setSecondSection(0, 0);
    m_bar->setMarkers({});
    m_bar->setTitle(title);
    m_startLabel->setText({});
    m_endLabel->setText({});
}

// Only a channel with time offsets has them; each is usable when its command
// would move the watched moment.
void PlaybackProgressWidget::showNavigation(const Channel* channel)
{
    const bool shown = channel && channel->hasTimeOffsets() && m_manager;
    for (std::size_t k = 0; k < kNavigation.size(); ++k) {
        m_navigation[k]->setVisible(shown);
        m_navigation[k]->setEnabled(shown && m_manager->allows(kNavigation[k].command));
    }
}
