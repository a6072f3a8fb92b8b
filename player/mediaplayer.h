#pragma once

#include "deinterlacemode.h"
#include "instanceoptions.h"
#include "playbackstate.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <memory>

class PlayerHandle;
class QThread;
class StreamRecorder;
class TvlcMediaPlayer;

// The video widget. Its native window is where libVLC draws. It creates the
// TvlcMediaPlayer on a playback thread of its own and talks to it only
// through queued calls, so nothing here waits for libVLC: opening, stopping
// and every setting are carried out on the playback thread in the order they
// were asked for, and the player's signals come back as this widget's own.
// Queries (playback()), recording and the margin crop go to libVLC directly
// through the shared player handle; libVLC answers them from its own state.
class MediaPlayer : public QWidget
{
    Q_OBJECT
public:
    static constexpr int maxVolume = 200;
    static constexpr int openDelay = 200;  // milliseconds

    // The instance options come from the settings store.
    explicit MediaPlayer(QWidget* parent = nullptr);
    explicit MediaPlayer(const InstanceOptions& options, QWidget* parent = nullptr);
    ~MediaPlayer() override;

    // Opens a URL openDelay after the last call, so quick channel changes
    // open only the last channel. A volume of -1 keeps the volume in force.
    // Whatever opens something new ends a running recording first.
    void open(const QString& url, bool autoplay = true, int volume = -1);
    // Opens a local file at once.
    void openFile(const QString& path, bool autoplay = true, int volume = -1);
    void reopen();

    // Options that count from the next instance on, except GPU decoding and
    // the subtitle font, which re-create the instance at once.
    void setNetworkCaching(int milliseconds);
    void setHttpReconnect(bool on);
    void setRecordPath(const QString& folder);
    void setGPUAcceleration(bool on);
    void setSubtitleFontFile(const QString& file);
    // How long a network stream may deliver nothing before it counts as failed.
    void setStallTimeout(int milliseconds);

    void setDeinterlace(DeinterlaceMode mode);
    // The picture geometry without storing it or signalling.
    void setAspectRatioTo(const QString& value);
    void setCropValueTo(const QString& value);
    bool setMarginCrop(int left, int top, int right, int bottom);

    void setTime(int second);
    void setPosition(float position);

    // Recording into a folder or a named file. A recording ends by
    // stopRecord(), by the end of playback or of the input (stop, a new open,
    // a new instance) and with this widget. Each end emits recordStopped
    // once, except the last: a widget being destroyed emits nothing.
    bool startRecord(const QString& path);
    void stopRecord();
    bool isRecording() const;
    bool canRecord() const;
    // Puts in place, under the names they were started with, the recordings
    // into folder that a player killed while recording left unfinished;
    // returns where they went.
    static QStringList recoverAbandoned(const QString& folder);

    const PlaybackState& playback() const { return m_playback; }
    // The position of libVLC's current track in playback().audioTracks() or
    // playback().subtitles() ("Disable" is 0); -1 when nothing plays.
    int currentAudioTrack() const;
    int currentSubtitle() const;
    int volume() const { return m_volume; }
    QString versionText() const;

signals:
    void playing();
    void playingNotVout();
    void paused();
    void stopped();
    void stopByUser();
    void endPlayingOpenFile();
    void volumeChanged(int newVolume);
    void volumeMuted(bool muted);
    void playbackError(const QString& error);
    void recording();
    void recordStopped();
    void aspectRatioChanged(const QString& value);
    void cropChanged(const QString& value);
    void vlcOpen(const QString& url, bool autoplay, int volume);
    void vlcStop();
    void vlcOpenFile(const QString& file, bool autoplay, int volume);
    // A recording stopped earlier is in place, under the path it was started
    // with or, for a name taken meanwhile, the next free one.
    void recordingFinished(const QString& path);
    // A running recording had to stop because its folder disappeared or its
    // disk filled up; what was written is kept when it can be. The reason is
    // a translated sentence for the user. recordStopped comes first.
    void recordingFailed(const QString& reason);

public slots:
    void play();
    void pause();
    void togglePlay();
    void stop();
    void setVolume(int volume);
    void toggleMute();
    void setAudioTrack(int index);
    void setSubtitle(int index);
    void setAspectRatio(const QString& value);
    void setCrop(const QString& value);
    void onMousetimer();
    void onOpenUrlTimer();

protected:
    bool event(QEvent* event) override;

private:
    struct PendingOpen
    {
        QString url;
        bool autoplay = true;
        int volume = -1;
    };

    void connectEngine();
    void sendWindowHandle();
    void ensureWindow();
    template <typename... Parameters, typename... Arguments>
    void post(void (TvlcMediaPlayer::*slot)(Parameters...), Arguments... arguments);

    QThread* m_thread;
    TvlcMediaPlayer* m_engine;  // lives on m_thread
    std::shared_ptr<const PlayerHandle> m_handle;
    PlaybackState m_playback;
    StreamRecorder* m_recorder;
    QTimer m_openTimer;
    QTimer m_mouseTimer;
    PendingOpen m_pending;
    int m_volume;
};
