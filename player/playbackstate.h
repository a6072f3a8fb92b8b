#pragma once

#include "streamstatistics.h"
#include "tracks.h"
#include "vlcinternals.h"

#include <QList>
#include <QString>

#include <memory>

class PlayerHandle;

// What the current libVLC player is doing. Safe from any thread: each query
// holds the player through the shared handle for its duration and only asks
// libVLC, which answers these from its own locked state.
class PlaybackState
{
public:
    using Choice = VlcInternals::Choice;

    explicit PlaybackState(std::shared_ptr<const PlayerHandle> handle);

    bool isPlaying() const;
    // Nothing plays: no player yet, or libVLC stopped, ended or failed.
    bool isStopped() const;
    static bool isStopped(libvlc_media_player_t* player);

    qint64 length() const;  // milliseconds, -1 when unknown
    qint64 time() const;    // milliseconds, -1 when unknown
    float position() const;
    bool isSeekable() const;

    // The track lists, "Disable" first.
    QList<Track> audioTracks() const;
    QList<Track> subtitles() const;

    // The geometry strings in force; empty for libVLC's default.
    QString aspectRatio() const;
    QString cropGeometry() const;

    // The choices the video output offers, as (value, translated text).
    QList<Choice> cropChoices() const;
    QList<Choice> aspectRatioChoices() const;

    StreamStatistics statistics() const;

private:
    QList<Choice> videoOutputChoices(const char* variable, const char* label,
                                     const char* operation) const;

    std::shared_ptr<const PlayerHandle> m_handle;
};
