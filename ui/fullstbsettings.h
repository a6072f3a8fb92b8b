#pragma once

#include <QList>

#include "stb_params.pb.h"

// The player settings the window reports to the server before it closes.
namespace FullStbSettings {

struct ChannelVolume
{
    int channelId;
    int volume;
};

// The global volume and, once there is a channel list (channels not null),
// whether channels keep volumes of their own and, if they do, each one's.
proto::StbSettings build(int globalVolume, bool useGlobalVolume,
                         const QList<ChannelVolume>* channels);

}  // namespace FullStbSettings
