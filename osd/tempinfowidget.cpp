#include "tempinfowidget.h"

#include "channel.h"
#include "telecast.h"
#include "timemachinemanager.h"
#include "ui_tempinfowidget.h"

TempInfoWidget::TempInfoWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_ui(new Ui::TempInfoWidget)
{
    m_ui->setupUi(this);
    m_timer.setInterval(tickMs);
    connect(&m_timer, &QTimer::timeout, this, &TempInfoWidget::onMainTimer);
    hide();
}

TempInfoWidget::~TempInfoWidget()
{
    delete m_ui;
}

void TempInfoWidget::setTimeMachineManager(TimeMachineManager* manager)
{
    m_manager = manager;
    if (manager) {
        connect(manager, &TimeMachineManager::updatedData, this,
                &TempInfoWidget::updateInformation);
    }
}

void TempInfoWidget::showInfo(const Telecast* telecast, time_t time, int durationMs)
{
    if (!telecast || time <= 0)
        return;
    m_durationMs = durationMs;
    m_elapsedMs = 0;
    m_timer.start();  // restarts a running timer
    show();
    m_ui->lblProgInfo->hide();
}

void TempInfoWidget::placeAt(int x, int y)
{
    move(x, y);
}

void TempInfoWidget::updateInformation(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                                       int aTimeShiftMarker)
{
    Q_UNUSED(aSetNewChannel)
    Q_UNUSED(aRealTime)
    Q_UNUSED(aTimeShiftTime)
    Q_UNUSED(aTimeShiftMarker)
    const Channel* channel = m_manager ? m_manager->channel() : nullptr;
    const Telecast* telecast = channel ? channel->currentTelecast() : nullptr;
    if (channel && channel->hasTimeOffsets() && telecast)
        showProgress(*telecast, channel->shiftedTime());
    else
        showNoProgress();
}

void TempInfoWidget::onMainTimer()
{
    m_elapsedMs += m_timer.interval();
    if (m_elapsedMs >= m_durationMs) {
        hide();
        m_timer.stop();
    }
}

void TempInfoWidget::showProgress(const Telecast& telecast, qint64 watchedTime)
{
    m_ui->prbProg->setRange(telecast.start(), telecast.stop());
    m_ui->prbProg->setValue(int(watchedTime));
    QLabel* name = m_ui->lblProgName;
    name->setVisible(!telecast.title().isEmpty());
    name->setText(name->fontMetrics().elidedText(telecast.title(), Qt::ElideRight, name->width()));
}

void TempInfoWidget::showNoProgress()
{
    m_ui->prbProg->setRange(0, 100);
    m_ui->prbProg->setValue(100);
    m_ui->lblProgInfo->hide();
    m_ui->lblProgName->hide();
    m_ui->lblProgName->clear();
}
