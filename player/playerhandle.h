#pragma once

#include <QMutex>

struct libvlc_media_player_t;

// The current libVLC media player, shared between the playback thread, which
// creates and replaces it, and the threads that read from it. A held player
// keeps its own reference, so it stays valid while the playback thread
// replaces or releases it; the mutex is held only for the exchange.
class PlayerHandle
{
public:
    class Held
    {
    public:
        explicit Held(libvlc_media_player_t* player = nullptr) : m_player(player) {}
        Held(Held&& other) noexcept;
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        Held& operator=(Held&&) = delete;
        ~Held();

        libvlc_media_player_t* get() const { return m_player; }
        explicit operator bool() const { return m_player != nullptr; }

    private:
        libvlc_media_player_t* m_player;
    };

    PlayerHandle() = default;
    PlayerHandle(const PlayerHandle&) = delete;
    PlayerHandle& operator=(const PlayerHandle&) = delete;
    ~PlayerHandle();

    // Publishes a player (or none); the handle takes a reference of its own.
    void reset(libvlc_media_player_t* player);

    // The current player, referenced for as long as the result lives.
    Held hold() const;

private:
    mutable QMutex m_mutex;
    libvlc_media_player_t* m_player = nullptr;
};
