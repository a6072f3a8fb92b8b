#pragma once

class ChannelManager;
class QString;
class QWidget;

// What the record controller sees of the window it records for: the player,
// the channel list and whether live television is on screen.
class RecordControllerHost
{
public:
    virtual ChannelManager* channelManager() const = 0;
    virtual bool inIptvMode() const = 0;
    // Live television, as for a scheduled recording that switches channel.
    virtual void switchToIptvMode() = 0;
    // Parent of the questions; null while the window is hidden in the tray,
    // where a scheduled recording switches channel without asking.
    virtual QWidget* questionParent() const = 0;

    virtual bool playerPlaying() const = 0;
    virtual bool playerRecording() const = 0;
    virtual void startPlayer() = 0;
    virtual bool startRecording(const QString& path) = 0;
    virtual void stopRecording() = 0;

protected:
    ~RecordControllerHost() = default;
};
