#include "tracks.h"

#include "vlcptr.h"

#include <vlc/vlc.h>

namespace Tracks {

namespace {

QList<Track> takeList(libvlc_track_description_t* descriptions)
{
    const VlcPtr<libvlc_track_description_t> list(descriptions);
    QList<Track> tracks;
    for (auto* entry = list.get(); entry; entry = entry->p_next)
        tracks.append({entry->i_id, QString::fromUtf8(entry->psz_name)});
    return tracks;
}

}  // namespace

QList<Track> audio(libvlc_media_player_t* player)
{
    return player ? takeList(libvlc_audio_get_track_description(player)) : QList<Track>();
}

QList<Track> subtitles(libvlc_media_player_t* player)
{
    return player ? takeList(libvlc_video_get_spu_description(player)) : QList<Track>();
}

}  // namespace Tracks
