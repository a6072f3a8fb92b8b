// The main window's keyboard, the remote control's digit entry, the mouse
// over the player area, the global hotkeys and the player's context menu.

#include "channel.h"
#include "channelmanager.h"
#include "channelnumberoverlay.h"
#include "closepictureoverlay.h"
#include "fullplaybackprogresswidget.h"
#include "fullscreenprogresspanel.h"
#include "keyrouter.h"
#include "keyrules.h"
#include "mainwindow.h"
#include "mediaportalseriesmanager.h"
#include "playeractions.h"
#include "settings.h"
#include "timemachinemanager.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <vector>

namespace {

constexpr QPoint channelNumberOffset(30, 50);
constexpr int volumeStep = 5;
constexpr int wheelNotch = 120;
constexpr int deinterlaceOnMode = 5;  // "linear"

bool isOfferedGeometry(const QString& label)
{
    const QStringList offered{MainWindow::tr("Default"), QStringLiteral("16:9"),
                              QStringLiteral("16:10"), QStringLiteral("4:3"),
                              QStringLiteral("2.21:1")};
    return offered.contains(label, Qt::CaseInsensitive);
}

void restoreOverrideCursor()
{
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

// A key moves the watched moment only as far as the buttons offer.
void stepIfAllowed(TimeMachineManager& manager, TimeMachineManager::Command command,
                   void (TimeMachineManager::*step)())
{
    if (manager.allows(command))
        (manager.*step)();
}

}  // namespace

// ---- set-up ----------------------------------------------------------------

void MainWindow::setupInput()
{
    connect(this, &MainWindow::InputChannelFromPult, &m_digitEntry, &RemoteDigitEntry::append);
    connect(this, &MainWindow::PressBack, &m_digitEntry, &RemoteDigitEntry::backspace);
    connect(&m_digitEntry, &RemoteDigitEntry::textChanged, this, &MainWindow::showChannelNumber);
    connect(&m_digitEntry, &RemoteDigitEntry::channelChosen, this, &MainWindow::setNewChannel);
    connect(this, &MainWindow::setNewChannel, this, &MainWindow::onSetNewChannel);
    connect(m_ui.mediaPlayer, &MediaPlayer::stopped, this, &MainWindow::clearContextMenu);
    connect(this, &MainWindow::modeChanged, this, [this](Mode mode) {
        if (mode != IptvMode)
            m_channelNumberOverlay->hide();
    });

    for (QWidget* widget :
         {static_cast<QWidget*>(m_ui.mediaPlayer), static_cast<QWidget*>(m_ui.labelLogo),
          static_cast<QWidget*>(m_ui.labelStandBy), m_ui.mediaPortalBrowser,
          static_cast<QWidget*>(m_ui.tvProgramWidget), m_ui.tvProgramWidget->viewport(),
          static_cast<QWidget*>(m_ui.volumeIndicator), static_cast<QWidget*>(m_closePicture),
          static_cast<QWidget*>(m_channelNumberOverlay), static_cast<QWidget*>(panelProgress()),
          static_cast<QWidget*>(panelProgress()->volumeIndicator())})
        watchInput(widget);

    new KeyRouter(this, [this](const QKeyEvent* event) { return handleKey(event); });
    // Buttons and sliders are worked with the mouse; the keys stay where the
    // user left them.
    for (QWidget* control : m_ui.buttonPanel->findChildren<QAbstractButton*>())
        control->setFocusPolicy(Qt::NoFocus);
    for (QWidget* control :
         {static_cast<QWidget*>(m_ui.volumeSlider), static_cast<QWidget*>(m_reconnectButton)})
        control->setFocusPolicy(Qt::NoFocus);

    connect(&m_presentation, &Presentation::hotkeyPressed, this, &MainWindow::onGlobalHotkey);
}

void MainWindow::watchInput(QWidget* widget)
{
    // Mouse moves without a button restore the hidden cursor in fullscreen.
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

// ---- keys ------------------------------------------------------------------

// True when the window acted on the key. A repeat is dropped, and counts as
// acted on when its first press was.
bool MainWindow::handleKey(const QKeyEvent* event)
{
    const KeyChord key = KeyChord::of(event);
    if (!m_keyRepeatFilter.accept(key))
        return m_lastKeyHandled;
    const std::vector<KeyRules::Action> actions = KeyRules::actionsFor(key, keyContext());
    for (KeyRules::Action action : actions)
        runKeyAction(action, key);
    m_lastKeyHandled = !actions.empty();
    return m_lastKeyHandled;
}

KeyContext MainWindow::keyContext() const
{
    KeyContext context;
    context.mode = m_mode == IptvMode          ? KeyContext::Mode::Iptv
                   : m_mode == MediaPortalMode ? KeyContext::Mode::Portal
                                               : KeyContext::Mode::Other;
    context.playerIdle = isPlayerIdle();
    context.guideShown = isGuideShown();
    context.browserShown = m_mode == RecordViewMode && currentPage() == RecordingsPage;
    context.canTimeShift = canTimeShiftCurrentChannel();
    context.fullscreen = isFullScreen();
    context.canPreviousSeries = m_seriesManager->isCanSetPrevSeries();
    context.canNextSeries = m_seriesManager->isCanSetNextSeries();
    return context;
}

bool MainWindow::canTimeShiftCurrentChannel() const
{
    if (m_mode != IptvMode || !m_timeMachine || !m_channelManager)
        return false;
    const Channel* channel = m_channelManager->currentChannel();
    return channel && channel->isAvailable() && channel->hasTimeOffsets();
}

void MainWindow::runKeyAction(KeyRules::Action action, const KeyChord& key)
{
    using Command = TimeMachineManager::Command;
    switch (action) {
        case KeyRules::Action::TimeShiftBack:
            return stepIfAllowed(*m_timeMachine, Command::StepBack,
                                 &TimeMachineManager::setCurrentChannelTimeShiftPrev);
        case KeyRules::Action::TimeShiftBackProgram:
            return stepIfAllowed(*m_timeMachine, Command::PreviousProgramme,
                                 &TimeMachineManager::setCurrentChannelTimeShiftPrevProgram);
        case KeyRules::Action::TimeShiftForward:
            return stepIfAllowed(*m_timeMachine, Command::StepForward,
                                 &TimeMachineManager::setCurrentChannelTimeShiftNext);
        case KeyRules::Action::TimeShiftForwardProgram:
            return stepIfAllowed(*m_timeMachine, Command::NextProgramme,
                                 &TimeMachineManager::setCurrentChannelTimeShiftNextProgram);
        case KeyRules::Action::TimeShiftProgramStart:
            return stepIfAllowed(*m_timeMachine, Command::StartOfProgramme,
                                 &TimeMachineManager::setCurrentChannelTimeShiftStartProgram);
        case KeyRules::Action::TimeShiftOff:
            return m_timeMachine->setCurrentChannelOffTimeShift();
        case KeyRules::Action::Digit:
            emit InputChannelFromPult(key.key - Qt::Key_0);
            return;
        case KeyRules::Action::DigitBack:
            emit PressBack();
            return;
        case KeyRules::Action::IptvMode:
            return setIptvMode();
        case KeyRules::Action::PortalMode:
            return setMediaPortalMode();
        case KeyRules::Action::PreviousSeries:
            return m_seriesManager->playPrevSeries();
        case KeyRules::Action::NextSeries:
            return m_seriesManager->playNextSeries();
        case KeyRules::Action::PortalStepBack:
            return stepPortalMovie(-1);
        case KeyRules::Action::PortalStepForward:
            return stepPortalMovie(+1);
        case KeyRules::Action::PlayOrPause:
            return playOrPause();
        case KeyRules::Action::TogglePlay:
            return m_ui.mediaPlayer->togglePlay();
        case KeyRules::Action::Stop:
            return m_stopVideoAction->execute();
        case KeyRules::Action::Record:
            return m_recordAction->execute();
        case KeyRules::Action::ToggleFullscreen:
        case KeyRules::Action::LeaveFullscreen:
            return toggleFullscreen();
        case KeyRules::Action::ToggleDeinterlace:
            return toggleDeinterlace();
        case KeyRules::Action::Close:
            close();
            return;
        case KeyRules::Action::ToggleChannelList:
            return m_ui.buttonChannelList->toggle();
        case KeyRules::Action::NextAudioTrack:
            return selectNextAudioTrack();
        case KeyRules::Action::PortalPreviousMovie:
            return runPortalScript(QStringLiteral("walkMovies(-1);"));
        case KeyRules::Action::PortalNextMovie:
            return runPortalScript(QStringLiteral("walkMovies(+1);"));
        case KeyRules::Action::ToggleGuide:
            return m_showTvProgramAction->execute();
        case KeyRules::Action::ToggleMute:
            return m_ui.mediaPlayer->toggleMute();
        case KeyRules::Action::PreviousChannel:
            return prevChannel();
        case KeyRules::Action::NextChannel:
            return nextChannel();
        case KeyRules::Action::VolumeUp:
            return changeVolumeBy(volumeStep);
        case KeyRules::Action::VolumeDown:
            return changeVolumeBy(-volumeStep);
        case KeyRules::Action::ScheduledRecords:
            return m_scheduledRecordListAction->execute();
    }
}

bool MainWindow::isPlayerIdle() const
{
    return m_ui.mediaPlayer->playback().isStopped();
}

// A movie playing moves by a hundredth of its length; in the portal page
// without one the genres are walked instead.
void MainWindow::stepPortalMovie(int direction)
{
    if (isPlayerIdle()) {
        runPortalScript(direction < 0 ? QStringLiteral("walkGenres(-1);")
                                      : QStringLiteral("walkGenres(1);"));
        return;
    }
    const qint64 length = m_ui.mediaPlayer->playback().length() / 1000;
    if (length <= 0)
        return;
    const qint64 target = m_ui.mediaPlayer->playback().time() / 1000 + direction * (length / 100);
    if (direction < 0 ? target > 0 : target < length)
        m_ui.mediaPlayer->setTime(int(target));
}

void MainWindow::playOrPause()
{
    if (isPlayerIdle())
        m_pauseOrPlayAction->execute();
    else
        m_ui.mediaPlayer->togglePlay();
}

void MainWindow::toggleDeinterlace()
{
    Settings* store = Settings::instance();
    store->setDeinterlaceMode(store->deinterlaceMode() == 0 ? deinterlaceOnMode : 0);
}

void MainWindow::selectNextAudioTrack()
{
    const QMenu* menu = m_ui.audioTracks->menu();
    const QList<QAction*> entries = menu ? menu->actions() : QList<QAction*>{};
    if (entries.size() <= 1)
        return;
    const auto checked = std::find_if(entries.cbegin(), entries.cend(),
                                      [](const QAction* entry) { return entry->isChecked(); });
    const int current = checked == entries.cend() ? -1 : int(checked - entries.cbegin());
    entries.at((current + 1) % entries.size())->trigger();
}

void MainWindow::changeVolumeBy(int step)
{
    m_ui.mediaPlayer->setVolume(m_ui.mediaPlayer->volume() + step);
}

// ---- remote-control digits -------------------------------------------------

void MainWindow::onSetNewChannel(int aChannel)
{
    Channel* channel =
        aChannel > 0 && m_channelManager ? m_channelManager->channelAt(aChannel - 1) : nullptr;
    if (channel) {
        m_channelManager->setCurrentChannel(channel);
        selectChannelInLists();
    }
    m_channelNumberOverlay->hide();
}

void MainWindow::showChannelNumber(const QString& digits)
{
    if (digits.isEmpty()) {
        m_channelNumberOverlay->hide();
        return;
    }
    placeChannelNumberOverlay();
    m_channelNumberOverlay->showDigits(digits);
}

void MainWindow::placeChannelNumberOverlay()
{
    m_channelNumberOverlay->move(m_ui.logoSwitcher->mapToGlobal(channelNumberOffset));
}

// ---- mouse over the player area --------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui.tvProgramWidget || watched == m_ui.tvProgramWidget->viewport())
        return filterGuideEvent(event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
            return onWatchedMousePress(watched, static_cast<QMouseEvent*>(event));
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            break;
        case QEvent::ContextMenu:
            return onWatchedContextMenu(watched, static_cast<QContextMenuEvent*>(event));
        case QEvent::MouseMove:
            if (!isPortalWidget(watched))
                onWatchedMouseMove(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::Wheel:
            onWatchedWheel(static_cast<QWheelEvent*>(event));
            break;
        case QEvent::MouseButtonDblClick:
            return onWatchedDoubleClick(watched, static_cast<QMouseEvent*>(event));
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

bool MainWindow::isVolumeIndicator(const QObject* object) const
{
    return object == m_ui.volumeIndicator || object == panelProgress()->volumeIndicator();
}

FullPlaybackProgressWidget* MainWindow::panelProgress() const
{
    return m_presentation.overlays().panel()->progress();
}

// Whatever shows the portal page, the web view or a widget inside it.
bool MainWindow::isPortalWidget(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    const QWidget* portalPage = m_ui.logoSwitcher->widget(PortalPage);
    return widget && portalPage && (widget == portalPage || portalPage->isAncestorOf(widget));
}

bool MainWindow::filterGuideEvent(QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        m_showTvProgramAction->execute();
        return true;
    }
    if (event->type() == QEvent::Show) {
        // After the browser's own show handling, which scrolls to an anchor
        // asked for while it was hidden and would undo the step back.
        QMetaObject::invokeMethod(this, &MainWindow::scrollGuideToCurrentTelecast,
                                  Qt::QueuedConnection);
        m_ui.searchProgram->selectAll();
        m_ui.searchProgram->setFocus();
    }
    return false;
}

// Leaves a little of what went before the telecast on air in view.
void MainWindow::scrollGuideToCurrentTelecast()
{
    m_ui.tvProgramWidget->scrollToAnchor(QStringLiteral("#currentTelecast"));
    QScrollBar* bar = m_ui.tvProgramWidget->verticalScrollBar();
    bar->setValue(bar->value() - bar->pageStep() / 5);
}

bool MainWindow::onWatchedMousePress(const QObject* watched, const QMouseEvent* event)
{
    if (isPortalWidget(watched))
        return false;
    if (isVolumeIndicator(watched)) {
        m_ui.mediaPlayer->toggleMute();
        return true;
    }
    if (!isFullScreen() && event->button() == Qt::LeftButton) {
        m_dragPosition = mapFromGlobal(event->globalPosition().toPoint());
        m_dragging = true;
    }
    return false;
}

void MainWindow::onWatchedMouseMove(const QMouseEvent* event)
{
    restoreOverrideCursor();
    if (isFullScreen() || m_presentation.isOnlyPlayer()) {
        const auto content = m_mode == IptvMode ? FullscreenOverlays::Content::Television
                                                : FullscreenOverlays::Content::Film;
        m_presentation.overlays().pointerMoved(event->globalPosition().toPoint(), content,
                                               currentPage() == PortalPage);
    }
    if (m_dragging)
        move(pos() + event->globalPosition().toPoint() - mapToGlobal(m_dragPosition));
    if (isFullScreen() && currentPage() != PortalPage)
        m_presentation.hideCursorLater();
}

bool MainWindow::onWatchedContextMenu(const QObject* watched, const QContextMenuEvent* event)
{
    if (watched != m_ui.mediaPlayer && watched != m_closePicture)
        return false;
    if (!m_contextMenu)
        prepareContextMenu();
    if (m_contextMenu)
        m_contextMenu->popup(event->globalPos());
    restoreOverrideCursor();
    return true;
}

void MainWindow::onWatchedWheel(const QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (event->modifiers().testFlag(Qt::ControlModifier) && m_mode == IptvMode) {
        if (delta < 1)
            nextChannel();
        else
            prevChannel();
        return;
    }
    const bool somethingToHear =
        m_mode == MediaPortalMode || (m_channelManager && m_channelManager->currentChannel());
    if (somethingToHear && m_ui.mediaPlayer->playback().isPlaying())
        changeVolumeBy(delta / wheelNotch * volumeStep);
}

bool MainWindow::onWatchedDoubleClick(const QObject* watched, const QMouseEvent* event)
{
    if (isPortalWidget(watched) || isVolumeIndicator(watched) || event->button() != Qt::LeftButton)
        return false;
    toggleFullscreen();
    return true;
}

// ---- context menu ----------------------------------------------------------

QMenu* MainWindow::contextMenu() const
{
    return m_contextMenu;
}

void MainWindow::prepareContextMenu()
{
    delete m_contextMenu;
    m_contextMenu = new QMenu(this);
    const PlaybackState& playback = m_ui.mediaPlayer->playback();
    QList<PlaybackState::Choice> choices;
    if (playback.isPlaying()) {
        // The aspect-ratio list serves the crop menu as well.
        for (const PlaybackState::Choice& choice : playback.aspectRatioChoices()) {
            if (isOfferedGeometry(choice.text))
                choices << choice;
        }
    }
    addGeometryMenu(tr("Aspect Ratio"), choices, playback.aspectRatio(),
                    &MediaPlayer::setAspectRatio);
    addGeometryMenu(tr("Crop"), choices, playback.cropGeometry(), &MediaPlayer::setCrop);
}

void MainWindow::addGeometryMenu(const QString& title, const QList<PlaybackState::Choice>& choices,
                                 const QString& current, void (MediaPlayer::*apply)(const QString&))
{
    QMenu* menu = m_contextMenu->addMenu(title);
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    for (const PlaybackState::Choice& choice : choices) {
        QAction* entry = menu->addAction(choice.text);
        entry->setCheckable(true);
        entry->setChecked(choice.value == current);
        group->addAction(entry);
        connect(
            entry, &QAction::triggered, m_ui.mediaPlayer,
            [player = m_ui.mediaPlayer, apply, value = choice.value] { (player->*apply)(value); });
    }
    menu->setEnabled(!choices.isEmpty());
}

void MainWindow::clearContextMenu()
{
    if (m_contextMenu) {
        // It may be on its way out of its own event handling.
        m_contextMenu->deleteLater();
        m_contextMenu = nullptr;
    }
    if (m_channelNumberOverlay->isVisible())
        m_channelNumberOverlay->hide();
}

// ---- global hotkeys --------------------------------------------------------

void MainWindow::onGlobalHotkey(bool portal)
{
    qDebug("Hotkey message received.");
    if (isVisible())
        activateWindow();
    else
        restoreFromTray(QSystemTrayIcon::DoubleClick);
    if (portal && m_mode != MediaPortalMode)
        setMediaPortalMode();
    else if (!portal && m_mode != IptvMode)
        setIptvMode();
}
