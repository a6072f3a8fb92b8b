#pragma once

#include <QElapsedTimer>
#include <QStringList>

#include <atomic>

struct libvlc_event_t;
struct libvlc_instance_t;
struct libvlc_media_player_t;

// libVLC on its own, as the yardstick: an instance made from the same
// arguments as the player's, opening a location and timing the first picture.
class BarePlayer
{
public:
    explicit BarePlayer(const QStringList& arguments);
    ~BarePlayer();
    BarePlayer(const BarePlayer&) = delete;
    BarePlayer& operator=(const BarePlayer&) = delete;

    bool isValid() const { return m_player != nullptr; }

    // Milliseconds from play to the video output event; -1 on time-out. The
    // event loop runs meanwhile (the stream may be served from this thread).
    double openToPicture(const QString& location, int timeout);
    void stop();

private:
    static void onVideoOutput(const libvlc_event_t* event, void* self);

    libvlc_instance_t* m_instance = nullptr;
    libvlc_media_player_t* m_player = nullptr;
    QElapsedTimer m_clock;
    std::atomic<qint64> m_pictureAt{0};
};
