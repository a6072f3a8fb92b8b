#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class MediaPlayer;

// The episodes of the portal page being shown, played one after another: when
// the player opens one of them the manager follows it, and when it ends the
// next one starts. A stop by the user ends the chain.
class TMediaPortalSeriesManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int maxSeries = 100;

    explicit TMediaPortalSeriesManager(QObject* parent = nullptr);

    bool isActive() const { return m_enabled && m_active; }
    int seriesCount() const { return int(m_series.size()); }

public slots:
    // Takes effect once, for the first player; any later call disables the
    // manager.
    void setMediaPlayer(MediaPlayer* player);
    void playNextSeries();
    void playPrevSeries();
    void addSeries(QString aSeriesUrl);
    // The list is complete: a series is loaded when it holds more than one URL.
    void srartSeriesManager();
    void activateSeriesManager(QString aUrl);
    void deactivateSeriesManager();
    void stopSeriesManager();
    bool isLoadSerial() const;
    int getSeriesNamber() const;
    bool isCanSetPrevSeries() const;
    bool isCanSetNextSeries() const;

signals:
    void openNewSeries(int aSeriesIndex);

private:
    void playSeries(int index);

    bool m_enabled = false;
    bool m_loaded = false;
    bool m_active = false;
    int m_current = -1;
    QPointer<MediaPlayer> m_player;
    QStringList m_series;
};
