#include "statisticswindow.h"

#include "mediaplayer.h"
#include "statisticsformat.h"

StatisticsWindow::StatisticsWindow(QWidget* parent, Qt::WindowFlags flags)
    : QDialog(parent, flags), m_timer(this)
{
    setupUi(this);
    m_timer.setInterval(refreshInterval);
    connect(&m_timer, &QTimer::timeout, this, &StatisticsWindow::updateStatistics);
}

void StatisticsWindow::setMediaPlayer(MediaPlayer* player)
{
    m_player = player;
    if (m_player && isVisible())
        m_timer.start();
    else
        m_timer.stop();
}

void StatisticsWindow::showEvent(QShowEvent* event)
{
    if (m_player)
        m_timer.start();
    QDialog::showEvent(event);
}

void StatisticsWindow::hideEvent(QHideEvent* event)
{
    m_timer.stop();
    QDialog::hideEvent(event);
}

void StatisticsWindow::updateStatistics()
{
    if (!m_player)
        return;
    const StreamStatistics stats = m_player->playback().statistics();
    inputPacketsRead->setNum(stats.inputPacketsRead);
    inputBytesRead->setText(StatisticsFormat::byteSize(stats.inputBytesRead));
    inputCurrentBitrate->setText(StatisticsFormat::bitRate(stats.inputBitrate));
    demuxPacketsRead->setNum(stats.demuxPacketsRead);
    demuxBytesRead->setText(StatisticsFormat::byteSize(stats.demuxBytesRead));
    demuxCurrentBitrate->setText(StatisticsFormat::bitRate(stats.demuxBitrate));
    demuxCorrupted->setNum(stats.demuxCorrupted);
    demuxDiscontinuities->setNum(stats.demuxDiscontinuities);
    videoBlocksDecoded->setNum(stats.videoBlocksDecoded);
    videoFramesDisplayed->setNum(stats.videoPicturesDisplayed);
    videoFramesLost->setNum(stats.videoPicturesLost);
    audioBlocksDecoded->setNum(stats.audioBlocksDecoded);
    audioBuffersPlayed->setNum(stats.audioBuffersPlayed);
    audioBuffersLost->setNum(stats.audioBuffersLost);
}
