#include "playeractions.h"

#include "channel.h"
#include "channelmanager.h"
#include "mediaplayer.h"
#include "movielinks.h"
#include "recordcontroller.h"
#include "recordingnames.h"
#include "serverclock.h"
#include "settings.h"
#include "telecast.h"

#include <QClipboard>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

// ---- PlayerAction ----------------------------------------------------------

PlayerAction::PlayerAction(PlayerActionHost& host, QObject* parent) : QAction(parent), m_host(host)
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
    m_host.updateSeparators();
}

MediaPlayer* PlayerAction::player() const
{
    return m_host.getMediaPlayer();
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

void PlayerAction::togglePage(PlayerActionHost::Page page)
{
    if (m_host.currentPage() != page)
        m_host.showPage(page);
    else
        m_host.showPage(playerPlaying() ? PlayerActionHost::VideoPage : PlayerActionHost::LogoPage);
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

VideoOrPortalAction::VideoOrPortalAction(PlayerActionHost& host, QObject* parent)
    : PlayerAction(host, parent),
      m_icons(
          SharedIcons::get(videoOrPortalIcons, ":/images/go-previous.png", ":/images/go-next.png"))
{
    connect(player(), &MediaPlayer::stopped, this, &VideoOrPortalAction::updateState);
}

void VideoOrPortalAction::execute()
{
    if (inMode(PlayerActionHost::MediaPortalMode) && !playerIdle()) {
        if (host().currentPage() == PlayerActionHost::VideoPage) {
            host().showPage(PlayerActionHost::PortalPage);
            if (playerPlaying()) {
                player()->pause();
                m_pausedByMe = true;
            }
        } else {
            host().showPage(PlayerActionHost::VideoPage);
            if (std::exchange(m_pausedByMe, false))
                player()->play();
        }
    }
    PlayerAction::execute();
}

void VideoOrPortalAction::updateState()
{
    setAvailable(inMode(PlayerActionHost::MediaPortalMode) && !playerIdle());
    if (host().currentPage() == PlayerActionHost::VideoPage)
        setLook(m_icons->first, tr("Switch back to portal"));
    else
        setLook(m_icons->second, tr("Switch to movie"));
    PlayerAction::updateState();
}

// ---- StopVideoAction -------------------------------------------------------

StopVideoAction::StopVideoAction(PlayerActionHost& host, QObject* parent)
    : PlayerAction(host, parent)
{
    setLook(QIcon(QStringLiteral(":/images/media-playback-stop.png")), tr("Stop playback"));
    connect(player(), &MediaPlayer::stopped, this, &StopVideoAction::updateState);
}

bool StopVideoAction::canStop() const
{
    const bool movieMode =
        inMode(PlayerActionHost::MediaPortalMode) || inMode(PlayerActionHost::RecordViewMode);
    return movieMode && !playerIdle();
}

void StopVideoAction::execute()
{
    if (canStop())
        player()->stop();
    PlayerAction::execute();
}

void StopVideoAction::updateState()
{
    setAvailable(canStop());
    PlayerAction::updateState();
}

// ---- ShowTvProgramAction ---------------------------------------------------

ShowTvProgramAction::ShowTvProgramAction(PlayerActionHost& host, QObject* parent)
    : PlayerAction(host, parent)
{
    setCheckable(true);
    setIcon(QIcon(QStringLiteral(":/images/show-tv-program.png")));
}

void ShowTvProgramAction::execute()
{
    if (inMode(PlayerActionHost::IptvMode))
        togglePage(PlayerActionHost::TvProgramPage);
    PlayerAction::execute();
}

void ShowTvProgramAction::updateState()
{
    setAvailable(inMode(PlayerActionHost::IptvMode));
    const bool guideShown = host().currentPage() == PlayerActionHost::TvProgramPage;
    setLook(icon(), guideShown ? tr("Hide TV program (F3, t)") : tr("Show TV program (F3, t)"));
    {
        const QSignalBlocker blocker(this);
        setChecked(guideShown);
    }
    PlayerAction::updateState();
}

// ---- PauseOrPlayAction -----------------------------------------------------

PauseOrPlayAction::PauseOrPlayAction(PlayerActionHost& host, QObject* parent)
    : PlayerAction(host, parent),
      m_icons(SharedIcons::get(pauseOrPlayIcons, ":/images/media-playback-pause.png",
                               ":/images/media-playback-start.png"))
{
    for (auto signal : {&MediaPlayer::paused, &MediaPlayer::stopped, &MediaPlayer::playingNotVout})
        connect(player(), signal, this, &PauseOrPlayAction::changeState);
}

PauseOrPlayAction::PortalState PauseOrPlayAction::initialState() const
{
    return host().defaultMovieTitle().isEmpty() ? NoMovie : MovieKnown;
}

void PauseOrPlayAction::resetState()
{
    m_state = initialState();
    updateState();
}

void PauseOrPlayAction::changeState()
{
    if (inMode(PlayerActionHost::MediaPortalMode)) {
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
    if (!inMode(PlayerActionHost::MediaPortalMode)) {
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
    if (m_state == MovieKnown && inMode(PlayerActionHost::MediaPortalMode)) {
        m_state = MovieStarting;
        host().playFtpMovie(host().defaultMovieUrl(), 0);
    } else if (!playerIdle()) {
        player()->togglePlay();
    }
    PlayerAction::execute();
}

// ---- RecordAction ----------------------------------------------------------

RecordAction::RecordAction(PlayerActionHost& host, QObject* parent) : PlayerAction(host, parent)
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
    if (player()->isRecording()) {
        if (RecordController* controller = host().recordController())
            controller->stop();
    } else {
        startRecording();
    }
    PlayerAction::execute();
}

void RecordAction::startRecording()
{
    const ChannelManager* channels = host().channelManager();
    const Channel* channel = channels ? channels->currentChannel() : nullptr;
    if (!inMode(PlayerActionHost::IptvMode) || !channel) {
        qDebug(
            "[RecordAction::execute] !!! Trying to toggle recording in mode different from "
            "IPTV, or channel manager is 0, or current channel is 0 !!!");
        return;
    }
    RecordController* controller = host().recordController();
    if (!controller)
        return;
    // On air where the channel is watched: with a time offset, that is
    // earlier than now.
    const Telecast* onAir = channel->telecastAt(ServerClock::serverLocalNow() +
                                                qint64(channel->currentOffsetMinutes()) * 60);
    const QString name = RecordingNames::instant(QDateTime::currentDateTime(), channel->name(),
                                                 onAir ? onAir->title() : QString());
    const QDir folder(Settings::instance()->recordSaveFolder());
    QDir().mkpath(folder.absolutePath());
    QString path = folder.absoluteFilePath(name);
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier)
        path =
            QFileDialog::getSaveFileName(qobject_cast<QWidget*>(parent()), tr("Select Output File"),
                                         path, tr("MPEG files (*.mpg *.mpeg *.ts)"));
    if (path.isEmpty())
        return;
    Settings::instance()->setRecordSaveFolder(QFileInfo(path).absolutePath());
    controller->record(path);
}

void RecordAction::updateState()
{
    const bool recording = player()->isRecording();
    setVisible(inMode(PlayerActionHost::IptvMode) && playerPlaying());
    setEnabled(player()->canRecord());
    setChecked(recording);
    setIcon(QIcon(recording ? QStringLiteral(":/images/stop-record.png")
                            : QStringLiteral(":/images/record.png")));
    PlayerAction::updateState();
}

// ---- ScheduledRecordListAction ---------------------------------------------

ScheduledRecordListAction::ScheduledRecordListAction(PlayerActionHost& host, QObject* parent)
    : PlayerAction(host, parent)
{
    setCheckable(true);
    setLook(QIcon(QStringLiteral(":/images/scheduled-record-list.png")),
            tr("Show/hide scheduled recordings"));
}

void ScheduledRecordListAction::execute()
{
    if (inMode(PlayerActionHost::IptvMode))
        togglePage(PlayerActionHost::ScheduledRecordsPage);
    else
        qDebug(
            "[ScheduledRecordListAction::execute] !!! trying to call in mode, different from "
            "IPTV !!!");
    PlayerAction::execute();
}

void ScheduledRecordListAction::updateState()
{
    setAvailable(inMode(PlayerActionHost::IptvMode));
    setChecked(host().currentPage() == PlayerActionHost::ScheduledRecordsPage);
    PlayerAction::updateState();
}

// ---- FtpLinkListAction -----------------------------------------------------

FtpLinkListAction::FtpLinkListAction(PlayerActionHost& host, QObject* parent)
    : PlayerAction(host, parent), m_menu(std::make_unique<QMenu>())
{
    setIcon(QIcon(QStringLiteral(":/images/links.png")));
    setText(tr("Links"));
    setToolTip(tr("Links"));
}

FtpLinkListAction::~FtpLinkListAction() = default;

void FtpLinkListAction::updateState()
{
    // Hidden, so QAction keeps it disabled whatever it is told; its menu is
    // what counts.
    setVisible(false);
    const bool hasLinks = inMode(PlayerActionHost::MediaPortalMode) && m_linkCount > 0;
    setEnabled(hasLinks);
    for (QObject* object : associatedObjects()) {
        if (auto* button = qobject_cast<QToolButton*>(object))
            button->setMenu(hasLinks ? m_menu.get() : nullptr);
    }
    PlayerAction::updateState();
}

void FtpLinkListAction::updateMenu(const QString& html)
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
