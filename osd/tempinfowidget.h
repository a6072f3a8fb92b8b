#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <ctime>

class Telecast;
class TimeMachineManager;
namespace Ui {
class TempInfoWidget;
}

// A short-lived banner over the video: the programme's title and how far
// into it the picture is.
class TempInfoWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int tickMs = 100;

    explicit TempInfoWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~TempInfoWidget() override;

    void setTimeMachineManager(TimeMachineManager* manager);
    // Shows the banner for the duration; nothing without a telecast or time.
    void showInfo(const Telecast* telecast, time_t time, int durationMs);
    void placeAt(int x, int y);

public slots:
    void updateInformation(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                           int aTimeShiftMarker);
    void onMainTimer();

private:
    // How far into the telecast the watched time is, with its title.
    void showProgress(const Telecast& telecast, qint64 watchedTime);
    // A full bar without a title.
    void showNoProgress();

    Ui::TempInfoWidget* m_ui;
    QPointer<TimeMachineManager> m_manager;
    QTimer m_timer;
    int m_durationMs = 0;
    int m_elapsedMs = 0;
};
