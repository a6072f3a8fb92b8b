#include "timeshiftchannel.h"

#include "channel.h"
#include "channelmanager.h"

Channel* firstTimeshiftChannel(const ChannelManager& channels)
{
    for (int i = 0; i < channels.channelCount(); ++i) {
        Channel* channel = channels.channelAt(i);
        if (channel->hasTimeOffsets() && channel->hasProgrammeGuide())
            return channel;
    }
    return nullptr;
}
