#include "channelprogramwidget.h"

#include "channel.h"
#include "clocktext.h"
#include "telecast.h"
#include "timemachinemanager.h"
#include "ui_channelprogramwidget.h"

namespace {

constexpr int kIconSize = 50;

void showTelecast(QLabel* time, QLabel* title, const Telecast* telecast)
{
    time->setText(telecast ? clockText(telecast->start()) : QString());
    title->setText(telecast ? telecast->title() : QString());
}

}  // namespace

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
    if (manager) {
        connect(manager, &TimeMachineManager::updatedData, this,
                &ChannelProgramWidget::updateInformation);
    }
}

void ChannelProgramWidget::updateInformation(bool aSetNewChannel, time_t aRealTime,
                                             time_t aTimeShiftTime, int aTimeShiftMarker)
{
    Q_UNUSED(aRealTime)
    const Channel* channel = m_manager ? m_manager->channel() : nullptr;
    // The icon is scaled once per channel, not at every report.
    if (channel && (aSetNewChannel || channel != m_iconChannel)) {
        m_iconChannel = channel;
        m_ui->lblIcon->setPixmap(channel->icon().scaled(kIconSize, kIconSize, Qt::IgnoreAspectRatio,
                                                        Qt::SmoothTransformation));
    }
    if (channel)
        m_ui->lblChannelName->setText(channel->name());
    showTelecast(m_ui->lblProg1Time, m_ui->lblProg1,
                 channel ? channel->previousTelecast() : nullptr);
    showTelecast(m_ui->lblProg2Time, m_ui->lblProg2,
                 channel ? channel->currentTelecast() : nullptr);
    showTelecast(m_ui->lblProg3Time, m_ui->lblProg3, channel ? channel->nextTelecast() : nullptr);
    m_ui->lblTime->setText(channel ? timeLine(aTimeShiftTime, aTimeShiftMarker) : QString());
}

QString ChannelProgramWidget::timeLine(time_t time, int marker)
{
    if (marker == 0)
        return clockText(time);
    return QStringLiteral("(%1 %2)   %3").arg(marker).arg(tr("min."), clockText(time));
}
