#include "vlcptr.h"

#include <vlc/vlc.h>

void VlcRelease<libvlc_instance_t>::operator()(libvlc_instance_t* instance) const
{
    libvlc_release(instance);
}

void VlcRelease<libvlc_media_player_t>::operator()(libvlc_media_player_t* player) const
{
    libvlc_media_player_release(player);
}

void VlcRelease<libvlc_media_t>::operator()(libvlc_media_t* media) const
{
    libvlc_media_release(media);
}
