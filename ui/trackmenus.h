#pragma once

#include "trackmenu.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

// The audio-track and subtitle menus of the stream being played. While it
// plays, each kind is polled for, every second until a poll finds tracks and
// once a minute after that: a stream's tracks rarely change once known.
class TrackMenus : public QObject
{
    Q_OBJECT
public:
    explicit TrackMenus(QObject* parent = nullptr);

    TrackMenu* audioMenu() { return &m_audio.menu; }
    TrackMenu* subtitleMenu() { return &m_subtitles.menu; }

    // Polls for audio tracks, and for subtitles too when asked.
    void startPolling(bool subtitles);
    void stopPolling();
    bool isPollingAudio() const { return m_audio.timer.isActive(); }
    bool isPollingSubtitles() const { return m_subtitles.timer.isActive(); }
    int audioPollInterval() const { return m_audio.timer.interval(); }
    int subtitlePollInterval() const { return m_subtitles.timer.interval(); }

    // The next audio poll chooses a Russian or Ukrainian track, or else the
    // first one, over the player's own choice.
    void preferLanguageOnce() { m_preferLanguage = true; }

    // A poll's answer: the player's descriptions ("Track 1 - [English]") and
    // its current track. Audio track 0 switches the sound off and is not
    // offered, so entry k stands for the player's track k + 1; subtitle
    // entry k is the player's subtitle k.
    void showAudioTracks(const QStringList& tracks, int current);
    void showSubtitles(const QStringList& subtitles, int current);
    void clearAudioTracks();
    void clearSubtitles();

signals:
    void audioPollDue();
    void subtitlePollDue();
    // The player's track to play, in its own numbering.
    void audioTrackChosen(int track);
    void subtitleChosen(int index);
    // Whether there is a choice to offer.
    void audioUsable(bool usable);
    void subtitlesUsable(bool usable);

private:
    struct Kind
    {
        explicit Kind(const char* icon);
        void start();
        void noteFound(qsizetype count);

        TrackMenu menu;
        QTimer timer;
        bool found = false;
    };

    void chooseAudio(int entry);
    void chooseSubtitle(int entry);

    Kind m_audio{":/images/audio-track.png"};
    Kind m_subtitles{":/images/subtitle.png"};
    bool m_preferLanguage = false;
};
