#include "fullstbsettings.h"

proto::StbSettings FullStbSettings::build(int globalVolume, bool useGlobalVolume,
                                          const QList<ChannelVolume>* channels)
{
    proto::StbSettings result;
    result.set_volume(globalVolume);
    if (!channels)
        return result;
    result.mutable_channel_volume()->set_enabled(!useGlobalVolume);
    if (useGlobalVolume)
        return result;
    for (const ChannelVolume& channel : *channels) {
        proto::ChannelVolume::Record* record = result.mutable_channel_volume()->add_record();
        record->set_id_channel(channel.channelId);
        record->set_volume(channel.volume);
    }
    return result;
}
