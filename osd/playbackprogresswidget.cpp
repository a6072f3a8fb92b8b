#include "playbackprogresswidget.h"

#include "channel.h"
#include "mediaplayer.h"
#include "timemachinemanager.h"
#include "timeshiftprogressbarwidget.h"

#include <QHBoxLayout>

PlaybackProgressWidget::PlaybackProgressWidget(QWidget* parent)
    : QWidget(parent), m_bar(new TimeShiftProgressBarWidget(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_bar);
    m_refreshTimer.setInterval(refreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &PlaybackProgressWidget::refresh);
    m_refreshTimer.start();
}

void PlaybackProgressWidget::setTimeMachineManager(TimeMachineManager* manager)
{
    m_manager = manager;
}

void PlaybackProgressWidget::setMediaPlayer(MediaPlayer* player)
{
    m_player = player;
}

void PlaybackProgressWidget::setMovieMode(const QString& title)
{
    m_movieMode = true;
    m_movieTitle = title;
}

void PlaybackProgressWidget::reset()
{
    m_movieMode = false;
}

void PlaybackProgressWidget::setSeriesButtons(bool visible, bool canPrevious, bool canNext)
{
    Q_UNUSED(visible)
    Q_UNUSED(canPrevious)
    Q_UNUSED(canNext)
}

void PlaybackProgressWidget::updateInformation(bool aSetNewChannel, time_t aRealTime,
                                               time_t aTimeShiftTime, int aTimeShiftMarker)
{
    Q_UNUSED(aSetNewChannel)
    Q_UNUSED(aRealTime)
    Q_UNUSED(aTimeShiftTime)
    Q_UNUSED(aTimeShiftMarker)
}

void PlaybackProgressWidget::setMoviePosition(int second)
{
    Q_UNUSED(second)
}

void PlaybackProgressWidget::refresh() {}
