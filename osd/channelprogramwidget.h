#pragma once

#include <QPointer>
#include <QWidget>

#include <ctime>

class Channel;
class TimeMachineManager;
namespace Ui {
class ChannelProgramWidget;
}

// The channel being watched, on screen: its icon and name, the clock (with
// the timeshift offset when there is one) and the programmes before, at and
// after the watched moment.
class ChannelProgramWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ChannelProgramWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~ChannelProgramWidget() override;

    void setTimeMachineManager(TimeMachineManager* manager);

public slots:
    void updateInformation(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                           int aTimeShiftMarker);

private:
    // The watched time, after the timeshift marker when there is one.
    static QString timeLine(time_t time, int marker);

    Ui::ChannelProgramWidget* m_ui;
    QPointer<TimeMachineManager> m_manager;
    QPointer<const Channel> m_iconChannel;
};
