// The main window's keyboard, the remote control's digit entry, the mouse
// over the player area, the global hotkeys and the player's context menu.

#include "channel.h"
#include "channelmanager.h"
#include "channelnumberoverlay.h"
#include "globalhotkeys.h"
#include "keyrouter.h"
#include "mainwindow.h"
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
#include <functional>
#include <vector>

namespace {

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers Alt = Qt::AltModifier;
constexpr Qt::KeyboardModifiers CtrlAlt = Qt::ControlModifier | Qt::AltModifier;
constexpr Qt::KeyboardModifiers CtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

constexpr QPoint channelNumberOffset(30, 50);
constexpr int volumeStep = 5;
constexpr int wheelNotch = 120;
constexpr int deinterlaceOnMode = 5;  // "linear"

struct KeyRule
{
    std::vector<KeyChord> keys;
    std::function<bool()> condition;
    std::function<void()> effect;

    bool matches(const KeyChord& key) const
    {
        return std::find(keys.cbegin(), keys.cend(), key) != keys.cend();
    }
};

struct Hotkey
{
    int id;
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    MainWindow::Mode mode;
    void (MainWindow::*select)();
};

constexpr Hotkey hotkeys[] = {
    {0x344, CtrlAlt, Qt::Key_D, MainWindow::IptvMode, &MainWindow::setIptvMode},
    {0x342, CtrlAlt, Qt::Key_B, MainWindow::MediaPortalMode, &MainWindow::setMediaPortalMode},
    {0x254, Ctrl, Qt::Key_T, MainWindow::IptvMode, &MainWindow::setIptvMode},
    {0x245, Ctrl, Qt::Key_E, MainWindow::MediaPortalMode, &MainWindow::setMediaPortalMode},
};
static_assert(std::size(hotkeys) == 4, "one remembered identifier per hotkey");

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

}  // namespace

// ---- set-up ----------------------------------------------------------------

void MainWindow::setupInput()
{
    connect(this, &MainWindow::InputChannelFromPult, &m_digitEntry, &RemoteDigitEntry::append);
    connect(this, &MainWindow::PressBack, &m_digitEntry, &RemoteDigitEntry::backspace);
    connect(&m_digitEntry, &RemoteDigitEntry::textChanged, this, &MainWindow::showChannelNumber);
    connect(&m_digitEntry, &RemoteDigitEntry::channelChosen, this, &MainWindow::setNewChannel);
    connect(this, &MainWindow::setNewChannel, this, &MainWindow::onSetNewChannel);
    connect(mediaPlayer, &MediaPlayer::stopped, this, &MainWindow::clearContextMenu);
    connect(this, &MainWindow::modeChanged, this, [this](Mode mode) {
        if (mode != IptvMode)
            m_channelNumberOverlay->hide();
    });

    for (QWidget* widget : {static_cast<QWidget*>(mediaPlayer), static_cast<QWidget*>(labelLogo),
                            static_cast<QWidget*>(labelStandBy), mediaPortalBrowser,
                            static_cast<QWidget*>(tvProgramWidget), tvProgramWidget->viewport(),
                            static_cast<QWidget*>(volumeIndicator), m_closePictureWindow,
                            static_cast<QWidget*>(m_channelNumberOverlay)})
        watchInput(widget);

    new KeyRouter(this, [this](const QKeyEvent* event) { return handleKey(event); });
    // Buttons and sliders are worked with the mouse; the keys stay where the
    // user left them.
    for (QWidget* control : buttonPanel->findChildren<QAbstractButton*>())
        control->setFocusPolicy(Qt::NoFocus);
    for (QWidget* control :
         {static_cast<QWidget*>(volumeSlider), static_cast<QWidget*>(m_reconnectButton)})
        control->setFocusPolicy(Qt::NoFocus);

    m_globalHotkeys = new GlobalHotkeys(this);
    connect(m_globalHotkeys, &GlobalHotkeys::activated, this, &MainWindow::onGlobalHotkey);
    connect(Settings::instance(), &Settings::useHotKeysChanged, this,
            &MainWindow::setNewUseHotKeys);
    setNewUseHotKeys();
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
    // Time shift and digits do not end the handling: Ctrl+S also stops and
    // Backspace also steps back in the digit entry.
    const bool timeShifted = applyTimeShiftKey(key);
    const bool digit = applyDigitKey(key);
    m_lastKeyHandled = applyKeyRule(key) || timeShifted || digit;
    return m_lastKeyHandled;
}

bool MainWindow::canTimeShiftCurrentChannel() const
{
    if (m_mode != IptvMode || !m_timeMachine || !m_channelManager)
        return false;
    const Channel* channel = m_channelManager->currentChannel();
    return channel && channel->isAvailable() && channel->hasTimeOffsets();
}

// The timeshift manager itself refuses a step the channel cannot make.
bool MainWindow::applyTimeShiftKey(const KeyChord& key)
{
    using Step = void (TimeMachineManager::*)();
    const std::pair<KeyChord, Step> steps[] = {
        {{Qt::Key_Left, Ctrl}, &TimeMachineManager::setCurrentChannelTimeShiftPrev},
        {{Qt::Key_Left}, &TimeMachineManager::setCurrentChannelTimeShiftPrevProgram},
        {{Qt::Key_Right, Ctrl}, &TimeMachineManager::setCurrentChannelTimeShiftNext},
        {{Qt::Key_Right}, &TimeMachineManager::setCurrentChannelTimeShiftNextProgram},
        {{Qt::Key_S, Ctrl}, &TimeMachineManager::setCurrentChannelTimeShiftStartProgram},
        {{Qt::Key_Z, Ctrl}, &TimeMachineManager::setCurrentChannelOffTimeShift},
    };
    for (const auto& [chord, step] : steps) {
        if (chord == key && canTimeShiftCurrentChannel()) {
            (m_timeMachine->*step)();
            return true;
        }
    }
    return false;
}

bool MainWindow::applyDigitKey(const KeyChord& key)
{
    if (m_mode != IptvMode)
        return false;
    if (key.key >= Qt::Key_0 && key.key <= Qt::Key_9)
        emit InputChannelFromPult(key.key - Qt::Key_0);
    else if (key == KeyChord(Qt::Key_Backspace))
        emit PressBack();
    else
        return false;
    return true;
}

// The first rule whose key matches and whose condition holds ends the
// handling; false when none did.
bool MainWindow::applyKeyRule(const KeyChord& key)
{
    const auto always = [] { return true; };
    const auto inMode = [this](Mode mode) { return [this, mode] { return m_mode == mode; }; };
    const auto notInMode = [this](Mode mode) { return [this, mode] { return m_mode != mode; }; };
    const auto idlePortal = [this] { return m_mode == MediaPortalMode && isPlayerIdle(); };
    const std::vector<KeyRule> rules = {
        {{{Qt::Key_D, CtrlAlt}, {Qt::Key_T, Ctrl}}, notInMode(IptvMode), [this] { setIptvMode(); }},
        {{{Qt::Key_B, CtrlAlt}, {Qt::Key_E, Ctrl}},
         notInMode(MediaPortalMode),
         [this] { setMediaPortalMode(); }},
        {{{Qt::Key_D, CtrlShift}, {Qt::Key_B, CtrlShift}, {Qt::Key_R, CtrlShift}},
         inMode(MediaPortalMode),
         [this] { stepPortalMovie(-1); }},
        {{{Qt::Key_F, CtrlShift}}, inMode(MediaPortalMode), [this] { stepPortalMovie(+1); }},
        {{{Qt::Key_P, CtrlShift}, Qt::Key_MediaPlay, Qt::Key_Space},
         always,
         [this] { playOrPause(); }},
        {{{Qt::Key_P, Ctrl}}, always, [this] { mediaPlayer->togglePlay(); }},
        {{{Qt::Key_S, Ctrl}, Qt::Key_MediaStop, Qt::Key_Backspace},
         always,
         [this] { m_stopVideoAction->execute(); }},
        {{Qt::Key_R}, inMode(IptvMode), [this] { m_recordAction->execute(); }},
        {{Qt::Key_Return, Qt::Key_Enter, {Qt::Key_Return, Alt}, {Qt::Key_Enter, Alt}},
         [this] { return !isGuideShown(); },
         [this] { toggleFullscreen(); }},
        {{Qt::Key_D}, always, [this] { toggleDeinterlace(); }},
        {{Qt::Key_Q}, always, [this] { close(); }},
        {{Qt::Key_F1, {Qt::Key_C, CtrlAlt}, Qt::Key_C, Qt::Key_F2},
         inMode(IptvMode),
         [this] { buttonChannelList->toggle(); }},
        {{Qt::Key_A, Qt::Key_F4}, always, [this] { selectNextAudioTrack(); }},
        {{{Qt::Key_B, Ctrl}, Qt::Key_MediaPrevious},
         idlePortal,
         [this] { runPortalScript(QStringLiteral("walkMovies(-1);")); }},
        {{Qt::Key_MediaNext, {Qt::Key_F, Ctrl}},
         idlePortal,
         [this] { runPortalScript(QStringLiteral("walkMovies(+1);")); }},
        {{Qt::Key_T, Qt::Key_F3}, inMode(IptvMode), [this] { m_showTvProgramAction->execute(); }},
        {{Qt::Key_F8, Qt::Key_VolumeMute}, always, [this] { mediaPlayer->toggleMute(); }},
        {{Qt::Key_PageUp, Qt::Key_Up}, inMode(IptvMode), [this] { prevChannel(); }},
        {{Qt::Key_PageDown, Qt::Key_Down}, inMode(IptvMode), [this] { nextChannel(); }},
        {{Qt::Key_Plus, Qt::Key_VolumeUp}, always, [this] { changeVolumeBy(volumeStep); }},
        {{Qt::Key_Minus, Qt::Key_VolumeDown}, always, [this] { changeVolumeBy(-volumeStep); }},
        {{{Qt::Key_R, Ctrl}, Qt::Key_F5}, inMode(IptvMode), [this] { m_recordAction->execute(); }},
        {{{Qt::Key_R, Alt}, Qt::Key_F6},
         inMode(IptvMode),
         [this] { m_scheduledRecordListAction->execute(); }},
    };
    for (const KeyRule& rule : rules) {
        if (rule.matches(key) && rule.condition()) {
            rule.effect();
            return true;
        }
    }
    return false;
}

bool MainWindow::isPlayerIdle() const
{
    return mediaPlayer->playback().isStopped();
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
    const qint64 length = mediaPlayer->playback().length() / 1000;
    if (length <= 0)
        return;
    const qint64 target = mediaPlayer->playback().time() / 1000 + direction * (length / 100);
    if (direction < 0 ? target > 0 : target < length)
        mediaPlayer->setTime(int(target));
}

void MainWindow::playOrPause()
{
    if (isPlayerIdle())
        m_pauseOrPlayAction->execute();
    else
        mediaPlayer->togglePlay();
}

void MainWindow::toggleDeinterlace()
{
    Settings* store = Settings::instance();
    store->setDeinterlaceMode(store->deinterlaceMode() == 0 ? deinterlaceOnMode : 0);
}

void MainWindow::selectNextAudioTrack()
{
    const QMenu* menu = audioTracks->menu();
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
    mediaPlayer->setVolume(mediaPlayer->volume() + step);
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
    m_channelNumberOverlay->move(logoSwitcher->mapToGlobal(channelNumberOffset));
}

// ---- mouse over the player area --------------------------------------------

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tvProgramWidget || watched == tvProgramWidget->viewport())
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

// Whatever shows the portal page, the web view or a widget inside it.
bool MainWindow::isPortalWidget(const QObject* object) const
{
    const auto* widget = qobject_cast<const QWidget*>(object);
    const QWidget* portalPage = logoSwitcher->widget(PortalPage);
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
        scrollGuideToCurrentTelecast();
        searchProgram->selectAll();
        searchProgram->setFocus();
    }
    return false;
}

// Leaves a little of what went before the telecast on air in view.
void MainWindow::scrollGuideToCurrentTelecast()
{
    tvProgramWidget->scrollToAnchor(QStringLiteral("#currentTelecast"));
    QScrollBar* bar = tvProgramWidget->verticalScrollBar();
    bar->setValue(bar->value() - bar->pageStep() / 5);
}

bool MainWindow::onWatchedMousePress(const QObject* watched, const QMouseEvent* event)
{
    if (isPortalWidget(watched))
        return false;
    if (watched == volumeIndicator) {
        mediaPlayer->toggleMute();
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
    if (m_dragging)
        move(pos() + event->globalPosition().toPoint() - mapToGlobal(m_dragPosition));
    if (isFullScreen() && currentPage() != PortalPage)
        m_mouseHideTimer->start();
}

bool MainWindow::onWatchedContextMenu(const QObject* watched, const QContextMenuEvent* event)
{
    if (watched != mediaPlayer && watched != m_closePictureWindow)
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
    if (somethingToHear && mediaPlayer->playback().isPlaying())
        changeVolumeBy(delta / wheelNotch * volumeStep);
}

bool MainWindow::onWatchedDoubleClick(const QObject* watched, const QMouseEvent* event)
{
    if (isPortalWidget(watched) || watched == volumeIndicator || event->button() != Qt::LeftButton)
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
    const PlaybackState& playback = mediaPlayer->playback();
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
        connect(entry, &QAction::triggered, mediaPlayer,
                [player = mediaPlayer, apply, value = choice.value] { (player->*apply)(value); });
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

void MainWindow::setNewUseHotKeys()
{
    unregisterHotKeys();
    registerHotKeys();
}

void MainWindow::registerHotKeys()
{
    if (!m_globalHotkeys || !Settings::instance()->useHotKeys())
        return;
    for (std::size_t i = 0; i < std::size(hotkeys); ++i) {
        const Hotkey& hotkey = hotkeys[i];
        if (m_globalHotkeys->registerHotkey(hotkey.id, hotkey.modifiers, hotkey.key))
            m_hotkeyIds[i] = hotkey.id;
    }
}

void MainWindow::unregisterHotKeys()
{
    for (int& id : m_hotkeyIds) {
        if (id != 0 && m_globalHotkeys)
            m_globalHotkeys->unregisterHotkey(id);
        id = 0;
    }
}

void MainWindow::onGlobalHotkey(int id)
{
    qDebug("Hotkey message received.");
    const auto hotkey = std::find_if(std::cbegin(hotkeys), std::cend(hotkeys),
                                     [id](const Hotkey& entry) { return entry.id == id; });
    if (hotkey == std::cend(hotkeys))
        return;
    if (isVisible())
        activateWindow();
    else
        restoreFromTray(QSystemTrayIcon::DoubleClick);
    if (m_mode != hotkey->mode)
        (this->*hotkey->select)();
}
