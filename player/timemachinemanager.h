#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <ctime>
#include <optional>

class Channel;
class ChannelManager;
class QTimer;

// Timeshift of the current channel: refreshes its state twice a second,
// moves its selected time offset on the user's commands and reports the
// watched moment to the progress widgets and overlays.
class TimeMachineManager : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 500;
    // A channel re-selected within this time keeps its offset.
    static constexpr qint64 kKeepOffsetSeconds = 1800;

    // The navigation commands, as the buttons and keys name them.
    enum class Command {
        StepBack,
        StepForward,
        PreviousProgramme,
        NextProgramme,
        StartOfProgramme,
        Live
    };

    explicit TimeMachineManager(QObject* parent = nullptr);

    // Whether the command would change the moment watched, as of the last
    // refresh: what the buttons and keys offer. Back to live only needs a
    // channel; the others a channel with time offsets.
    bool allows(Command command) const;

    Channel* channel() const { return m_channel; }
    qint64 lastShiftedTime() const { return m_lastShiftedTime; }

signals:
    void updatedData(bool aSetNewChannel, time_t aRealTime, time_t aTimeShiftTime,
                     int aTimeShiftMarker);
    void openNewUrl(QString url);

public slots:
    void setNewChannel(Channel* aChannel);
    void setChannelManager(ChannelManager* manager);
    void setCurrentChannelTimeShiftPrev();
    void setCurrentChannelTimeShiftNext();
    void setCurrentChannelTimeShiftNextProgram();
    void setCurrentChannelTimeShiftPrevProgram();
    void setCurrentChannelOffTimeShift();
    void setCurrentChannelTimeShiftStartProgram();
    void onTimerCurrentTime();

private:
    // The current channel, refreshed, when it can be shifted; else null.
    Channel* refreshedShiftableChannel();
    // Carries out a command but back to live on the refreshed channel.
    void run(Command command);
    // The offset index the command selects, as of the last refresh; none
    // when a programme command finds no target.
    std::optional<int> indexAfter(Command command) const;
    int startOfProgrammeIndex() const;
    // Targets are minutes, 0 for live.
    std::optional<int> previousProgrammeTarget() const;
    std::optional<int> nextProgrammeTarget() const;
    std::optional<int> indexOfTarget(std::optional<int> minutes) const;
    void announce(bool newChannel);
    void announceSelection();

    QPointer<Channel> m_channel;
    QPointer<ChannelManager> m_channelManager;
    QTimer* m_timer;
    qint64 m_lastShiftedTime = 0;
};
