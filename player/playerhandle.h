#pragma once

#include "vlcptr.h"

#include <QMutex>

// The current libVLC media player, shared between the playback thread, which
// creates and replaces it, and the threads that read from it. A held player
// keeps its own reference, so it stays valid while the playback thread
// replaces or releases it; the mutex is held only for the exchange.
class PlayerHandle
{
public:
    // A player with a reference of its own, released with it.
    using Held = VlcPtr<libvlc_media_player_t>;

    PlayerHandle() = default;
    PlayerHandle(const PlayerHandle&) = delete;
    PlayerHandle& operator=(const PlayerHandle&) = delete;

    // Publishes a player (or none); the handle takes a reference of its own.
    void reset(libvlc_media_player_t* player);

    // The current player, referenced for as long as the result lives.
    Held hold() const;

private:
    mutable QMutex m_mutex;
    Held m_player;
};
