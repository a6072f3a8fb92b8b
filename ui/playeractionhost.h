#pragma once

#include <QString>

class ChannelManager;
class MediaPlayer;
class RecordController;

// What the player actions see of the window that holds them: its mode and
// pages, the player and the portal's movie. The window tells the actions
// about its own changes; the actions follow the player's signals themselves.
class PlayerActionHost
{
public:
    enum Mode { IptvMode = 0, MediaPortalMode = 1, RecordViewMode = 2, OllTvMode = 3 };

    // Pages of the player area.
    enum Page {
        VideoPage = 0,
        LogoPage = 1,
        StandByPage = 2,
        TvProgramPage = 3,
        PortalPage = 4,
        ScheduledRecordsPage = 5,
        RecordingsPage = 6,
        OllTvPage = 7,
    };

    virtual Mode getMode() const = 0;
    virtual int currentPage() const = 0;
    // Shows a page of the player area and the buttons that go with it.
    virtual void showPage(Page page) = 0;
    // Shows each separator of the button row only between visible groups.
    virtual void updateSeparators() = 0;

    virtual MediaPlayer* getMediaPlayer() const = 0;
    // Nothing to play: no media, or stopped, ended or failed.
    virtual bool playerIdle() const = 0;
    virtual bool playerPlaying() const = 0;
    virtual ChannelManager* channelManager() const = 0;
    // What starts and stops recordings; none in a window that cannot record.
    virtual RecordController* recordController() const { return nullptr; }

    // The movie the portal page announced last; known when it has a title.
    virtual QString defaultMovieUrl() const = 0;
    virtual QString defaultMovieTitle() const = 0;
    // Plays a portal movie from position (seconds).
    virtual void playFtpMovie(const QString& url, int position) = 0;

protected:
    ~PlayerActionHost() = default;
};
