#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <ctime>

class MediaPlayer;
class QLabel;
class QToolButton;
class TimeMachineManager;
class TimeShiftProgressBarWidget;

// The progress row under the video. Watching television it shows the
// programme being watched, how far into it the picture is and where the
// timeshift offsets fall, with the six timeshift buttons; playing a film it
// shows the film's position, and a click on the bar moves there. A series
// adds its previous and next buttons.
class PlaybackProgressWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int refreshMs = 1000;

    explicit PlaybackProgressWidget(QWidget* parent = nullptr);

    void setTimeMachineManager(TimeMachineManager* manager);
    void setMediaPlayer(MediaPlayer* player);

    // Films: the bar follows the player's position and shows the title.
    void setMovieMode(const QString& title);
    bool isMovieMode() const { return m_movieMode; }
    // Back to television, with an empty bar until the next report.
    void reset();
    // The series buttons show while a series plays; each is usable when
    // there is an episode that way.
    void setSeriesButtons(bool visible, bool canPrevious, bool canNext);

    TimeShiftProgressBarWidget* bar() const { return m_bar; }

signals:
    void previousSeriesRequested();
    void nextSeriesRequested();

public slots:
    void updateInformation(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                           int aTimeShiftMarker);
    // Seconds from the film's start.
    void setMoviePosition(int second);
    // Draws what the last report and the player say; once a second.
    void refresh();

private:
    QPointer<TimeMachineManager> m_manager;
    QPointer<MediaPlayer> m_player;
    TimeShiftProgressBarWidget* m_bar;
    QTimer m_refreshTimer;
    bool m_movieMode = false;
    QString m_movieTitle;
};
