#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class MediaPlayer;

// Applies a margin crop once the picture is there. libVLC only takes crop
// margins from a running video output, so the controller keeps trying every
// 500 ms while the player plays until the margins are set.
class MarginCropController : public QObject
{
    Q_OBJECT
public:
    static constexpr int retryInterval = 500;

    explicit MarginCropController(QObject* parent = nullptr);

    void setMediaPlayer(MediaPlayer* player);
    void setMargins(int left, int top, int right, int bottom);
    // Applies the margins once more if the player runs and stops trying.
    void reset();

    bool isTrying() const { return m_timer.isActive(); }

private slots:
    void tryToSet();

private:
    bool apply();

    QPointer<MediaPlayer> m_player;
    QTimer m_timer;
    int m_left = 0;
    int m_top = 0;
    int m_right = 0;
    int m_bottom = 0;
    bool m_done = true;
};
