#include "fullplaybackprogresswidget.h"

#include "channel.h"
#include "clocktext.h"
#include "mediaplayer.h"
#include "movieposition.h"
#include "serverclock.h"
#include "telecast.h"
#include "timemachinemanager.h"
#include "ui_fullplaybackprogresswidget.h"

FullPlaybackProgressWidget::FullPlaybackProgressWidget(QWidget* parent)
    : QWidget(parent), m_ui(new Ui::FullPlaybackProgressWidget)
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);  // the form's dark background
    m_ui->prbPrevProg->setLeftCapVisible(true);
    m_ui->prbNextProg->setRightCapVisible(true);
    reset();
    m_ui->lblVolumeIndicator->setPixmap(QPixmap(QStringLiteral(":/images/volume_01.png")));
    connect(m_ui->prbCurrentProg, &TimeShiftProgressBarWidget::valueChangedByUser, this,
            &FullPlaybackProgressWidget::seekMovie);
    refresh();
}

FullPlaybackProgressWidget::~FullPlaybackProgressWidget()
{
    delete m_ui;
}

void FullPlaybackProgressWidget::setTimeMachineManager(TimeMachineManager* manager)
{
    m_manager = manager;
    if (!manager)
        return;
    connect(manager, &TimeMachineManager::updatedData, this,
            &FullPlaybackProgressWidget::updateInformation);
    connect(m_ui->btnNextProg, &QToolButton::clicked, manager,
            &TimeMachineManager::setCurrentChannelTimeShiftNext);
    connect(m_ui->btnPrevProg, &QToolButton::clicked, manager,
            &TimeMachineManager::setCurrentChannelTimeShiftPrev);
    connect(m_ui->btnReal, &QToolButton::clicked, manager,
            &TimeMachineManager::setCurrentChannelOffTimeShift);
}

void FullPlaybackProgressWidget::setMediaPlayer(MediaPlayer* player)
{
    m_player = player;
}

void FullPlaybackProgressWidget::setMovieMode(const QString& title)
{
    m_movieMode = true;
    m_movieTitle = title;
    m_ui->lblChannelName->setText(title);
    showMoviePosition();
}

void FullPlaybackProgressWidget::reset()
{
    m_movieMode = false;
    hideStepControls();
    TimeShiftProgressBarWidget* bar = m_ui->prbCurrentProg;
    bar->setLeftCapVisible(true);
    bar->setRightCapVisible(true);
    bar->setRange(0, 100);
    bar->setSecondSection(0, 0);
    bar->setPlayedSection(0, 100);
    bar->setTitle(QString());
}

QToolButton* FullPlaybackProgressWidget::recordButton() const
{
    return m_ui->btnRecord;
}

QToolButton* FullPlaybackProgressWidget::pauseButton() const
{
    return m_ui->btnPause;
}

QToolButton* FullPlaybackProgressWidget::subtitlesButton() const
{
    return m_ui->btnSubtitles;
}

QToolButton* FullPlaybackProgressWidget::audioButton() const
{
    return m_ui->btnAudio;
}

QLabel* FullPlaybackProgressWidget::volumeIndicator() const
{
    return m_ui->lblVolumeIndicator;
}

QSlider* FullPlaybackProgressWidget::volumeSlider() const
{
    return m_ui->horizontalSlider;
}

void FullPlaybackProgressWidget::updateInformation(bool aSetNewChannel, time_t aRealTime,
                                                   time_t aTimeShiftTime, int aTimeShiftMarker)
{
    Q_UNUSED(aSetNewChannel)
    Q_UNUSED(aRealTime)
    Q_UNUSED(aTimeShiftTime)
    Q_UNUSED(aTimeShiftMarker)
    if (m_movieMode)
        return;  // the bar and the name belong to the film
    const Channel* channel = m_manager ? m_manager->channel() : nullptr;
    m_ui->lblChannelName->setText(channel ? channel->name() : QString());
    const Telecast* telecast = channel ? channel->currentTelecast() : nullptr;
    if (channel && channel->hasTimeOffsets()) {
        hideStepControls();
    } else if (telecast) {
        hideStepControls();
        showTelecast(*telecast);
    } else {
        reset();
    }
}

void FullPlaybackProgressWidget::refresh()
{
    m_ui->lblClock->setText(clockText(time_t(ServerClock::serverLocalNow())));
    if (m_movieMode)
        showMoviePosition();
}

void FullPlaybackProgressWidget::seekMovie(int second)
{
    if (m_movieMode && m_player)
        m_player->setTime(second);
}

void FullPlaybackProgressWidget::hideStepControls()
{
    const std::initializer_list<QWidget*> controls{
        m_ui->btnPrevProg, m_ui->prbPrevProg, m_ui->prbNextProg, m_ui->btnNextProg, m_ui->btnReal};
    for (QWidget* control : controls)
        control->hide();
}

void FullPlaybackProgressWidget::showTelecast(const Telecast& telecast)
{
    TimeShiftProgressBarWidget* bar = m_ui->prbCurrentProg;
    bar->setRange(telecast.start(), telecast.stop());
    bar->setSecondSection(0, 0);
    bar->setPlayedSection(telecast.start(), int(ServerClock::serverLocalNow()));
    bar->setTitle(telecast.title());
}

void FullPlaybackProgressWidget::showMoviePosition()
{
    TimeShiftProgressBarWidget* bar = m_ui->prbCurrentProg;
    if (m_player)
        MoviePosition::showOn(*bar, m_player->playback());
    bar->setTitle(movieTitle());
}

QString FullPlaybackProgressWidget::movieTitle() const
{
    const qint64 length = m_player ? m_player->playback().length() : -1;
    if (length <= 0)
        return m_movieTitle;
    return QStringLiteral("%1   %2 / %3")
        .arg(m_movieTitle, MoviePosition::timeText(m_player->playback().time()),
             MoviePosition::timeText(length));
}
