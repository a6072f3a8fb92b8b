#include "channelprogramwidget.h"

#include "channel.h"
#include "timemachinemanager.h"
#include "ui_channelprogramwidget.h"

ChannelProgramWidget::ChannelProgramWidget(QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_ui(new Ui::ChannelProgramWidget)
{
    m_ui->setupUi(this);
}

ChannelProgramWidget::~ChannelProgramWidget()
{
    delete m_ui;
}

void ChannelProgramWidget::setTimeMachineManager(TimeMachineManager* manager)
{
    m_manager = manager;
}

void ChannelProgramWidget::updateInformation(bool aSetNewChannel, time_t aRealTime,
                                             time_t aTimeShiftTime, int aTimeShiftMarker)
{
    Q_UNUSED(aSetNewChannel)
    Q_UNUSED(aRealTime)
    Q_UNUSED(aTimeShiftTime)
    Q_UNUSED(aTimeShiftMarker)
}
