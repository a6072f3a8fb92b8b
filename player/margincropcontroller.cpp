#include "margincropcontroller.h"

#include "mediaplayer.h"

#include <QDebug>

MarginCropController::MarginCropController(QObject* parent) : QObject(parent), m_timer(this)
{
    m_timer.setInterval(retryInterval);
    connect(&m_timer, &QTimer::timeout, this, &MarginCropController::tryToSet);
}

void MarginCropController::setMediaPlayer(MediaPlayer* player)
{
    if (m_player)
        disconnect(m_player, nullptr, &m_timer, nullptr);
    m_player = player;
    if (!player)
        return;
    connect(player, &MediaPlayer::playing, &m_timer, qOverload<>(&QTimer::start));
    connect(player, &MediaPlayer::stopped, &m_timer, &QTimer::stop);
}

void MarginCropController::setMargins(int left, int top, int right, int bottom)
{
    m_left = left;
    m_top = top;
    m_right = right;
    m_bottom = bottom;
    m_done = false;
    m_timer.start();
}

void MarginCropController::reset()
{
    if (m_player && !m_player->playback().isStopped())
        apply();
    m_done = true;
    m_timer.stop();
}

void MarginCropController::tryToSet()
{
    if (m_done || !m_player || m_player->playback().isStopped())
        return;
    if (!apply()) {
        qDebug("[MarginCropController::tryToSet] Attempt failed...");
        return;
    }
    qDebug("[MarginCropController::tryToSet] Crop set");
    m_timer.stop();
}

bool MarginCropController::apply()
{
    return m_player->setMarginCrop(m_left, m_top, m_right, m_bottom);
}
