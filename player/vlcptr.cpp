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

void VlcRelease<libvlc_track_description_t>::operator()(libvlc_track_description_t* list) const
{
    libvlc_track_description_list_release(list);
}

void VlcRelease<char>::operator()(char* text) const
{
    libvlc_free(text);
}
