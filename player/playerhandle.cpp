#include "playerhandle.h"

#include <vlc/vlc.h>

#include <utility>

namespace {

PlayerHandle::Held referenced(libvlc_media_player_t* player)
{
    if (player)
        libvlc_media_player_retain(player);
    return PlayerHandle::Held(player);
}

}  // namespace

void PlayerHandle::reset(libvlc_media_player_t* player)
{
    Held previous = referenced(player);
    QMutexLocker lock(&m_mutex);
    std::swap(m_player, previous);
    // The lock goes first: the previous player is released outside it.
}

PlayerHandle::Held PlayerHandle::hold() const
{
    QMutexLocker lock(&m_mutex);
    return referenced(m_player.get());
}
