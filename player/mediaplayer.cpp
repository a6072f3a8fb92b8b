#include "mediaplayer.h"

#include "playerhandle.h"
#include "streamrecorder.h"
#include "tracks.h"
#include "tvlcmediaplayer.h"
#include "videoplatform.h"
#include "vlcinternals.h"

#include <QDebug>
#include <QEvent>
#include <QThread>

#include <vlc/vlc.h>

#ifdef Q_OS_WIN
#include <windows.h>

namespace {

BOOL CALLBACK disableWindow(HWND window, LPARAM)
{
    EnableWindow(window, FALSE);
    return TRUE;
}

}  // namespace
#endif

namespace {

constexpr int mouseInterval = 50;

static_assert(MediaPlayer::maxVolume == TvlcMediaPlayer::maxVolume);

int indexOfTrack(const QList<Track>& tracks, int id)
{
    for (int i = 0; i < tracks.size(); ++i) {
        if (tracks.at(i).id == id)
            return i;
    }
    return -1;
}

}  // namespace

MediaPlayer::MediaPlayer(QWidget* parent) : MediaPlayer(InstanceOptions::fromSettings(), parent) {}

MediaPlayer::MediaPlayer(const InstanceOptions& options, QWidget* parent)
    : QWidget(parent),
      m_thread(new QThread(this)),
      m_engine(new TvlcMediaPlayer(options)),
      m_handle(m_engine->handle()),
      m_playback(m_handle),
      m_recorder(new StreamRecorder(m_handle, this)),
      m_openTimer(this),
      m_mouseTimer(this),
      m_volume(TvlcMediaPlayer::initialVolume)
{
    // libVLC draws into a window of the system; headless there is none.
    if (!VideoPlatform::isHeadless()) {
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_DontCreateNativeAncestors);
    }

    m_openTimer.setSingleShot(true);
    m_openTimer.setInterval(openDelay);
    m_openTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_openTimer, &QTimer::timeout, this, &MediaPlayer::onOpenUrlTimer);

    // On Windows libVLC's video window takes the pointer; elsewhere libVLC is
    // told to leave mouse and keys alone (see TvlcMediaPlayer).
    m_mouseTimer.setInterval(mouseInterval);
    connect(&m_mouseTimer, &QTimer::timeout, this, &MediaPlayer::onMousetimer);
#ifdef Q_OS_WIN
    m_mouseTimer.start();
#endif

    connectEngine();
    m_engine->moveToThread(m_thread);
    connect(m_thread, &QThread::finished, m_engine, &QObject::deleteLater);
    m_thread->start(QThread::InheritPriority);
}

// The receivers of a dying widget, its window's actions among them, may be
// half destroyed already: it tells nobody. The recording still ends; the
// engine goes with its thread, and its libVLC player with it, which closes the
// file; then the recorder, a child, puts the file in place.
MediaPlayer::~MediaPlayer()
{
    blockSignals(true);
    stopRecord();
    m_thread->quit();
    m_thread->wait();
}

void MediaPlayer::connectEngine()
{
    connect(m_engine, &TvlcMediaPlayer::playing, this, &MediaPlayer::playing);
    connect(m_engine, &TvlcMediaPlayer::playingNotVout, this, &MediaPlayer::playingNotVout);
    connect(m_engine, &TvlcMediaPlayer::paused, this, &MediaPlayer::paused);
    connect(m_engine, &TvlcMediaPlayer::stopped, this, &MediaPlayer::stopped);
    connect(m_engine, &TvlcMediaPlayer::endPlayingOpenFile, this, &MediaPlayer::endPlayingOpenFile);
    connect(m_engine, &TvlcMediaPlayer::volumeChanged, this, &MediaPlayer::volumeChanged);
    connect(m_engine, &TvlcMediaPlayer::volumeMuted, this, &MediaPlayer::volumeMuted);
    connect(m_engine, &TvlcMediaPlayer::playbackError, this, &MediaPlayer::playbackError);
    connect(m_recorder, &StreamRecorder::recording, this, &MediaPlayer::recording);
    connect(m_recorder, &StreamRecorder::recordStopped, this, &MediaPlayer::recordStopped);
    connect(m_recorder, &StreamRecorder::recordingFinished, this, &MediaPlayer::recordingFinished);
    connect(m_recorder, &StreamRecorder::recordingFailed, this, &MediaPlayer::recordingFailed);
    connect(m_engine, &TvlcMediaPlayer::aspectRatioChanged, this, &MediaPlayer::aspectRatioChanged);
    connect(m_engine, &TvlcMediaPlayer::cropChanged, this, &MediaPlayer::cropChanged);

    connect(this, &MediaPlayer::vlcOpen, m_engine, &TvlcMediaPlayer::onOpen);
    connect(this, &MediaPlayer::vlcStop, m_engine, &TvlcMediaPlayer::onStop);
    connect(this, &MediaPlayer::vlcOpenFile, m_engine, &TvlcMediaPlayer::onOpenFile);

    connect(this, &MediaPlayer::volumeChanged, this, [this](int volume) { m_volume = volume; });
    connect(this, &MediaPlayer::stopped, m_recorder, &StreamRecorder::onInputEnded);
    connect(m_engine, &TvlcMediaPlayer::instanceReplaced, m_recorder,
            &StreamRecorder::onInputEnded);
}

// Runs a slot of the player on the playback thread.
template <typename... Parameters, typename... Arguments>
void MediaPlayer::post(void (TvlcMediaPlayer::*slot)(Parameters...), Arguments... arguments)
{
    QMetaObject::invokeMethod(
        m_engine, [engine = m_engine, slot, arguments...] { (engine->*slot)(arguments...); },
        Qt::QueuedConnection);
}

bool MediaPlayer::event(QEvent* event)
{
    if (event->type() == QEvent::WinIdChange)
        sendWindowHandle();
    return QWidget::event(event);
}

void MediaPlayer::sendWindowHandle()
{
    if (testAttribute(Qt::WA_NativeWindow) && internalWinId())
        post(&TvlcMediaPlayer::onSetPlayerWin, internalWinId());
}

// The native window exists once the widget is shown; an open before that
// creates it, so that libVLC does not open a window of its own.
void MediaPlayer::ensureWindow()
{
    if (testAttribute(Qt::WA_NativeWindow) && !internalWinId())
        winId();
}

// Opening

void MediaPlayer::open(const QString& url, bool autoplay, int volume)
{
    ensureWindow();
    m_pending = {url, autoplay, volume};
    m_openTimer.start();
}

void MediaPlayer::onOpenUrlTimer()
{
    stopRecord();
    emit vlcOpen(m_pending.url, m_pending.autoplay, m_pending.volume);
}

void MediaPlayer::openFile(const QString& path, bool autoplay, int volume)
{
    ensureWindow();
    m_openTimer.stop();
    stopRecord();
    emit vlcOpenFile(path, autoplay, volume);
}

void MediaPlayer::reopen()
{
    stopRecord();
    post(&TvlcMediaPlayer::onReopenCurrentlyPlayingMedia);
}

// Playback control

void MediaPlayer::play()
{
    post(&TvlcMediaPlayer::onPlay);
}

void MediaPlayer::pause()
{
    post(&TvlcMediaPlayer::onPause);
}

void MediaPlayer::togglePlay()
{
    post(&TvlcMediaPlayer::onTogglePlay);
}

// A pending open is dropped; the stop is queued behind opens already sent.
void MediaPlayer::stop()
{
    m_openTimer.stop();
    stopRecord();
    // Said here, before any later open() is asked: the playback thread's
    // stop may end after that open has been sent.
    emit stopByUser();
    emit vlcStop();
}

void MediaPlayer::setTime(int second)
{
    post(&TvlcMediaPlayer::onSetTime, second);
}

void MediaPlayer::setPosition(float position)
{
    post(&TvlcMediaPlayer::onSetPosition, position);
}

// Volume and tracks

void MediaPlayer::setVolume(int volume)
{
    m_volume = qBound(0, volume, maxVolume);
    post(&TvlcMediaPlayer::onSetVolume, volume);
}

void MediaPlayer::toggleMute()
{
    post(&TvlcMediaPlayer::onToggleMute);
}

void MediaPlayer::setAudioTrack(int index)
{
    post(&TvlcMediaPlayer::onSetAudioTrack, index);
}

void MediaPlayer::setSubtitle(int index)
{
    post(&TvlcMediaPlayer::onSetSubtitle, index);
}

// Picture

void MediaPlayer::setAspectRatio(const QString& value)
{
    post(&TvlcMediaPlayer::onSetAspectRatio, value);
}

void MediaPlayer::setCrop(const QString& value)
{
    post(&TvlcMediaPlayer::onSetCrop, value);
}

void MediaPlayer::setAspectRatioTo(const QString& value)
{
    post(&TvlcMediaPlayer::onSetAspectRatioTo, value);
}

void MediaPlayer::setCropValueTo(const QString& value)
{
    post(&TvlcMediaPlayer::onSetCropValueTo, value);
}

void MediaPlayer::setDeinterlace(DeinterlaceMode mode)
{
    post(&TvlcMediaPlayer::onSetDeinterlace, mode);
}

bool MediaPlayer::setMarginCrop(int left, int top, int right, int bottom)
{
    const PlayerHandle::Held player = m_handle->hold();
    if (VlcInternals::setCropMargins(player.get(), left, top, right, bottom))
        return true;
    qDebug("[%s] no VOUT found", "MediaPlayer::setMarginCrop");
    return false;
}

int MediaPlayer::currentAudioTrack() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player ? indexOfTrack(Tracks::audio(player.get()), libvlc_audio_get_track(player.get()))
                  : -1;
}

int MediaPlayer::currentSubtitle() const
{
    const PlayerHandle::Held player = m_handle->hold();
    return player
               ? indexOfTrack(Tracks::subtitles(player.get()), libvlc_video_get_spu(player.get()))
               : -1;
}

void MediaPlayer::onMousetimer()
{
#ifdef Q_OS_WIN
    // Until it is shown or opens a stream the widget has no window of its
    // own, and the children of handle 0 are every top-level window of the
    // desktop.
    if (const WId window = internalWinId())
        EnumChildWindows(reinterpret_cast<HWND>(window), disableWindow, 0);
#endif
}

// Options

void MediaPlayer::setNetworkCaching(int milliseconds)
{
    post(&TvlcMediaPlayer::onSetNetworkCaching, milliseconds);
}

void MediaPlayer::setHttpReconnect(bool on)
{
    post(&TvlcMediaPlayer::onSetHttpReconnect, on);
}

void MediaPlayer::setRecordPath(const QString& folder)
{
    post(&TvlcMediaPlayer::onSetRecordPath, folder);
}

void MediaPlayer::setGPUAcceleration(bool on)
{
    post(&TvlcMediaPlayer::onSetGPUAcceleration, on);
}

void MediaPlayer::setSubtitleFontFile(const QString& file)
{
    post(&TvlcMediaPlayer::onSetSubFontFile, file);
}

void MediaPlayer::setStallTimeout(int milliseconds)
{
    post(&TvlcMediaPlayer::onSetStallTimeout, milliseconds);
}

// Recording

bool MediaPlayer::startRecord(const QString& path)
{
    return m_recorder->start(path);
}

void MediaPlayer::stopRecord()
{
    m_recorder->stop();
}

bool MediaPlayer::isRecording() const
{
    return m_recorder->isRecording();
}

bool MediaPlayer::canRecord() const
{
    return m_recorder->canRecord();
}

QStringList MediaPlayer::recoverAbandoned(const QString& folder)
{
    return StreamRecorder::recoverAbandoned(folder);
}

QString MediaPlayer::versionText() const
{
    return TvlcMediaPlayer::versionText();
}
