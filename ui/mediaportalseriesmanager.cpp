#include "mediaportalseriesmanager.h"

#include "mediaplayer.h"

TMediaPortalSeriesManager::TMediaPortalSeriesManager(QObject* parent) : QObject(parent) {}

void TMediaPortalSeriesManager::setMediaPlayer(MediaPlayer* player)
{
    if (m_player || !player) {
        m_enabled = false;
        m_active = false;
        return;
    }
    m_player = player;
    m_enabled = true;
    stopSeriesManager();
    connect(player, &MediaPlayer::endPlayingOpenFile, this,
            &TMediaPortalSeriesManager::playNextSeries);
    connect(player, &MediaPlayer::vlcOpen, this,
            [this](const QString& url) { activateSeriesManager(url); });
    connect(player, &MediaPlayer::stopByUser, this,
            &TMediaPortalSeriesManager::deactivateSeriesManager);
}

void TMediaPortalSeriesManager::addSeries(QString aSeriesUrl)
{
    if (m_enabled && m_series.size() < maxSeries && !m_series.contains(aSeriesUrl))
        m_series.append(aSeriesUrl);
}

void TMediaPortalSeriesManager::srartSeriesManager()
{
    if (m_enabled)
        m_loaded = m_series.size() > 1;
}

void TMediaPortalSeriesManager::activateSeriesManager(QString aUrl)
{
    if (!m_enabled || !m_loaded || m_active)
        return;
    m_current = int(m_series.indexOf(aUrl));
    if (m_current >= 0) {
        m_active = true;
        return;
    }
    m_series.clear();
    m_loaded = false;
}

void TMediaPortalSeriesManager::deactivateSeriesManager()
{
    m_active = false;
}

void TMediaPortalSeriesManager::stopSeriesManager()
{
    m_active = false;
    m_series.clear();
    m_loaded = false;
    m_current = -1;
}

bool TMediaPortalSeriesManager::isLoadSerial() const
{
    return m_enabled && m_loaded;
}

int TMediaPortalSeriesManager::getSeriesNamber() const
{
    return isLoadSerial() ? m_current : -1;
}

bool TMediaPortalSeriesManager::isCanSetPrevSeries() const
{
    return isLoadSerial() && m_current > 0;
}

bool TMediaPortalSeriesManager::isCanSetNextSeries() const
{
    return isLoadSerial() && m_current != -1 && m_current < m_series.size() - 1;
}

void TMediaPortalSeriesManager::playNextSeries()
{
    playSeries(m_current + 1);
}

void TMediaPortalSeriesManager::playPrevSeries()
{
    playSeries(m_current - 1);
}

void TMediaPortalSeriesManager::playSeries(int index)
{
    if (!isLoadSerial() || !m_active)
        return;
    if (index < 0 || index >= m_series.size() || m_series[index].isEmpty()) {
        m_active = false;
        return;
    }
    m_current = index;
    emit openNewSeries(index);
    m_player->open(m_series[index], true, -1);
}
