#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <array>
#include <ctime>
#include <optional>

class Channel;
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
    // Shown at once for a new channel or a new offset, else at the next
    // refresh.
    void updateInformation(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                           int aTimeShiftMarker);
    // Seconds from the film's start.
    void setMoviePosition(int second);
    // Draws what the last report and the player say; once a second.
    void refresh();

private:
    // The timeshift manager's last word.
    struct Report
    {
        qint64 realTime = 0;
        qint64 shiftedTime = 0;
        int minutes = 0;
    };
    static constexpr int navigationCount = 6;

    void addNavigationButtons();
    QToolButton* addButton(const char* name, const QString& icon, const QString& toolTip);
    void showTelevision();
    void showTelecast(const Channel& channel, const Report& report);
    void showMovie();
    void showEmpty(const QString& title);
    void showNavigation(const Channel* channel);

    QPointer<TimeMachineManager> m_manager;
    QPointer<MediaPlayer> m_player;
    std::array<QToolButton*, navigationCount> m_navigation{};
    QLabel* m_startLabel;
    TimeShiftProgressBarWidget* m_bar;
    QLabel* m_endLabel;
    QToolButton* m_previousSeries;
    QToolButton* m_nextSeries;
    QTimer m_refreshTimer;
    std::optional<Report> m_report;
    bool m_movieMode = false;
    QString m_movieTitle;
};
