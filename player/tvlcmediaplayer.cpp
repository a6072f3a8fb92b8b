#include "tvlcmediaplayer.h"

#include "medialocation.h"
#include "playbackstate.h"
#include "playerhandle.h"
#include "streamwatchdog.h"
#include "tracks.h"
#include "vlcinternals.h"

#include <QDebug>

#include <vlc/vlc.h>

#include <cstdio>

namespace {

constexpr int playerEvents[] = {
    libvlc_MediaPlayerPlaying,          libvlc_MediaPlayerPaused,  libvlc_MediaPlayerEndReached,
    libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerStopped, libvlc_MediaPlayerVout,
};

void logVlcMessage(void*, int level, const libvlc_log_t*, const char* format, va_list arguments)
{
    if (level != LIBVLC_ERROR)
        return;
    char text[1024];
    va_list copy;
    va_copy(copy, arguments);
    std::vsnprintf(text, sizeof text, format, copy);
    va_end(copy);
    qDebug("        [VLCLOG] [%s]  %s", "ERR", text);
}

}  // namespace

struct TvlcMediaPlayer::TrackKind
{
    const char* operation;
    const char* switching;  // log line with the index and the track id
    QList<Track> (*list)(libvlc_media_player_t*);
    int (*select)(libvlc_media_player_t*, int);
};

TvlcMediaPlayer::TvlcMediaPlayer(const InstanceOptions& options, QObject* parent)
    : QObject(parent),
      m_options(options),
      m_handle(std::make_shared<PlayerHandle>()),
      m_watchdog(new StreamWatchdog(
          [this] { return qint64(VlcInternals::statistics(m_player.get()).inputBytesRead); }, this))
{
    Deinterlace::registerMetaType();
    connect(m_watchdog, &StreamWatchdog::stalled, this, &TvlcMediaPlayer::onStalled);
}

TvlcMediaPlayer::~TvlcMediaPlayer()
{
    releaseVlc();
}

QString TvlcMediaPlayer::versionText()
{
    return QStringLiteral("VLC %1").arg(QString::fromUtf8(libvlc_get_version()));
}

// Instance lifecycle

bool TvlcMediaPlayer::initVlc()
{
    const bool replacing = m_player != nullptr;
    releaseVlc();
    const ArgumentVector arguments(instanceArguments(m_options));
    m_instance.reset(libvlc_new(arguments.count(), arguments.data()));
    if (m_instance)
        m_player.reset(libvlc_media_player_new(m_instance.get()));
    if (!m_player || !attachEvents()) {
        qDebug("Error: vlc initialize error");
        releaseVlc();
        return false;
    }
    libvlc_log_set(m_instance.get(), logVlcMessage, nullptr);
    // Pointer and keys over the video are the widget's, not libVLC's.
    libvlc_video_set_mouse_input(m_player.get(), false);
    libvlc_video_set_key_input(m_player.get(), false);
    setDrawable();
    onSetAspectRatioTo(m_aspectRatio);
    onSetCropValueTo(m_crop);
    m_handle->reset(m_player.get());
    startNewSession();
    applyVolume();
    if (replacing)
        emit instanceReplaced();
    return true;
}

bool TvlcMediaPlayer::attachEvents()
{
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player.get());
    for (int type : playerEvents) {
        if (libvlc_event_attach(events, type, &TvlcMediaPlayer::onVlcEvent, this) != 0)
            return false;
    }
    return true;
}

void TvlcMediaPlayer::releaseVlc()
{
    m_watchdog->disarm();
    m_handle->reset(nullptr);
    if (m_player) {
        libvlc_event_manager_t* events = libvlc_media_player_event_manager(m_player.get());
        for (int type : playerEvents)
            libvlc_event_detach(events, type, &TvlcMediaPlayer::onVlcEvent, this);
        libvlc_media_player_stop(m_player.get());
        m_player.reset();
    }
    if (m_instance) {
        libvlc_log_unset(m_instance.get());
        m_instance.reset();
    }
}

// A new instance; what was playing plays on.
void TvlcMediaPlayer::recreateInstance()
{
    if (!m_player)
        return;
    const bool wasPlaying = !isStopped();
    if (initVlc() && wasPlaying && !m_media.location.isEmpty())
        open(m_media, true, -1);
}

// Opening

void TvlcMediaPlayer::onOpen(const QString& url, bool autoplay, int volume)
{
    const QString location = MediaLocation::ofUrl(url);
    open({location, location}, autoplay, volume);
}

void TvlcMediaPlayer::onOpenFile(const QString& file, bool autoplay, int volume)
{
    open({MediaLocation::ofFile(file), MediaLocation::fileUrl(file)}, autoplay, volume);
}

void TvlcMediaPlayer::open(const Media& media, bool autoplay, int volume)
{
    if (volume != -1)
        storeVolume(volume);
    m_media = media;
    m_currentUrl = media.url;
    m_options.ftpSource = media.url.startsWith(QLatin1String("ftp://"));
    if (!m_player && !initVlc())
        return;
    applyVolume();
    const VlcPtr<libvlc_media_t> vlcMedia(
        libvlc_media_new_location(m_instance.get(), media.location.toUtf8().constData()));
    if (!vlcMedia) {
        qDebug("[MediaPlayer::open] !!! cannot open %s !!!", qPrintable(media.location));
        return;
    }
    libvlc_media_player_set_media(m_player.get(), vlcMedia.get());
    startNewSession();
    m_audioTrack = -1;
    m_subtitle = -1;
    if (autoplay)
        onPlay();
}

// Events of the media opened before a new open or a stop still arrive for a
// while; the session they were sent in tells them apart.
void TvlcMediaPlayer::startNewSession()
{
    ++m_session;
    m_watchdog->disarm();
    m_waitingForPicture = false;
    m_stopReported = false;
}

// Playback control

void TvlcMediaPlayer::onPlay()
{
    if (!m_player)
        return;
    m_currentUrl = m_media.url;
    if (libvlc_media_player_play(m_player.get()) == 0 && isNetworkSource())
        m_watchdog->arm();
}

void TvlcMediaPlayer::onPause()
{
    if (m_player)
        libvlc_media_player_set_pause(m_player.get(), true);
}

void TvlcMediaPlayer::onTogglePlay()
{
    if (m_player && libvlc_media_player_get_state(m_player.get()) == libvlc_Playing)
        onPause();
    else
        onPlay();
}

void TvlcMediaPlayer::onStop()
{
    qDebug("[MediaPlayer::stop] Trying to stop playback...");
    if (m_player)
        libvlc_media_player_stop(m_player.get());
    startNewSession();
    qDebug("[MediaPlayer::stop] Playback stopped");
    m_currentUrl.clear();
    m_stopReported = true;
    emit stopped();
}

void TvlcMediaPlayer::onSetTime(int second)
{
    if (!isStopped())
        libvlc_media_player_set_time(m_player.get(), libvlc_time_t(second) * 1000);
}

void TvlcMediaPlayer::onSetPosition(float position)
{
    if (!isStopped())
        libvlc_media_player_set_position(m_player.get(), position);
}

bool TvlcMediaPlayer::isStopped() const
{
    return PlaybackState::isStopped(m_player.get());
}

bool TvlcMediaPlayer::isNetworkSource() const
{
    const QString url = m_currentUrl.toLower();
    return url.startsWith(QLatin1String("ftp://")) || url.startsWith(QLatin1String("http://")) ||
           url.startsWith(QLatin1String("udp://"));
}

// Volume

void TvlcMediaPlayer::onSetVolume(int volume)
{
    storeVolume(volume);
    applyVolume();
}

void TvlcMediaPlayer::onToggleMute()
{
    m_muted = !m_muted;
    if (m_muted) {
        m_volumeBeforeMute = m_volume;
        m_volume = 0;
    } else {
        m_volume = m_volumeBeforeMute;
    }
    applyVolume();
    emit volumeMuted(m_muted);
}

void TvlcMediaPlayer::storeVolume(int volume)
{
    m_volume = qBound(0, volume, maxVolume);
    if (m_volume != 0)
        m_muted = false;
}

// The volume announced is the one set: libVLC reads its audio output's volume
// back only once the output has taken it, and a dummy output never does.
void TvlcMediaPlayer::applyVolume()
{
    if (m_player && libvlc_audio_set_volume(m_player.get(), m_volume) == 0)
        emit volumeChanged(m_volume);
}

// Tracks

void TvlcMediaPlayer::onSetAudioTrack(int index)
{
    static const TrackKind audio = {"MediaPlayer::setAudioTrack",
                                    "Switching to audiotrack number #%d with track_id %d",
                                    Tracks::audio, libvlc_audio_set_track};
    selectTrack(audio, index, &m_audioTrack);
}

void TvlcMediaPlayer::onSetSubtitle(int index)
{
    static const TrackKind subtitles = {"MediaPlayer::setSubtitle",
                                        "Switching to subtitle #%d... id %d", Tracks::subtitles,
                                        libvlc_video_set_spu};
    selectTrack(subtitles, index, &m_subtitle);
}

// The first entry switches the track off; it is no change while no track
// has been chosen yet.
void TvlcMediaPlayer::selectTrack(const TrackKind& kind, int index, int* current)
{
    if (!m_player || index == *current || index < 0 || (index == 0 && *current == -1))
        return;
    const QList<Track> tracks = kind.list(m_player.get());
    if (index >= tracks.size()) {
        qDebug("[%s] !!! no track #%d, there are %d !!!", kind.operation, index,
               int(tracks.size()));
        return;
    }
    const int id = tracks.at(index).id;
    qDebug(kind.switching, index, id);
    if (kind.select(m_player.get(), id) == 0)
        *current = index;
}

// Picture

void TvlcMediaPlayer::onSetAspectRatio(const QString& value)
{
    m_aspectRatio = value;
    onSetAspectRatioTo(value);
    emit aspectRatioChanged(value);
}

void TvlcMediaPlayer::onSetCrop(const QString& value)
{
    m_crop = value;
    onSetCropValueTo(value);
    emit cropChanged(value);
}

void TvlcMediaPlayer::onSetAspectRatioTo(const QString& value)
{
    applyGeometry(libvlc_video_set_aspect_ratio, value);
}

void TvlcMediaPlayer::onSetCropValueTo(const QString& value)
{
    applyGeometry(libvlc_video_set_crop_geometry, value);
}

void TvlcMediaPlayer::applyGeometry(void (*set)(libvlc_media_player_t*, const char*),
                                    const QString& value)
{
    if (!m_player)
        return;
    const QByteArray geometry = value.toUtf8();
    set(m_player.get(), value.isEmpty() ? nullptr : geometry.constData());
}

void TvlcMediaPlayer::onSetDeinterlace(DeinterlaceMode mode)
{
    if (mode == m_deinterlace)
        return;
    m_deinterlace = mode;
    qDebug("Settings deinterlace to %s", qPrintable(Deinterlace::vlcName(mode)));
    if (!isStopped())
        applyDeinterlace();
}

void TvlcMediaPlayer::applyDeinterlace()
{
    const QByteArray name = Deinterlace::vlcName(m_deinterlace).toLatin1();
    const bool off = m_deinterlace == DeinterlaceMode::None;
    libvlc_video_set_deinterlace(m_player.get(), off ? nullptr : name.constData());
}

void TvlcMediaPlayer::applyPicture()
{
    onSetAspectRatioTo(m_aspectRatio);
    onSetCropValueTo(m_crop);
    applyDeinterlace();
}

void TvlcMediaPlayer::onSetPlayerWin(WId window)
{
    m_window = window;
    setDrawable();
}

void TvlcMediaPlayer::setDrawable()
{
    if (!m_player || !m_window)
        return;
#if defined(Q_OS_WIN)
    libvlc_media_player_set_hwnd(m_player.get(), reinterpret_cast<void*>(m_window));
#elif defined(Q_OS_MACOS)
    libvlc_media_player_set_nsobject(m_player.get(), reinterpret_cast<void*>(m_window));
#else
    libvlc_media_player_set_xwindow(m_player.get(), static_cast<uint32_t>(m_window));
#endif
}

// Options

void TvlcMediaPlayer::onSetGPUAcceleration(bool on)
{
    if (on == m_options.gpuDecoding)
        return;
    qDebug(on ? "Settings use GPU acceleration" : "Settings not use GPU acceleration");
    m_options.gpuDecoding = on;
    recreateInstance();
}

void TvlcMediaPlayer::onSetSubFontFile(const QString& file)
{
    if (file == m_options.subtitleFont)
        return;
    m_options.subtitleFont = file;
    recreateInstance();
}

void TvlcMediaPlayer::onReopenCurrentlyPlayingMedia()
{
    if (initVlc() && !m_currentUrl.isEmpty())
        open(m_media, true, -1);
}

void TvlcMediaPlayer::onSetNetworkCaching(int milliseconds)
{
    m_options.networkCaching = milliseconds;
}

void TvlcMediaPlayer::onSetHttpReconnect(bool on)
{
    m_options.httpReconnect = on;
}

void TvlcMediaPlayer::onSetRecordPath(const QString& folder)
{
    m_options.recordPath = folder;
}

void TvlcMediaPlayer::onSetStallTimeout(int milliseconds)
{
    m_watchdog->setTimeout(milliseconds);
}

// libVLC's events

void TvlcMediaPlayer::onVlcEvent(const libvlc_event_t* event, void* engine)
{
    qDebug("vlc_callback: ev->type = %d %s", event->type, libvlc_event_type_name(event->type));
    auto* self = static_cast<TvlcMediaPlayer*>(engine);
    const int type = event->type;
    const int session = self->m_session;
    const int videoOutputs =
        type == libvlc_MediaPlayerVout ? event->u.media_player_vout.new_count : 0;
    QMetaObject::invokeMethod(
        self,
        [self, type, session, videoOutputs] { self->handleEvent(type, session, videoOutputs); },
        Qt::QueuedConnection);
}

void TvlcMediaPlayer::handleEvent(int type, int session, int videoOutputs)
{
    if (session != m_session)
        return;
    switch (type) {
        case libvlc_MediaPlayerPlaying:
            onPlayingEvent();
            break;
        case libvlc_MediaPlayerPaused:
            m_watchdog->disarm();
            emit paused();
            break;
        case libvlc_MediaPlayerStopped:
            m_watchdog->disarm();
            reportStopped();
            break;
        case libvlc_MediaPlayerEndReached:
            onEndReached();
            break;
        case libvlc_MediaPlayerEncounteredError:
            onEncounteredError();
            break;
        case libvlc_MediaPlayerVout:
            onVideoOutputEvent(videoOutputs);
            break;
    }
}

void TvlcMediaPlayer::onPlayingEvent()
{
    setDrawable();
    m_stopReported = false;
    if (isNetworkSource())
        m_watchdog->arm();
    emit playingNotVout();
    m_waitingForPicture = true;
}

void TvlcMediaPlayer::onVideoOutputEvent(int videoOutputs)
{
    if (videoOutputs == 0 || !m_waitingForPicture)
        return;
    m_waitingForPicture = false;
    qDebug("[MediaPlayer] first picture of %s", qPrintable(m_currentUrl));
    applyPicture();
    emit playing();
}

void TvlcMediaPlayer::onEndReached()
{
    m_watchdog->disarm();
    m_waitingForPicture = false;
    emit endPlayingOpenFile();
    reportStopped();
}

// A local file that fails is left to its Stopped event; a network source
// also reports the error.
void TvlcMediaPlayer::onEncounteredError()
{
    m_watchdog->disarm();
    if (isNetworkSource())
        reportNetworkError();
}

void TvlcMediaPlayer::onStalled()
{
    qDebug("[MediaPlayer::open] !!! no data from %s for %d ms !!!", qPrintable(m_currentUrl),
           m_watchdog->timeout());
    if (m_player)
        libvlc_media_player_stop(m_player.get());
    startNewSession();
    reportNetworkError();
}

void TvlcMediaPlayer::reportNetworkError()
{
    emit playbackError(tr("Error encountered while retrieving data from FTP"));
    reportStopped();
}

// libVLC follows an error or the end with a Stopped event of its own; the
// player reports one stop.
void TvlcMediaPlayer::reportStopped()
{
    if (m_stopReported)
        return;
    m_stopReported = true;
    emit stopped();
}
