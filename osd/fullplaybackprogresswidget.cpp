#include "fullplaybackprogresswidget.h"

#include "channel.h"
#include "mediaplayer.h"
#include "timemachinemanager.h"
#include "ui_fullplaybackprogresswidget.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

FullPlaybackProgressWidget::FullPlaybackProgressWidget(QWidget* parent)
    : QWidget(parent), m_ui(new Ui::FullPlaybackProgressWidget)
{
    m_ui->setupUi(this);
}

FullPlaybackProgressWidget::~FullPlaybackProgressWidget()
{
    delete m_ui;
}

void FullPlaybackProgressWidget::setTimeMachineManager(TimeMachineManager* manager)
{
    m_manager = manager;
}

void FullPlaybackProgressWidget::setMediaPlayer(MediaPlayer* player)
{
    m_player = player;
}

void FullPlaybackProgressWidget::setMovieMode(const QString& title)
{
    m_movieMode = true;
    m_movieTitle = title;
}

void FullPlaybackProgressWidget::reset()
{
    m_movieMode = false;
}

// Until the form has them.
QToolButton* FullPlaybackProgressWidget::recordButton() const
{
    return nullptr;
}
QToolButton* FullPlaybackProgressWidget::pauseButton() const
{
    return nullptr;
}
QToolButton* FullPlaybackProgressWidget::subtitlesButton() const
{
    return nullptr;
}
QToolButton* FullPlaybackProgressWidget::audioButton() const
{
    return nullptr;
}
QLabel* FullPlaybackProgressWidget::volumeIndicator() const
{
    return nullptr;
}
QSlider* FullPlaybackProgressWidget::volumeSlider() const
{
    return nullptr;
}

void FullPlaybackProgressWidget::updateInformation(bool aSetNewChannel, time_t aRealTime,
                                                   time_t aTimeShiftTime, int aTimeShiftMarker)
{
    Q_UNUSED(aSetNewChannel)
    Q_UNUSED(aRealTime)
    Q_UNUSED(aTimeShiftTime)
    Q_UNUSED(aTimeShiftMarker)
}

void FullPlaybackProgressWidget::refresh() {}
