#pragma once

#include "playeractionhost.h"

#include <QAction>
#include <QIcon>

#include <memory>

class MediaPlayer;
class QMenu;

// An action behind one tool button of the main window. It decides by itself
// when it shows, is enabled or checked and what it looks like; the window
// makes it the default action of its button and calls its slots when its
// mode, page or portal movie change.
class PlayerAction : public QAction
{
    Q_OBJECT
public:
    PlayerAction(PlayerActionHost& host, QObject* parent);

public slots:
    // Does the action's work; subclasses end with the base version.
    virtual void execute();
    // Re-evaluates the action; subclasses end with the base version, which
    // shows the action's buttons exactly while the action is visible.
    virtual void updateState();

protected:
    PlayerActionHost& host() const { return m_host; }
    MediaPlayer* player() const;
    bool inMode(PlayerActionHost::Mode mode) const { return m_host.getMode() == mode; }
    bool playerIdle() const { return m_host.playerIdle(); }
    bool playerPlaying() const { return m_host.playerPlaying(); }
    void setAvailable(bool available);
    void setLook(const QIcon& icon, const QString& text);
    // Shows page, or leaves it for the video or the logo when it shows.
    void togglePage(PlayerActionHost::Page page);

private:
    PlayerActionHost& m_host;
};

// Two icons loaded once and shared by every action that uses them.
struct SharedIcons
{
    QIcon first;
    QIcon second;

    static std::shared_ptr<const SharedIcons> get(std::weak_ptr<const SharedIcons>& cache,
                                                  const char* first, const char* second);
};

// Goes from the portal to the running movie and back, pausing the movie
// while the portal shows.
class VideoOrPortalAction : public PlayerAction
{
    Q_OBJECT
public:
    VideoOrPortalAction(PlayerActionHost& host, QObject* parent);

public slots:
    void execute() override;
    void updateState() override;

private:
    std::shared_ptr<const SharedIcons> m_icons;  // back to the portal, on to the movie
    bool m_pausedByMe = false;
};

class StopVideoAction : public PlayerAction
{
    Q_OBJECT
public:
    StopVideoAction(PlayerActionHost& host, QObject* parent);

public slots:
    void execute() override;
    void updateState() override;

private:
    bool canStop() const;
};

// Shows and hides the programme guide.
class ShowTvProgramAction : public PlayerAction
{
    Q_OBJECT
public:
    ShowTvProgramAction(PlayerActionHost& host, QObject* parent);

public slots:
    void execute() override;
    void updateState() override;
};

// Pauses and resumes playback; in the portal it also starts the movie the
// portal page announced.
class PauseOrPlayAction : public PlayerAction
{
    Q_OBJECT
public:
    enum PortalState { NoMovie = 0, MovieKnown = 1, MovieStarting = 2, MovieLoaded = 3 };
    Q_ENUM(PortalState)

    PauseOrPlayAction(PlayerActionHost& host, QObject* parent);

    PortalState portalState() const { return m_state; }

public slots:
    void execute() override;
    void updateState() override;
    void resetState();
    void changeState();

private:
    PortalState initialState() const;
    void followPlayback(bool withIcon);

    std::shared_ptr<const SharedIcons> m_icons;  // pause, start
    PortalState m_state = NoMovie;
};

// Starts and stops recording the channel that plays.
class RecordAction : public PlayerAction
{
    Q_OBJECT
public:
    RecordAction(PlayerActionHost& host, QObject* parent);

public slots:
    void execute() override;
    void updateState() override;

private:
    void startRecording();
};

// Shows and hides the list of scheduled recordings.
class ScheduledRecordListAction : public PlayerAction
{
    Q_OBJECT
public:
    ScheduledRecordListAction(PlayerActionHost& host, QObject* parent);

public slots:
    void execute() override;
    void updateState() override;
};

// The film links of the portal page, as a menu that copies a link; the
// portal's own pages are the way to play them.
class FtpLinkListAction : public PlayerAction
{
    Q_OBJECT
public:
    FtpLinkListAction(PlayerActionHost& host, QObject* parent);
    ~FtpLinkListAction() override;

    QMenu* linkMenu() const { return m_menu.get(); }
    int linkCount() const { return m_linkCount; }

public slots:
    void updateState() override;
    // Lists the film links of the portal page's HTML.
    void updateMenu(const QString& html);
    // Puts the link of the triggering menu entry on the clipboard.
    void copyLink();

private:
    std::unique_ptr<QMenu> m_menu;
    int m_linkCount = 0;
};
