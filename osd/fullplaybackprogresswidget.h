#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include <ctime>

class MediaPlayer;
class QLabel;
class QSlider;
class QToolButton;
class Telecast;
class TimeMachineManager;
namespace Ui {
class FullPlaybackProgressWidget;
}

// The programme bar of the fullscreen panel: the clock, the record, pause,
// subtitle and audio buttons, the channel name, the volume and the
// programme being watched (or, for a film, the film's position).
class FullPlaybackProgressWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FullPlaybackProgressWidget(QWidget* parent = nullptr);
    ~FullPlaybackProgressWidget() override;

    void setTimeMachineManager(TimeMachineManager* manager);
    void setMediaPlayer(MediaPlayer* player);
    // Films: the bar follows the player's position and shows the title.
    void setMovieMode(const QString& title);
    bool isMovieMode() const { return m_movieMode; }
    // Back to television: the programme bar full and untitled.
    void reset();

    QToolButton* recordButton() const;
    QToolButton* pauseButton() const;
    QToolButton* subtitlesButton() const;
    QToolButton* audioButton() const;
    QLabel* volumeIndicator() const;
    QSlider* volumeSlider() const;

public slots:
    void updateInformation(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                           int aTimeShiftMarker);
    // The clock and, for a film, its position; once a second.
    void refresh();

private slots:
    // A click on the bar of a film: seconds from its start.
    void seekMovie(int second);

private:
    // The previous/next bars and the step and live buttons.
    void hideStepControls();
    void showTelecast(const Telecast& telecast);
    void showMoviePosition();
    // The title with the position and length, once the length is known.
    QString movieTitle() const;

    Ui::FullPlaybackProgressWidget* m_ui;
    QPointer<TimeMachineManager> m_manager;
    QPointer<MediaPlayer> m_player;
    bool m_movieMode = false;
    QString m_movieTitle;
};
