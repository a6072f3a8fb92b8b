#include "playbackstate.h"

#include "playerhandle.h"
#include "vlcptr.h"

#include <QDebug>

#include <vlc/vlc.h>

namespace {

QString takeString(char* text)
{
    return QString::fromUtf8(VlcPtr<char>(text).get());
}

}  // namespace

PlaybackState::PlaybackState(std::shared_ptr<const PlayerHandle> handle)
    : m_handle(std::move(handle))
{
}

bool PlaybackState::isPlaying() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player && libvlc_media_player_get_state(player.get()) == libvlc_Playing;
}

bool PlaybackState::isStopped() const
{
    return isStopped(m_handle->hold().get());
}

bool PlaybackState::isStopped(libvlc_media_player_t* player)
{
    if (!player)
        return true;
    switch (libvlc_media_player_get_state(player)) {
        case libvlc_Opening:
        case libvlc_Buffering:
        case libvlc_Playing:
        case libvlc_Paused:
            return false;
        default:
            return true;
    }
}

qint64 PlaybackState::length() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player ? libvlc_media_player_get_length(player.get()) : -1;
}

bool PlaybackState::isSeekable() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player && libvlc_media_player_is_seekable(player.get());
}

qint64 PlaybackState::time() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player ? libvlc_media_player_get_time(player.get()) : -1;
}

float PlaybackState::position() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player ? libvlc_media_player_get_position(player.get()) : -1;
}

QList<Track> PlaybackState::audioTracks() const
{
    return Tracks::audio(m_handle->hold().get());
}

QList<Track> PlaybackState::subtitles() const
{
    return Tracks::subtitles(m_handle->hold().get());
}

QString PlaybackState::aspectRatio() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player ? takeString(libvlc_video_get_aspect_ratio(player.get())) : QString();
}

QString PlaybackState::cropGeometry() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player ? takeString(libvlc_video_get_crop_geometry(player.get())) : QString();
}

QList<PlaybackState::Choice> PlaybackState::cropChoices() const
{
    return videoOutputChoices("crop", "CROP", "MediaPlayer::getCropChoices");
}

QList<PlaybackState::Choice> PlaybackState::aspectRatioChoices() const
{
    return videoOutputChoices("aspect-ratio", "ASPECT-RATIO", "MediaPlayer::getAspectRatioChoices");
}

StreamStatistics PlaybackState::statistics() const
{
    return VlcInternals::statistics(m_handle->hold().get());
}

QList<PlaybackState::Choice> PlaybackState::videoOutputChoices(const char* variable,
                                                               const char* label,
                                                               const char* operation) const
{
    QList<Choice> choices;
    const PlayerHandle::Held player = m_handle->hold();
    switch (VlcInternals::videoOutputChoices(player.get(), variable, &choices)) {
        case VlcInternals::ChoiceQuery::Listed:
            break;
        case VlcInternals::ChoiceQuery::NoVideoOutput:
            qDebug("[%s] no VOUT found", operation);
            break;
        case VlcInternals::ChoiceQuery::NoChoices:
            qDebug("[%s] %s variable has no choices available", operation, label);
            break;
        case VlcInternals::ChoiceQuery::ListFailed:
            qDebug("[%s] Cannot get %s choices (VLC_VAR_GETLIST failed)", operation, label);
            break;
    }
    return choices;
}
