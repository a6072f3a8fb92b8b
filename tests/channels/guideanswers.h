#pragma once

#include "channel.pb.h"

#include <QtGlobal>

#include <string>

// Pieces of the server's channel list answer, put together by hand.
namespace GuideAnswers {

inline proto::Channel* addChannel(proto::ChannelListResponse& list, int id, const std::string& name)
{
    proto::Channel* channel = list.add_list();
    channel->set_id(id);
    channel->set_name(name);
    return channel;
}

inline void addTelecast(proto::Channel* channel, int id, qint64 start, qint64 stop,
                        const std::string& title)
{
    proto::EpgRecord* record = channel->add_epg();
    record->set_id(id);
    record->set_time_start(start);
    record->set_time_stop(stop);
    record->set_text(title);
}

inline void addTimeOffset(proto::ChannelListResponse& list, int id, int minutes)
{
    proto::TimeOffset* offset = list.add_offsets();
    offset->set_id(id);
    offset->set_offset(minutes);
}

}  // namespace GuideAnswers
