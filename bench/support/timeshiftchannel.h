#pragma once

class Channel;
class ChannelManager;

// The first channel of the list with time offsets and a programme guide;
// null when there is none.
Channel* firstTimeshiftChannel(const ChannelManager& channels);
