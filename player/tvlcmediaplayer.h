#pragma once

#include "deinterlacemode.h"
#include "instanceoptions.h"
#include "vlcptr.h"

#include <qwindowdefs.h>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

class PlayerHandle;
class StreamWatchdog;
struct libvlc_event_t;

// The libVLC instance and media player. It lives on the playback thread: its
// slots are reached through queued calls and it answers with its signals.
// libVLC's event callback arrives on libVLC's threads and is handed over to
// the playback thread before anything else is done with it; events that still
// belong to media opened before are dropped there.
//
// The instance is created at the first open and again whenever an option
// that only counts at creation changes (GPU decoding, subtitle font).
class TvlcMediaPlayer : public QObject
{
    Q_OBJECT
public:
    static constexpr int maxVolume = 200;
    static constexpr int initialVolume = 50;

    explicit TvlcMediaPlayer(const InstanceOptions& options, QObject* parent = nullptr);
    ~TvlcMediaPlayer() override;

    // The current libVLC player, for reading from other threads.
    std::shared_ptr<const PlayerHandle> handle() const { return m_handle; }

    // "VLC " followed by libVLC's version.
    static QString versionText();

signals:
    void playing();  // the first picture is there
    void playingNotVout();
    void paused();
    void stopped();
    void endPlayingOpenFile();
    void volumeChanged(int newVolume);
    void volumeMuted(bool muted);
    void playbackError(const QString& error);
    void aspectRatioChanged(const QString& value);
    void cropChanged(const QString& value);
    // A new instance took the place of the old one, and with it went the input.
    void instanceReplaced();

public slots:
    void onSetPlayerWin(WId window);
    void onOpen(const QString& url, bool autoplay, int volume);
    void onOpenFile(const QString& file, bool autoplay, int volume);
    void onPause();
    void onTogglePlay();
    void onStop();
    void onPlay();
    void onSetVolume(int volume);
    void onToggleMute();
    void onSetAudioTrack(int index);
    void onSetSubtitle(int index);
    void onSetAspectRatio(const QString& value);
    void onSetCrop(const QString& value);
    void onSetAspectRatioTo(const QString& value);
    void onSetCropValueTo(const QString& value);
    void onSetDeinterlace(DeinterlaceMode mode);
    void onSetGPUAcceleration(bool on);
    void onReopenCurrentlyPlayingMedia();
    void onSetSubFontFile(const QString& file);
    void onSetTime(int second);
    void onSetPosition(float position);
    void onSetNetworkCaching(int milliseconds);
    void onSetHttpReconnect(bool on);
    void onSetRecordPath(const QString& folder);
    void onSetStallTimeout(int milliseconds);

private:
    // What libVLC was last given to play: the location it opens and the URL
    // the player reports (the unencoded form for files).
    struct Media
    {
        QString location;
        QString url;
    };
    struct TrackKind;

    bool initVlc();
    bool attachEvents();
    void releaseVlc();
    void recreateInstance();
    void open(const Media& media, bool autoplay, int volume);
    void startNewSession();
    bool isStopped() const;
    bool isNetworkSource() const;
    void storeVolume(int volume);
    void applyVolume();
    void applyPicture();
    void applyDeinterlace();
    void applyGeometry(void (*set)(libvlc_media_player_t*, const char*), const QString& value);
    void setDrawable();
    void selectTrack(const TrackKind& kind, int index, int* current);

    static void onVlcEvent(const libvlc_event_t* event, void* engine);
    void handleEvent(int type, int session, int videoOutputs);
    void onPlayingEvent();
    void onVideoOutputEvent(int videoOutputs);
    void onEndReached();
    void onEncounteredError();
    void onStalled();
    void reportNetworkError();
    void reportStopped();

    InstanceOptions m_options;
    std::shared_ptr<PlayerHandle> m_handle;
    StreamWatchdog* m_watchdog;
    VlcPtr<libvlc_instance_t> m_instance;  // outlives the player
    VlcPtr<libvlc_media_player_t> m_player;
    WId m_window = 0;

    Media m_media;
    QString m_currentUrl;  // cleared by a stop
    std::atomic<int> m_session{0};
    bool m_waitingForPicture = false;
    bool m_stopReported = false;

    DeinterlaceMode m_deinterlace = DeinterlaceMode::None;
    QString m_aspectRatio;
    QString m_crop;
    bool m_muted = false;
    int m_volume = initialVolume;
    int m_volumeBeforeMute = initialVolume;
    int m_audioTrack = -1;
    int m_subtitle = -1;
};
