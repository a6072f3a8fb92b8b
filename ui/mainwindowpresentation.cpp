// The window's presentation: tray, stays-on-top, fullscreen and only-player
// presentation, the channel list toggle, the mouse cursor over fullscreen
// video, the audio-track and subtitle menus and the volume display.

#include "mainwindow.h"

#include "channel.h"
#include "channelmanager.h"
#include "settings.h"
#include "trackmenu.h"
#include "traycontroller.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QTimer>
#include <QWindow>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

constexpr int trackPollMs = 1000;
// Once a stream's tracks are known they rarely change.
constexpr int slowTrackPollMs = 60000;

Settings* settings()
{
    return Settings::instance();
}

QTimer* makePollTimer(QObject* parent, const char* name)
{
    auto* timer = new QTimer(parent);
    timer->setObjectName(QLatin1String(name));
    timer->setInterval(trackPollMs);
    return timer;
}

void startPolling(QTimer* timer, bool& firstPollDone)
{
    firstPollDone = false;
    timer->setInterval(trackPollMs);
    timer->start();
}

void notePollResult(QTimer* timer, bool& firstPollDone, qsizetype tracksFound)
{
    if (tracksFound > 0 && !std::exchange(firstPollDone, true))
        timer->setInterval(slowTrackPollMs);
}

QStringList names(const QList<Track>& tracks)
{
    QStringList result;
    for (const Track& track : tracks)
        result << track.name;
    return result;
}

// Disabling a button takes the keyboard focus away from it; the focus comes
// back when the button stays usable.
void setEnabledKeepingFocus(QWidget* widget, bool enabled)
{
    const bool hadFocus = widget->hasFocus();
    widget->setEnabled(enabled);
    if (hadFocus && enabled)
        widget->setFocus();
}

QString volumePicture(int volume)
{
    const double ratio = double(volume) / MediaPlayer::maxVolume;
    if (ratio == 0)
        return QStringLiteral(":/images/audio-volume-muted.png");
    if (ratio <= 0.3)
        return QStringLiteral(":/images/audio-volume-low.png");
    if (ratio <= 0.6)
        return QStringLiteral(":/images/audio-volume-medium.png");
    return QStringLiteral(":/images/audio-volume-high.png");
}

}  // namespace

void MainWindow::setupPresentation()
{
    m_audioPollTimer = makePollTimer(this, "audioPollTimer");
    m_subtitlePollTimer = makePollTimer(this, "subtitlePollTimer");
    m_audioTracksMenu = new TrackMenu(QIcon(QStringLiteral(":/images/audio-track.png")), this);
    m_subtitlesMenu = new TrackMenu(QIcon(QStringLiteral(":/images/subtitle.png")), this);
    audioTracks->setMenu(m_audioTracksMenu);
    subtitles->setMenu(m_subtitlesMenu);
    clearAudioTracks();
    clearSubtitles();

    connect(m_audioPollTimer, &QTimer::timeout, this, &MainWindow::setupAudioTracks);
    connect(m_subtitlePollTimer, &QTimer::timeout, this, &MainWindow::setupSubtitles);
    connect(m_audioTracksMenu, &QMenu::triggered, this, &MainWindow::audioTracksMenuTrigger);
    connect(m_subtitlesMenu, &QMenu::triggered, this, &MainWindow::subtitlesMenuTrigger);
    connect(mediaPlayer, &MediaPlayer::playing, this, &MainWindow::startSubtrackPolling);
    connect(mediaPlayer, &MediaPlayer::stopped, this, &MainWindow::stopSubtrackPolling);
    connect(m_mouseHideTimer, &QTimer::timeout, this, &MainWindow::hideMouseCursor);
}

// ---- channel list ----------------------------------------------------------

void MainWindow::toggleChannelList()
{
    const bool visible = lwChannelList->isVisibleTo(this);
    if (visible)
        settings()->setChannelListWidth(lwChannelList->width());
    lwChannelList->setVisible(!visible);
    {
        const QSignalBlocker blocker(buttonChannelList);
        buttonChannelList->setChecked(!visible);
    }
    buttonChannelList->setToolTip(!visible ? tr("Hide channel list (F2, c)")
                                           : tr("Show channel list (F2, c)"));
    settings()->setChannelListVisible(!visible);
    applySplitterSizes();
    emit Resize();
}

void MainWindow::saveChannelListWidth()
{
    if (lwChannelList->isVisibleTo(this))
        settings()->setChannelListWidth(lwChannelList->width());
}

// ---- fullscreen and only player --------------------------------------------

void MainWindow::toggleFullscreen()
{
    mediaPlayer->setFocus();
    if (!isFullScreen()) {
        setOnlyPlayerMode(true);
        setWindowState(windowState() | Qt::WindowFullScreen);
        raise();
        if (logoSwitcher->currentIndex() == VideoPage)
            m_mouseHideTimer->start();
    } else {
        m_mouseHideTimer->stop();
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        setOnlyPlayerMode(false);
    }
    emit Resize();
}

void MainWindow::setOnlyPlayerMode(bool value)
{
    if (value == m_onlyPlayer)
        return;
    m_onlyPlayer = value;
    bottomPanel->setVisible(!value);
    buttonPanel->setVisible(!value);
    {
        const QSignalBlocker blocker(lwChannelList);
        lwChannelList->setVisible(m_mode == IptvMode && !value &&
                                  settings()->isChannelListVisible());
    }
    const int margin = value ? 0 : 9;
    layout()->setContentsMargins(margin, margin, margin, margin);
    setAlwaysOnTop(value, false);
    {
        const QSignalBlocker blocker(buttonOnlyPlayer);
        buttonOnlyPlayer->setChecked(value);
    }
    emit Resize();
}

void MainWindow::hideMouseCursor()
{
    if (contextMenu() && contextMenu()->isVisible())
        return;
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::BlankCursor);
    else
        QApplication::setOverrideCursor(Qt::BlankCursor);
}

// ---- stays on top ----------------------------------------------------------

void MainWindow::setAlwaysOnTop(bool onTop)
{
    setAlwaysOnTop(onTop, true);
}

void MainWindow::setAlwaysOnTop(bool onTop, bool changeSettings)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    qDebug("[MainWindow::setAlwaysOnTop] changing On-Top state");
    // setWindowFlag() would replace the native window, and with it the video
    // surface libVLC draws into: the window system is told directly instead.
    const Qt::WindowFlags flags = windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle())
        window->setFlags(flags);
    if (changeSettings)
        settings()->setAlwaysOnTop(onTop);
    {
        const QSignalBlocker blocker(buttonAlwaysOnTop);
        buttonAlwaysOnTop->setChecked(onTop);
    }
}

void MainWindow::MakeFormActiv()
{
    if (isHidden())
        restoreFromTray();
    if (!windowFlags().testFlag(Qt::WindowStaysOnTopHint) && anotherWindowHasForeground())
        setAlwaysOnTop(true, true);
    raise();
    activateWindow();
}

bool MainWindow::anotherWindowHasForeground() const
{
#ifdef Q_OS_WIN
    const HWND foreground = GetForegroundWindow();
    return foreground && foreground != reinterpret_cast<HWND>(winId());
#else
    return !isActiveWindow();
#endif
}

// ---- tray ------------------------------------------------------------------

void MainWindow::hideToTray()
{
    const Settings* store = settings();
    m_pausedByTray = store->pauseOnMinimize() && mediaPlayer->playback().isPlaying() &&
                     !mediaPlayer->isRecording();
    if (m_pausedByTray) {
        if (m_mode == IptvMode)
            mediaPlayer->stop();
        else
            mediaPlayer->pause();
    }
    QTimer::singleShot(0, this, &QWidget::hide);
    m_tray->setWindowInTray(true);
}

void MainWindow::restoreFromTray()
{
    restoreFromTray(QSystemTrayIcon::DoubleClick);
}

void MainWindow::restoreFromTray(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    // Shown while still minimised, the window would be mapped iconic.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    activateWindow();
    if (settings()->pauseOnMinimize() && std::exchange(m_pausedByTray, false)) {
        if (m_mode == IptvMode && m_channelManager)
            m_channelManager->PlayCurrentChannel();
        else
            mediaPlayer->play();
    }
    m_tray->setWindowInTray(false);
}

void MainWindow::toggleMinimizedToTray()
{
    if (isVisible())
        hideToTray();
    else
        restoreFromTray();
}

void MainWindow::onShowPlayerMessage()
{
    qDebug("SHOWPLAYERMSG message received, activating window");
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray->isAvailable()) {
        event->ignore();
        hideToTray();
    }
}

// ---- track menus -----------------------------------------------------------

void MainWindow::startSubtrackPolling()
{
    startPolling(m_audioPollTimer, m_firstAudioPollDone);
    if (m_mode != IptvMode)
        startPolling(m_subtitlePollTimer, m_firstSubtitlePollDone);
    else
        m_channelProgrammeOverlayEnabled = true;
}

void MainWindow::stopSubtrackPolling()
{
    m_audioPollTimer->stop();
    m_subtitlePollTimer->stop();
}

// Entry k of the audio menu is the player's track k + 1: track 0 switches
// the sound off and is not offered.
void MainWindow::setupAudioTracks()
{
    const QList<Track> tracks = mediaPlayer->playback().audioTracks();
    notePollResult(m_audioPollTimer, m_firstAudioPollDone, tracks.size());
    m_audioTracksMenu->setTracks(names(tracks.mid(1)));
    const bool applyPreferred = m_applyPreferredAudioTrack;
    if (applyPreferred) {
        const int preferred = m_audioTracksMenu->indexOfLanguage(
            {QStringLiteral("russian"), QStringLiteral("ukrainian")});
        if (preferred >= 0) {
            setAudioTrack(preferred);
            m_applyPreferredAudioTrack = false;
        }
    }
    if (!applyPreferred)
        m_audioTracksMenu->check(mediaPlayer->currentAudioTrack() - 1);
    else if (std::exchange(m_applyPreferredAudioTrack, false) && tracks.size() >= 2)
        setAudioTrack(0);
    setEnabledKeepingFocus(audioTracks, tracks.size() > 2);
}

void MainWindow::setAudioTrack(int index)
{
    m_audioTracksMenu->check(index);
    mediaPlayer->setAudioTrack(index + 1);
}

void MainWindow::audioTracksMenuTrigger(QAction* action)
{
    setAudioTrack(m_audioTracksMenu->indexOf(action));
}

void MainWindow::clearAudioTracks()
{
    m_audioTracksMenu->setTracks({});
    audioTracks->setEnabled(false);
}

// Entry k of the subtitle menu is the player's subtitle k, "Disable" first.
void MainWindow::setupSubtitles()
{
    const QList<Track> tracks = mediaPlayer->playback().subtitles();
    notePollResult(m_subtitlePollTimer, m_firstSubtitlePollDone, tracks.size());
    m_subtitlesMenu->setTracks(names(tracks));
    setEnabledKeepingFocus(subtitles, tracks.size() > 1);
    const int current = mediaPlayer->currentSubtitle();
    if (current != -1)
        setSubtitle(current);
    else if (!tracks.isEmpty())
        setSubtitle(0);
}

void MainWindow::setSubtitle(int index)
{
    m_subtitlesMenu->check(index);
    mediaPlayer->setSubtitle(index);
}

void MainWindow::subtitlesMenuTrigger(QAction* action)
{
    setSubtitle(m_subtitlesMenu->indexOf(action));
}

void MainWindow::clearSubtitles()
{
    m_subtitlesMenu->setTracks({});
    subtitles->setEnabled(false);
}

// ---- volume ----------------------------------------------------------------

void MainWindow::updateVolume()
{
    const int volume = mediaPlayer->volume();
    volumeIndicator->setPixmap(QPixmap(volumePicture(volume)));
    {
        const QSignalBlocker blocker(volumeSlider);
        volumeSlider->setValue(volume);
    }
    if (m_mode == IptvMode && !settings()->useGlobalVolume() && m_currentChannel)
        m_currentChannel->setVolume(volume * 100 / MediaPlayer::maxVolume);
    settings()->setGlobalVolume(volume);
}
