// The window's presentation: tray, stays-on-top, fullscreen and only-player
// presentation, the channel list toggle, the buttons that depend on the
// picture, the closed-channel picture, the track menus and the volume display.

#include "mainwindow.h"

#include "channel.h"
#include "channellistview.h"
#include "channelmanager.h"
#include "closepictureoverlay.h"
#include "fullplaybackprogresswidget.h"
#include "fullscreenchannellist.h"
#include "fullscreenprogresspanel.h"
#include "playeractions.h"
#include "settings.h"
#include "toolbarstate.h"
#include "traycontroller.h"

#include <QApplication>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

Settings* settings()
{
    return Settings::instance();
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

ClosePictureOverlay::Picture pictureOf(MainWindow::ClosePicType type)
{
    return type == MainWindow::ChannelDenyPicture ? ClosePictureOverlay::ChannelDenied
                                                  : ClosePictureOverlay::TimeShiftDenied;
}

}  // namespace

void MainWindow::connectPresentation()
{
    m_ui.audioTracks->setMenu(m_trackMenus.audioMenu());
    m_ui.subtitles->setMenu(m_trackMenus.subtitleMenu());
    connect(&m_trackMenus, &TrackMenus::audioPollDue, this, &MainWindow::setupAudioTracks);
    connect(&m_trackMenus, &TrackMenus::subtitlePollDue, this, &MainWindow::setupSubtitles);
    connect(&m_trackMenus, &TrackMenus::audioTrackChosen, m_ui.mediaPlayer,
            &MediaPlayer::setAudioTrack);
    connect(&m_trackMenus, &TrackMenus::subtitleChosen, m_ui.mediaPlayer,
            &MediaPlayer::setSubtitle);
    connect(&m_trackMenus, &TrackMenus::audioUsable, this,
            [this](bool usable) { setEnabledKeepingFocus(m_ui.audioTracks, usable); });
    connect(&m_trackMenus, &TrackMenus::subtitlesUsable, this,
            [this](bool usable) { setEnabledKeepingFocus(m_ui.subtitles, usable); });
    clearAudioTracks();
    clearSubtitles();
    connect(m_ui.mediaPlayer, &MediaPlayer::playing, this, &MainWindow::startSubtrackPolling);
    connect(m_ui.mediaPlayer, &MediaPlayer::stopped, this, &MainWindow::stopSubtrackPolling);
    connect(&m_presentation, &Presentation::onlyPlayerChanged, this, &MainWindow::showOnlyPlayer);
    connect(&m_presentation, &Presentation::alwaysOnTopChanged, this, [this](bool onTop) {
        const QSignalBlocker blocker(m_ui.buttonAlwaysOnTop);
        m_ui.buttonAlwaysOnTop->setChecked(onTop);
    });
}

// ---- progress and overlays --------------------------------------------------

void MainWindow::setupOverlays()
{
    FullscreenOverlays& overlays = m_presentation.overlays();
    overlays.setTimeMachineManager(m_timeMachine);
    overlays.setMediaPlayer(m_ui.mediaPlayer);
    m_ui.progressWidget->setTimeMachineManager(m_timeMachine);
    m_ui.progressWidget->setMediaPlayer(m_ui.mediaPlayer);
    m_ui.progressWidget->hide();

    FullscreenProgressPanel* panel = overlays.panel();
    connect(panel, &FullscreenProgressPanel::defullscreenClicked, this,
            &MainWindow::toggleFullscreen);
    connect(panel, &FullscreenProgressPanel::quitClicked, this, &QWidget::close);
    connect(panel, &FullscreenProgressPanel::onlyPlayerToggled, this,
            &MainWindow::setOnlyPlayerMode);
    connect(panel, &FullscreenProgressPanel::onlyPlayerToggled, this,
            qOverload<bool>(&MainWindow::setAlwaysOnTop));

    FullPlaybackProgressWidget* progress = panel->progress();
    connect(progress->volumeSlider(), &QSlider::valueChanged, m_ui.mediaPlayer,
            &MediaPlayer::setVolume);
    connect(progress->recordButton(), &QToolButton::clicked, m_recordAction,
            &PlayerAction::execute);
    connect(progress->pauseButton(), &QToolButton::clicked, this, &MainWindow::playOrPause);
    progress->audioButton()->setMenu(m_trackMenus.audioMenu());
    progress->subtitlesButton()->setMenu(m_trackMenus.subtitleMenu());
    for (QToolButton* menuButton : {progress->audioButton(), progress->subtitlesButton()})
        menuButton->setPopupMode(QToolButton::InstantPopup);
}

void MainWindow::showTelevisionProgress()
{
    m_ui.progressWidget->reset();
    m_presentation.overlays().panel()->progress()->reset();
}

void MainWindow::showMovieProgress(const QString& title)
{
    m_ui.progressWidget->setMovieMode(title);
    m_presentation.overlays().panel()->progress()->setMovieMode(title);
}

void MainWindow::hideProgress()
{
    m_ui.progressWidget->hide();
    m_presentation.overlays().panel()->hide();
}

void MainWindow::showChannelProgrammeForAWhile()
{
    m_presentation.overlays().showChannelProgramme();
    m_fullscreenProgrammeTimer->start();
}

// The list in use leads: the docked one, or in only-player presentation the
// fullscreen one.
void MainWindow::keepChannelListsInStep()
{
    ChannelList::View* docked = m_ui.lwChannelList;
    ChannelList::View* fullscreen = m_presentation.overlays().channelList()->view();
    if (m_presentation.isOnlyPlayer())
        docked->setTopRow(fullscreen->topRow());
    else
        fullscreen->setTopRow(docked->topRow());
}

void MainWindow::showChannelNumbers(bool show)
{
    m_ui.lwChannelList->setShowNumbers(show);
    m_presentation.overlays().channelList()->view()->setShowNumbers(show);
}

// ---- channel list ----------------------------------------------------------

void MainWindow::toggleChannelList()
{
    const bool visible = m_ui.lwChannelList->isVisibleTo(this);
    if (visible)
        settings()->setChannelListWidth(m_ui.lwChannelList->width());
    m_ui.lwChannelList->setVisible(!visible);
    {
        const QSignalBlocker blocker(m_ui.buttonChannelList);
        m_ui.buttonChannelList->setChecked(!visible);
    }
    m_ui.buttonChannelList->setToolTip(!visible ? tr("Hide channel list (F2, c)")
                                                : tr("Show channel list (F2, c)"));
    settings()->setChannelListVisible(!visible);
    applySplitterSizes();
    emit Resize();
}

void MainWindow::saveChannelListWidth()
{
    if (m_ui.lwChannelList->isVisibleTo(this))
        settings()->setChannelListWidth(m_ui.lwChannelList->width());
}

// ---- fullscreen, only player, on top -------------------------------------

void MainWindow::toggleFullscreen()
{
    m_ui.mediaPlayer->setFocus();
    m_presentation.toggleFullscreen(currentPage() == VideoPage);
    emit Resize();
}

void MainWindow::setOnlyPlayerMode(bool value)
{
    m_presentation.setOnlyPlayer(value);
}

void MainWindow::showOnlyPlayer(bool value)
{
    m_ui.bottomPanel->setVisible(!value);
    m_ui.buttonPanel->setVisible(!value);
    {
        const QSignalBlocker blocker(m_ui.lwChannelList);
        m_ui.lwChannelList->setVisible(m_mode == IptvMode && !value &&
                                       settings()->isChannelListVisible());
    }
    const int margin = value ? 0 : 9;
    layout()->setContentsMargins(margin, margin, margin, margin);
    {
        const QSignalBlocker blocker(m_ui.buttonOnlyPlayer);
        m_ui.buttonOnlyPlayer->setChecked(value);
    }
    emit Resize();
}

void MainWindow::hideMouseCursor()
{
    m_presentation.hideCursor();
}

void MainWindow::setAlwaysOnTop(bool onTop)
{
    m_presentation.setAlwaysOnTop(onTop, true);
}

void MainWindow::setAlwaysOnTop(bool onTop, bool changeSettings)
{
    m_presentation.setAlwaysOnTop(onTop, changeSettings);
}

void MainWindow::MakeFormActiv()
{
    if (isHidden())
        restoreFromTray();
    if (!m_presentation.isAlwaysOnTop() && anotherWindowHasForeground())
        m_presentation.setAlwaysOnTop(true, true);
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
    m_pausedByTray = store->pauseOnMinimize() && m_ui.mediaPlayer->playback().isPlaying() &&
                     !m_ui.mediaPlayer->isRecording();
    if (m_pausedByTray) {
        if (m_mode == IptvMode)
            m_ui.mediaPlayer->stop();
        else
            m_ui.mediaPlayer->pause();
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
            m_ui.mediaPlayer->play();
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

// ---- buttons that depend on the picture -----------------------------------

void MainWindow::setupVideoDependentButtons()
{
    const ToolbarState state =
        ToolbarState::of({videoOnScreen(), m_mode == IptvMode, m_mode == MediaPortalMode,
                          m_channelManager && m_channelManager->currentChannel()});
    for (QWidget* widget :
         {static_cast<QWidget*>(m_ui.audioTracks), static_cast<QWidget*>(m_ui.buttonOnlyPlayer),
          static_cast<QWidget*>(m_ui.buttonStatistics), static_cast<QWidget*>(m_ui.volumeIndicator),
          static_cast<QWidget*>(m_ui.volumeSlider)})
        widget->setVisible(state.videoControls);
    m_ui.buttonRestartFtpPlayback->hide();
    m_ui.subtitles->setVisible(state.subtitles);
    m_ui.volumeSlider->setEnabled(state.volumeUsable);
    m_ui.volumeIndicator->setEnabled(state.volumeUsable);
    updateSeparators();
}

void MainWindow::updateSeparators()
{
    showSeparatorsBetweenGroups(m_ui.buttonPanel->layout());
}

// ---- closed-channel pictures -----------------------------------------------

void MainWindow::onCloseChannelPicLoaded()
{
    if (!m_channelManager)
        return;
    m_closePicture->setPicture(ClosePictureOverlay::ChannelDenied,
                               m_channelManager->closeChannelPixmap());
    emit Resize();
}

// The server publishes no separate picture for closed timeshift.
void MainWindow::onCloseTimeShiftPicLoaded() {}

void MainWindow::onShowCloseChannelPic(MainWindow::ClosePicType type)
{
    if (m_closePicture->showPicture(pictureOf(type)))
        emit Resize();
}

void MainWindow::onHidesCloseChannelPic()
{
    m_closePicture->hide();
    emit Resize();
}

// ---- track menus -----------------------------------------------------------

void MainWindow::startSubtrackPolling()
{
    m_trackMenus.startPolling(m_mode != IptvMode);
    if (m_mode == IptvMode)
        m_channelProgrammeOverlayEnabled = true;
}

void MainWindow::stopSubtrackPolling()
{
    m_trackMenus.stopPolling();
}

void MainWindow::setupAudioTracks()
{
    m_trackMenus.showAudioTracks(names(m_ui.mediaPlayer->playback().audioTracks()),
                                 m_ui.mediaPlayer->currentAudioTrack());
}

void MainWindow::clearAudioTracks()
{
    m_trackMenus.clearAudioTracks();
}

void MainWindow::setupSubtitles()
{
    m_trackMenus.showSubtitles(names(m_ui.mediaPlayer->playback().subtitles()),
                               m_ui.mediaPlayer->currentSubtitle());
}

void MainWindow::clearSubtitles()
{
    m_trackMenus.clearSubtitles();
}

// ---- volume ----------------------------------------------------------------

void MainWindow::updateVolume()
{
    const int volume = m_ui.mediaPlayer->volume();
    const FullPlaybackProgressWidget* panel = m_presentation.overlays().panel()->progress();
    const QPixmap picture(ToolbarState::volumePicture(volume));
    for (QLabel* indicator : {m_ui.volumeIndicator, panel->volumeIndicator()})
        indicator->setPixmap(picture);
    for (QSlider* slider : {m_ui.volumeSlider, panel->volumeSlider()}) {
        const QSignalBlocker blocker(slider);
        slider->setValue(volume);
    }
    if (m_mode == IptvMode && !settings()->useGlobalVolume() && m_currentChannel)
        m_currentChannel->setVolume(volume * 100 / MediaPlayer::maxVolume);
    settings()->setGlobalVolume(volume);
}
