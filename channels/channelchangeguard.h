#pragma once

class Channel;

// Asked before the current channel changes; the main window answers, which
// may refuse to abandon a running recording.
class ChannelChangeGuard
{
public:
    virtual bool allowChannelChange(Channel* from, Channel* to) = 0;

protected:
    ~ChannelChangeGuard() = default;
};
