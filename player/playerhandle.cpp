#include "playerhandle.h"

#include <vlc/vlc.h>

#include <utility>

PlayerHandle::Held::Held(Held&& other) noexcept : m_player(std::exchange(other.m_player, nullptr))
{
}

PlayerHandle::Held::~Held()
{
    if (m_player)
        libvlc_media_player_release(m_player);
}

PlayerHandle::~PlayerHandle()
{
    reset(nullptr);
}

void PlayerHandle::reset(libvlc_media_player_t* player)
{
    if (player)
        libvlc_media_player_retain(player);
    libvlc_media_player_t* previous = nullptr;
    {
        QMutexLocker lock(&m_mutex);
        previous = std::exchange(m_player, player);
    }
    if (previous)
        libvlc_media_player_release(previous);
}

PlayerHandle::Held PlayerHandle::hold() const
{
    QMutexLocker lock(&m_mutex);
    if (m_player)
        libvlc_media_player_retain(m_player);
    return Held(m_player);
}
