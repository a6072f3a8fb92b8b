#include "playeractions.h"

#include "channelmanager.h"
#include "mediaplayer.h"
#include "movielinks.h"
#include "settings.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

// ---- PlayerAction ----------------------------------------------------------

PlayerAction::PlayerAction(MainWindow* window) : QAction(window), m_window(window)
{
    connect(this, &QAction::triggered, this, &PlayerAction::execute);
}

void PlayerAction::execute()
{
    updateState();
}

void PlayerAction::updateState()
{
    for (QObject* object : associatedObjects()) {
        if (auto* widget = qobject_cast<QWidget*>(object))
            widget->setVisible(isVisible());
    }
    m_window->updateSeparators();
}

MediaPlayer* PlayerAction::player() const
{
    return m_window->getMediaPlayer();
}

bool PlayerAction::playerIdle() const
{
    return player()->playback().isStopped();
}

bool PlayerAction::playerPlaying() const
{
    return player()->playback().isPlaying();
}

void PlayerAction::setAvailable(bool available)
{
    setVisible(available);
    setEnabled(available);
}

void PlayerAction::setLook(const QIcon& icon, const QString& text)
{
    setIcon(icon);
    setText(text);
    setToolTip(text);
}

void PlayerAction::togglePage(MainWindow::Page page)
{
    if (m_window->currentPage() != page)
        m_window->showPage(page);
    else
        m_window->showPage(playerPlaying() ? MainWindow::VideoPage : MainWindow::LogoPage);
}

std::shared_ptr<const SharedIcons> SharedIcons::get(std::weak_ptr<const SharedIcons>& cache,
                                                    const char* first, const char* second)
{
    std::shared_ptr<const SharedIcons> icons = cache.lock();
    if (!icons) {
        icons = std::make_shared<const SharedIcons>(
            SharedIcons{QIcon(QString::fromLatin1(first)), QIcon(QString::fromLatin1(second))});
        cache = icons;
    }
    return icons;
}

// ---- VideoOrPortalAction ---------------------------------------------------

namespace {
std::weak_ptr<const SharedIcons> videoOrPortalIcons;
std::weak_ptr<const SharedIcons> pauseOrPlayIcons;
}  // namespace

VideoOrPortalAction::VideoOrPortalAction(MainWindow* window)
    : PlayerAction(window),
      m_icons(
          SharedIcons::get(videoOrPortalIcons, ":/images/go-previous.png", ":/images/go-next.png"))
{
    connect(window, &MainWindow::modeChanged, this, &VideoOrPortalAction::updateState);
    connect(window, &MainWindow::switchedToVideo, this, &VideoOrPortalAction::updateState);
    connect(player(), &MediaPlayer::stopped, this, &VideoOrPortalAction::updateState);
}

void VideoOrPortalAction::execute()
{
    if (inMode(MainWindow::MediaPortalMode) && !playerIdle()) {
        if (window()->currentPage() == MainWindow::VideoPage) {
            window()->showPage(MainWindow::PortalPage);
            if (playerPlaying()) {
                player()->pause();
                m_pausedByMe = true;
            }
        } else {
            window()->showPage(MainWindow::VideoPage);
            if (std::exchange(m_pausedByMe, false))
                player()->play();
        }
        window()->setupVideoDependentButtons();
    }
    PlayerAction::execute();
}

void VideoOrPortalAction::updateState()
{
    setAvailable(inMode(MainWindow::MediaPortalMode) && !playerIdle());
    if (window()->currentPage() == MainWindow::VideoPage)
        setLook(m_icons->first, tr("Switch back to portal"));
    else
        setLook(m_icons->second, tr("Switch to movie"));
    PlayerAction::updateState();
}

// ---- StopVideoAction -------------------------------------------------------

StopVideoAction::StopVideoAction(MainWindow* window) : PlayerAction(window)
{
    setLook(QIcon(QStringLiteral(":/images/media-playback-stop.png")), tr("Stop playback"));
    connect(window, &MainWindow::modeChanged, this, &StopVideoAction::updateState);
    connect(window, &MainWindow::switchedToVideo, this, &StopVideoAction::updateState);
    connect(player(), &MediaPlayer::stopped, this, &StopVideoAction::updateState);
}

bool StopVideoAction::canStop() const
{
    const bool movieMode =
        inMode(MainWindow::MediaPortalMode) || inMode(MainWindow::RecordViewMode);
    return movieMode && !playerIdle();
}

void StopVideoAction::execute()
{
    if (canStop()) {
        player()->stop();
        window()->setupVideoDependentButtons();
    }
    PlayerAction::execute();
}

void StopVideoAction::updateState()
{
    setAvailable(canStop());
    PlayerAction::updateState();
}

// ---- ShowTvProgramAction ---------------------------------------------------

ShowTvProgramAction::ShowTvProgramAction(MainWindow* window) : PlayerAction(window)
{
    setCheckable(true);
    setIcon(QIcon(QStringLiteral(":/images/show-tv-program.png")));
    connect(window, &MainWindow::modeChanged, this, &ShowTvProgramAction::updateState);
    connect(window->pageStack(), &QStackedWidget::currentChanged, this,
            &ShowTvProgramAction::updateState);
}

void ShowTvProgramAction::execute()
{
    if (inMode(MainWindow::IptvMode))
        togglePage(MainWindow::TvProgramPage);
    PlayerAction::execute();
}

void ShowTvProgramAction::updateState()
{
    setAvailable(inMode(MainWindow::IptvMode));
    const bool guideShown = window()->currentPage() == MainWindow::TvProgramPage;
    setLook(icon(), guideShown ? tr("Hide TV program (F3, t)") : tr("Show TV program (F3, t)"));
    {
        const QSignalBlocker blocker(this);
        setChecked(guideShown);
    }
    PlayerAction::updateState();
}

// ---- PauseOrPlayAction -----------------------------------------------------

PauseOrPlayAction::PauseOrPlayAction(MainWindow* window)
    : PlayerAction(window),
      m_icons(SharedIcons::get(pauseOrPlayIcons, ":/images/media-playback-pause.png",
                               ":/images/media-playback-start.png"))
{
    for (auto signal : {&MediaPlayer::paused, &MediaPlayer::stopped, &MediaPlayer::playingNotVout})
        connect(player(), signal, this, &PauseOrPlayAction::changeState);
    connect(window, &MainWindow::modeChanged, this, &PauseOrPlayAction::resetState);
    connect(window, &MainWindow::defaultMovieChanged, this, &PauseOrPlayAction::resetState);
}

PauseOrPlayAction::PortalState PauseOrPlayAction::initialState() const
{
    return window()->defaultMovieTitle().isEmpty() ? NoMovie : MovieKnown;
}

void PauseOrPlayAction::resetState()
{
    m_state = initialState();
    updateState();
}

void PauseOrPlayAction::changeState()
{
    if (inMode(MainWindow::MediaPortalMode)) {
        const bool idle = playerIdle();
        switch (m_state) {
            case NoMovie:
                m_state = !idle ? MovieLoaded : initialState();
                break;
            case MovieKnown:
                if (!idle)
                    m_state = MovieLoaded;
                break;
            case MovieStarting:
                if (playerPlaying())
                    m_state = MovieLoaded;
                break;
            case MovieLoaded:
                if (idle)
                    m_state = initialState();
                break;
        }
    }
    updateState();
}

void PauseOrPlayAction::followPlayback(bool withIcon)
{
    const bool playing = playerPlaying();
    const QString text = playing ? tr("Pause (Space)") : tr("Play (Space)");
    setText(text);
    setToolTip(text);
    if (withIcon)
        setIcon(playing ? m_icons->first : m_icons->second);
}

void PauseOrPlayAction::updateState()
{
    if (!inMode(MainWindow::MediaPortalMode)) {
        setEnabled(true);
        setVisible(!playerIdle());
        followPlayback(true);
    } else {
        setVisible(true);
        if (m_state == MovieLoaded) {
            setEnabled(true);
            followPlayback(!playerIdle());
        } else {
            setEnabled(m_state == MovieKnown);
            setLook(m_icons->second, tr("Play (Space)"));
        }
    }
    PlayerAction::updateState();
}

void PauseOrPlayAction::execute()
{
    if (m_state == MovieKnown && inMode(MainWindow::MediaPortalMode)) {
        m_state = MovieStarting;
        window()->playFtpMovie(window()->defaultMovieUrl(), 0);
    } else if (!playerIdle()) {
        player()->togglePlay();
    }
    PlayerAction::execute();
}

// ---- RecordAction ----------------------------------------------------------

RecordAction::RecordAction(MainWindow* window) : PlayerAction(window)
{
    setCheckable(true);
    const QString text = tr("Start/Stop Recording");
    setText(text);
    setToolTip(text);
    for (auto signal : {&MediaPlayer::recording, &MediaPlayer::recordStopped, &MediaPlayer::stopped,
                        &MediaPlayer::playing})
        connect(player(), signal, this, &RecordAction::updateState);
}

void RecordAction::execute()
{
    if (player()->isRecording())
        player()->stopRecord();
    else
        startRecording();
    PlayerAction::execute();
}

void RecordAction::startRecording()
{
    const ChannelManager* channels = window()->channelManager();
    if (!inMode(MainWindow::IptvMode) || !channels || !channels->currentChannel()) {
        qDebug(
            "[RecordAction::execute] !!! Trying to toggle recording in mode different from "
            "IPTV, or channel manager is 0, or current channel is 0 !!!");
        return;
    }
    const QDir folder(Settings::instance()->recordSaveFolder());
    folder.mkpath(QStringLiteral("."));
    Settings::instance()->setRecordSaveFolder(folder.absolutePath());
    player()->startRecord(folder.absolutePath());
}

void RecordAction::updateState()
{
    const bool recording = player()->isRecording();
    setVisible(inMode(MainWindow::IptvMode) && playerPlaying());
    setEnabled(player()->canRecord());
    setChecked(recording);
    setIcon(QIcon(recording ? QStringLiteral(":/images/stop-record.png")
                            : QStringLiteral(":/images/record.png")));
    PlayerAction::updateState();
}

// ---- ScheduledRecordListAction ---------------------------------------------

ScheduledRecordListAction::ScheduledRecordListAction(MainWindow* window) : PlayerAction(window)
{
    setCheckable(true);
    setLook(QIcon(QStringLiteral(":/images/scheduled-record-list.png")),
            tr("Show/hide scheduled recordings"));
    connect(window->pageStack(), &QStackedWidget::currentChanged, this,
            &ScheduledRecordListAction::updateState);
}

void ScheduledRecordListAction::execute()
{
    if (inMode(MainWindow::IptvMode))
        togglePage(MainWindow::ScheduledRecordsPage);
    else
        qDebug(
            "[ScheduledRecordListAction::execute] !!! trying to call in mode, different from "
            "IPTV !!!");
    PlayerAction::execute();
}

void ScheduledRecordListAction::updateState()
{
    setAvailable(inMode(MainWindow::IptvMode));
    setChecked(window()->currentPage() == MainWindow::ScheduledRecordsPage);
    PlayerAction::updateState();
}

// ---- FtpLinkListAction -----------------------------------------------------

FtpLinkListAction::FtpLinkListAction(MainWindow* window)
    : PlayerAction(window), m_menu(std::make_unique<QMenu>())
{
    setIcon(QIcon(QStringLiteral(":/images/links.png")));
    setText(tr("Links"));
    setToolTip(tr("Links"));
    connect(window, &MainWindow::portalTitleChanged, this, &FtpLinkListAction::updateMenu);
    connect(window, &MainWindow::modeChanged, this, &FtpLinkListAction::updateState);
}

FtpLinkListAction::~FtpLinkListAction() = default;

void FtpLinkListAction::updateState()
{
    // Hidden, so QAction keeps it disabled whatever it is told; its menu is
    // what counts.
    setVisible(false);
    const bool hasLinks = inMode(MainWindow::MediaPortalMode) && m_linkCount > 0;
    setEnabled(hasLinks);
    for (QObject* object : associatedObjects()) {
        if (auto* button = qobject_cast<QToolButton*>(object))
            button->setMenu(hasLinks ? m_menu.get() : nullptr);
    }
    PlayerAction::updateState();
}

void FtpLinkListAction::updateMenu()
{
    m_menu->clear();
    m_linkCount = 0;
    // The page answers later; the window may be gone by then.
    window()->requestPortalHtml([self = QPointer<FtpLinkListAction>(this)](const QString& html) {
        if (self)
            self->fillMenu(html);
    });
}

void FtpLinkListAction::fillMenu(const QString& html)
{
    m_menu->clear();
    m_linkCount = 0;
    for (const QString& link : MovieLinks::filmLinks(html)) {
        m_menu->addAction(MovieLinks::toPlayableUrl(link), this, &FtpLinkListAction::copyLink);
        ++m_linkCount;
    }
    updateState();
}

void FtpLinkListAction::copyLink()
{
    if (auto* entry = qobject_cast<QAction*>(sender()))
        QGuiApplication::clipboard()->setText(QUrl(entry->text()).toString());
}
