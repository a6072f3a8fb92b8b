#pragma once

#include <QList>
#include <QString>

struct libvlc_media_player_t;

// One entry of libVLC's track description list. The list starts with the
// entry that switches the track off ("Disable", id -1).
struct Track
{
    int id = -1;
    QString name;  // as libVLC words it, "Track 1 - [Russian]"

    bool operator==(const Track& other) const { return id == other.id && name == other.name; }
};

namespace Tracks {

QList<Track> audio(libvlc_media_player_t* player);
QList<Track> subtitles(libvlc_media_player_t* player);

}  // namespace Tracks
