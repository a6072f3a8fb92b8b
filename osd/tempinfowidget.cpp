#include "tempinfowidget.h"

#include "channel.h"
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
}

void TempInfoWidget::showInfo(const Telecast* telecast, time_t time, int durationMs)
{
    Q_UNUSED(telecast)
    Q_UNUSED(time)
    Q_UNUSED(durationMs)
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
}

void TempInfoWidget::onMainTimer() {}
