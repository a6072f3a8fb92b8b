#pragma once

#include "ui_statisticswindow.h"

#include <QDialog>
#include <QPointer>
#include <QTimer>

class MediaPlayer;

// The running counters of the stream being played, refreshed twice a second
// while the dialog is visible and a player is set.
class StatisticsWindow : public QDialog, private Ui::StatisticsWindow
{
    Q_OBJECT
public:
    static constexpr int refreshInterval = 500;

    explicit StatisticsWindow(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    void setMediaPlayer(MediaPlayer* player);
    bool isRefreshing() const { return m_timer.isActive(); }

public slots:
    void updateStatistics();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QTimer m_timer;
    QPointer<MediaPlayer> m_player;
};
