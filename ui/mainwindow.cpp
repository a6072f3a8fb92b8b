#include "mainwindow.h"

#include "aboutbox.h"
#include "appinfo.h"
#include "channel.h"
#include "channelmanager.h"
#include "channelnumberoverlay.h"
#include "channelprogramwidget.h"
#include "closepictureoverlay.h"
#include "customwebview.h"
#include "fullplaybackprogresswidget.h"
#include "fullscreenchannellist.h"
#include "fullscreenprogresspanel.h"
#include "fullstbsettings.h"
#include "margincropcontroller.h"
#include "mediaportalseriesmanager.h"
#include "messageboxes.h"
#include "playeractions.h"
#include "settings.h"
#include "showplayermessage.h"
#include "statisticswindow.h"
#include "tempinfowidget.h"
#include "timemachinemanager.h"
#include "traycontroller.h"
#include "ttvservermanager.h"
#include "versionchangesdialog.h"
#include "windowgeometry.h"
#include "zentriaserviceclient.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

#include <utility>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

Settings* settings()
{
    return Settings::instance();
}

QTimer* makeTimer(QObject* parent, int interval, bool singleShot,
                  Qt::TimerType type = Qt::CoarseTimer)
{
    auto* timer = new QTimer(parent);
    timer->setInterval(interval);
    timer->setSingleShot(singleShot);
    timer->setTimerType(type);
    return timer;
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent),
      m_timeMachine(new TimeMachineManager(this)),
      m_marginCrop(new MarginCropController(this)),
      m_reconnectButton(new QPushButton(tr("Reconnect"), this)),
      m_tray(new TrayController(*Settings::instance(), this)),
      m_serviceClient(new ZentriaServiceClient(this)),
      m_closePicture(new ClosePictureOverlay(this)),
      m_globalSecondTimer(makeTimer(this, 1000, false)),
      m_fullscreenProgrammeTimer(makeTimer(this, 3000, false)),
      // Part of every channel switch: a coarse timer may fire up to 10 ms late.
      m_blackBackgroundTimer(makeTimer(this, blackBackgroundMs, false, Qt::PreciseTimer)),
      m_presentation(*this, *Settings::instance()),
      m_seriesManager(new TMediaPortalSeriesManager(this)),
      m_seriesNameStartTimer(makeTimer(this, 1000, true)),
      m_seriesNameStopTimer(makeTimer(this, 3000, true)),
      m_channelNumberOverlay(new ChannelNumberOverlay(this))
{
    m_ui.setupUi(this);
    setWindowTitle(
        QStringLiteral("%1 %2").arg(AppInfo::name, QCoreApplication::applicationVersion()));
    m_statistics = new StatisticsWindow(this);
    m_statistics->setMediaPlayer(m_ui.mediaPlayer);
    m_marginCrop->setMediaPlayer(m_ui.mediaPlayer);
    m_reconnectButton->hide();
    m_reconnectButton->setEnabled(false);
    m_ui.statusBar->hide();
    for (QWidget* unused :
         {static_cast<QWidget*>(m_ui.buttonMediaPortalOllTv),
          static_cast<QWidget*>(m_ui.buttonYouTube), static_cast<QWidget*>(m_ui.buttonMosaic),
          static_cast<QWidget*>(m_ui.buttonRestartFtpPlayback)})
        unused->hide();

    connect(m_tray, &TrayController::toggleRequested, this, &MainWindow::toggleMinimizedToTray);
    connect(m_tray, &TrayController::restoreRequested, this,
            qOverload<>(&MainWindow::restoreFromTray));
    connect(m_tray, &TrayController::quitRequested, this, &MainWindow::requestQuit);
    connect(&m_closeSequence, &CloseSequence::sendSettings, this,
            &MainWindow::sendSettingsBeforeClose);
    connect(&m_closeSequence, &CloseSequence::closeStream, this, [this] {
        if (m_channelManager)
            m_channelManager->CloseStream();
    });
    connect(&m_closeSequence, &CloseSequence::quit, this, &MainWindow::onExit);
    // Wiring only: these may run in any order.
    connectWidgets();
    connectTimers();
    createPlayerActions();
    setupInput();
    setupPortal();
    setupSettings();
    setupGuide();
    setupRecording();
    setupRecordView();
    connectMediaPlayer();
    connectPresentation();
    setupOverlays();
    start();
}

void MainWindow::start()
{
    const QString windowsFolder = QProcessEnvironment::systemEnvironment().value("WINDIR");
    if (!windowsFolder.isEmpty())
        m_ui.mediaPlayer->setSubtitleFontFile(windowsFolder + QStringLiteral("\\Fonts\\times.ttf"));

    applySettings();
    m_ui.logoSwitcher->setCurrentIndex(LogoPage);
    const bool listVisible = settings()->isChannelListVisible();
    m_ui.lwChannelList->setVisible(listVisible);
    {
        const QSignalBlocker blocker(m_ui.buttonChannelList);
        m_ui.buttonChannelList->setChecked(listVisible);
    }
    m_ui.buttonChannelList->setToolTip(listVisible ? tr("Hide channel list (F2, c)")
                                                   : tr("Show channel list (F2, c)"));
    setMinimumSize(layout()->minimumSize());
    setupGeometry();
    showChannelNumbers(settings()->showChannelNumbers());
    m_ui.volumeSlider->setMaximum(MediaPlayer::maxVolume);
    m_presentation.overlays().panel()->progress()->volumeSlider()->setMaximum(
        MediaPlayer::maxVolume);
    connect(m_serviceClient, &ZentriaServiceClient::zentriaServiceActiv, this,
            &MainWindow::onGetZentriaServiceActivity);
    m_serviceClient->init(settings()->localServiceHost(), settings()->localServicePort());
    setupStartMode();
    m_globalSecondTimer->start();
    QMetaObject::invokeMethod(this, &MainWindow::offerVersionChanges, Qt::QueuedConnection);
}

MainWindow::~MainWindow()
{
    // The portal page answers its pending HTML requests as it dies, and the
    // actions that asked still expect a whole window.
    delete m_portalBrowser;
}

// ---- construction ----------------------------------------------------------

void MainWindow::connectWidgets()
{
    connect(m_ui.buttonIptv, &QToolButton::toggled, this, &MainWindow::setIptvMode);
    connect(m_ui.buttonMediaPortal, &QToolButton::toggled, this, &MainWindow::setMediaPortalMode);
    connect(m_ui.buttonMediaPortalOllTv, &QToolButton::toggled, this, &MainWindow::setOllTvMode);
    connect(m_ui.buttonRecordViewMode, &QToolButton::toggled, this, &MainWindow::setRecordViewMode);
    connect(m_ui.buttonChannelList, &QToolButton::toggled, this, &MainWindow::toggleChannelList);
    connect(m_ui.buttonPrevChannel, &QToolButton::clicked, this, &MainWindow::prevChannel);
    connect(m_ui.buttonNextChannel, &QToolButton::clicked, this, &MainWindow::nextChannel);
    connect(m_ui.buttonFullscreen, &QToolButton::clicked, this, &MainWindow::toggleFullscreen);
    connect(m_ui.buttonAbout, &QToolButton::clicked, this, &MainWindow::displayAboutBox);
    connect(m_ui.buttonAlwaysOnTop, &QToolButton::toggled, this,
            qOverload<bool>(&MainWindow::setAlwaysOnTop));
    connect(m_ui.buttonOnlyPlayer, &QToolButton::toggled, this, &MainWindow::setOnlyPlayerMode);
    connect(m_ui.buttonStatistics, &QToolButton::clicked, m_statistics, &QWidget::show);
    connect(m_ui.volumeSlider, &QSlider::valueChanged, m_ui.mediaPlayer, &MediaPlayer::setVolume);
    connect(m_ui.splitter, &QSplitter::splitterMoved, this, &MainWindow::saveChannelListWidth);
    connect(m_ui.splitter, &QSplitter::splitterMoved, this, &MainWindow::Resize);

    Settings* store = settings();
    connect(store, &Settings::changed, this, &MainWindow::applySettings);
    connect(store, &Settings::showingBlockedChannelsChanged, this,
            &MainWindow::setShowCloseChannel);
    connect(store, &Settings::useGPUAccelerationChanged, this, &MainWindow::setNewUseAcceleration);

    connect(this, &MainWindow::Resize, this, &MainWindow::onResizeZMP);
    connect(this, &MainWindow::ShowCloseChannelPic, this, &MainWindow::onShowCloseChannelPic);
    connect(this, &MainWindow::HidesCloseChannelPic, this, &MainWindow::onHidesCloseChannelPic);
    connect(m_timeMachine, &TimeMachineManager::openNewUrl, this, &MainWindow::openChannelNewUrl);
}

void MainWindow::createPlayerActions()
{
    m_videoOrPortalAction = new VideoOrPortalAction(*this, this);
    m_stopVideoAction = new StopVideoAction(*this, this);
    m_showTvProgramAction = new ShowTvProgramAction(*this, this);
    m_pauseOrPlayAction = new PauseOrPlayAction(*this, this);
    m_recordAction = new RecordAction(*this, this);
    m_scheduledRecordListAction = new ScheduledRecordListAction(*this, this);
    m_ftpLinkListAction = new FtpLinkListAction(*this, this);
    for (PlayerAction* action : {static_cast<PlayerAction*>(m_videoOrPortalAction),
                                 static_cast<PlayerAction*>(m_stopVideoAction),
                                 static_cast<PlayerAction*>(m_showTvProgramAction),
                                 static_cast<PlayerAction*>(m_ftpLinkListAction)})
        connect(this, &MainWindow::modeChanged, action, &PlayerAction::updateState);
    for (PlayerAction* action : {static_cast<PlayerAction*>(m_videoOrPortalAction),
                                 static_cast<PlayerAction*>(m_stopVideoAction)})
        connect(this, &MainWindow::switchedToVideo, action, &PlayerAction::updateState);
    for (PlayerAction* action : {static_cast<PlayerAction*>(m_showTvProgramAction),
                                 static_cast<PlayerAction*>(m_scheduledRecordListAction)})
        connect(m_ui.logoSwitcher, &QStackedWidget::currentChanged, action,
                &PlayerAction::updateState);
    connect(this, &MainWindow::modeChanged, m_pauseOrPlayAction, &PauseOrPlayAction::resetState);
    connect(this, &MainWindow::defaultMovieChanged, m_pauseOrPlayAction,
            &PauseOrPlayAction::resetState);
    connect(this, &MainWindow::portalPageRead, m_ftpLinkListAction, &FtpLinkListAction::updateMenu);
    const QList<QPair<QToolButton*, PlayerAction*>> buttons = {
        {m_ui.buttonMovieOrPortal, m_videoOrPortalAction},
        {m_ui.buttonStopPlayback, m_stopVideoAction},
        {m_ui.buttonTvProgram, m_showTvProgramAction},
        {m_ui.buttonPlayPause, m_pauseOrPlayAction},
        {m_ui.buttonRecord, m_recordAction},
        {m_ui.buttonScheduledRecordList, m_scheduledRecordListAction},
        {m_ui.buttonLinks, m_ftpLinkListAction}};
    for (const auto& [button, action] : buttons) {
        button->setDefaultAction(action);
        action->updateState();
    }
}

void MainWindow::connectTimers()
{
    connect(m_globalSecondTimer, &QTimer::timeout, this, &MainWindow::onGlobSecMainTimer);
    connect(m_fullscreenProgrammeTimer, &QTimer::timeout, this,
            &MainWindow::onTimerChannelFullScreenProgram);
    connect(m_blackBackgroundTimer, &QTimer::timeout, this,
            &MainWindow::onTimerChannelBlackBackground);
}

void MainWindow::connectMediaPlayer()
{
    connect(m_ui.mediaPlayer, &MediaPlayer::playing, m_blackBackgroundTimer,
            qOverload<>(&QTimer::start));
    connect(m_ui.mediaPlayer, &MediaPlayer::stopped, this, &MainWindow::switchToLogo);
    connect(m_ui.mediaPlayer, &MediaPlayer::volumeChanged, this, &MainWindow::updateVolume);
    connect(m_ui.mediaPlayer, &MediaPlayer::aspectRatioChanged, this,
            &MainWindow::updateAspectRatio);
    connect(m_ui.mediaPlayer, &MediaPlayer::cropChanged, this, &MainWindow::updateCropValue);
    connect(m_ui.mediaPlayer, &MediaPlayer::playbackError, this, &MainWindow::handlePlaybackError);
}

void MainWindow::setupGeometry()
{
    WindowGeometry::restore(*this, *settings());
}

void MainWindow::setupStartMode()
{
    const int lastMode = settings()->lastMode();
    if (lastMode == MediaPortalMode && !settings()->isUserVodAvailable())
        setIptvMode();
    else
        setMode(Mode(lastMode), true);
    if (lastMode == IptvMode)
        m_ui.buttonMediaPortal->setEnabled(false);
}

void MainWindow::offerVersionChanges()
{
    if (settings()->versionInfo() == QCoreApplication::applicationVersion())
        return;
    auto* dialog = new VersionChangesDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(windowTitle() + QStringLiteral(" - ") + dialog->windowTitle());
    dialog->open();
}

// ---- the managers ----------------------------------------------------------

void MainWindow::setChannelManager(ChannelManager* manager)
{
    if (manager == m_channelManager)
        return;
    if (m_channelManager) {
        m_channelManager->disconnect(this);
        m_reconnectButton->disconnect(m_channelManager);
        m_channelManager->setChannelChangeGuard(nullptr);
    }
    m_channelManager = manager;
    m_ui.lwChannelList->setChannelManager(manager);
    m_presentation.overlays().setChannelManager(manager);
    m_timeMachine->setChannelManager(manager);
    if (!manager) {
        m_reconnectButton->setEnabled(false);
        return;
    }
    manager->setShowCloseChannel(settings()->showBlockedChannels());
    manager->setUserChannelList(settings()->showUserChannels());
    connect(manager, &ChannelManager::loadUserInfoFinished, this, &MainWindow::onUserInfoLoaded);
    connect(manager, &ChannelManager::loadDenyImageFinished, this,
            &MainWindow::onCloseChannelPicLoaded);
    connect(manager, &ChannelManager::loadTimeShiftDenyImageFinished, this,
            &MainWindow::onCloseTimeShiftPicLoaded);
    connect(manager, &ChannelManager::getCurrentChannelUrl, this, &MainWindow::runMediaPlayer);
    m_reconnectButton->setEnabled(true);
    connect(manager, &ChannelManager::currentChannelChanged, this, &MainWindow::setCurrentChannel);
    connect(manager, &ChannelManager::loadFinished, this, &MainWindow::setLastChannel);
    connect(m_reconnectButton, &QPushButton::clicked, manager, &ChannelManager::load);
    connect(m_reconnectButton, &QPushButton::clicked, m_ui.statusBar, &QWidget::hide);
    connect(m_reconnectButton, &QPushButton::clicked, m_ui.statusBar, &StatusBar::clear);
    manager->setChannelChangeGuard(this);
    if (m_mode == IptvMode)
        setLastChannel();
    else
        manager->cancelLoad();
}

ChannelManager* MainWindow::channelManager() const
{
    return m_channelManager;
}

bool MainWindow::playerIdle() const
{
    return m_ui.mediaPlayer->playback().isStopped();
}

bool MainWindow::playerPlaying() const
{
    return m_ui.mediaPlayer->playback().isPlaying();
}

void MainWindow::setTVServerManager(TTVServerManager* manager)
{
    if (m_serverManager || !manager || !manager->init())
        return;
    m_serverManager = manager;
    connect(manager, &TTVServerManager::ErrorInNetwork, this, &MainWindow::onServerNetworkError);
    connect(manager, &TTVServerManager::SaveNewStbSettingsCompleted, &m_closeSequence,
            &CloseSequence::settingsSaved);
    // A log-in that failed is tried again from the start.
    connect(m_reconnectButton, &QPushButton::clicked, manager, &TTVServerManager::authorize);
    connect(manager, &TTVServerManager::ErrorNotCorrectCompany, this,
            &MainWindow::startPlayerErrorShow);
    connect(manager, &TTVServerManager::ErrorUserIsBlocked, this,
            &MainWindow::startPlayerErrorShow);
    connect(manager, &TTVServerManager::ErrorAuthorize, this, &MainWindow::startPlayerErrorShow);
    connect(manager, &TTVServerManager::LoadAllClientInfoFromServerCompleted, this,
            &MainWindow::onLoadingServerDataCompleted);
    manager->setMac(settings()->macAddress());
    manager->setShowUserChannels(settings()->showUserChannels());
    manager->setUseGlobalChannelList(settings()->useGlobalChannelList());
    manager->authorize();
}

// The log-in has loaded everything; the channel manager builds its list from
// it and reports loadFinished(), on which the last channel is made current.
void MainWindow::onLoadingServerDataCompleted() {}

// ---- modes -----------------------------------------------------------------

void MainWindow::setIptvMode()
{
    setMode(IptvMode);
}

// The portal button is enabled exactly while the subscriber has the portal.
void MainWindow::setMediaPortalMode()
{
    if (m_ui.buttonMediaPortal->isEnabled())
        setMode(MediaPortalMode);
}

void MainWindow::setRecordViewMode()
{
    setMode(RecordViewMode);
}

void MainWindow::setOllTvMode()
{
    setMode(OllTvMode);
}

void MainWindow::setMode(MainWindow::Mode value)
{
    setMode(value, false);
}

void MainWindow::setMode(MainWindow::Mode value, bool force)
{
    const QList<QPair<QToolButton*, Mode>> buttons = {{m_ui.buttonIptv, IptvMode},
                                                      {m_ui.buttonMediaPortal, MediaPortalMode},
                                                      {m_ui.buttonRecordViewMode, RecordViewMode},
                                                      {m_ui.buttonMediaPortalOllTv, OllTvMode}};
    for (const auto& [button, mode] : buttons) {
        const QSignalBlocker blocker(button);
        button->setChecked(mode == value);
    }
    if (value != IptvMode && m_closePicture->isVisible())
        emit HidesCloseChannelPic();
    if (value == MediaPortalMode)
        m_timeMachine->setNewChannel(nullptr);
    if (value == RecordViewMode)
        m_ui.progressWidget->reset();
    if (value == m_mode && !force) {
        applySplitterSizes();
        emit Resize();
        return;
    }
    if (m_mode == IptvMode && value != IptvMode && !allowChannelChange(m_currentChannel, nullptr)) {
        for (const auto& [button, mode] : buttons) {
            const QSignalBlocker blocker(button);
            button->setChecked(mode == m_mode);
        }
        return;
    }
    m_mode = value;
    m_presentation.overlays().hideAll();
    {
        const QSignalBlocker blocker(settings());
        settings()->setLastMode(value);
    }
    setupCurrentMode();
    emit modeChanged(value);
    applySplitterSizes();
    emit Resize();
}

void MainWindow::setupCurrentMode()
{
    const bool iptv = m_mode == IptvMode;
    m_ui.statusBar->clear();
    m_ui.statusBar->hide();
    for (QWidget* channelButton : {static_cast<QWidget*>(m_ui.buttonChannelList),
                                   static_cast<QWidget*>(m_ui.buttonPrevChannel),
                                   static_cast<QWidget*>(m_ui.buttonNextChannel)})
        channelButton->setVisible(iptv);
    if (iptv) {
        m_ui.volumeSlider->setEnabled(false);
        if (m_channelManager) {
            if (!m_channelManager->isLoaded() && !m_channelManager->isLoading())
                m_channelManager->load();
            else
                setLastChannel();
        }
        m_ui.lwChannelList->setVisible(settings()->isChannelListVisible() &&
                                       !m_presentation.isOnlyPlayer());
        m_ui.logoSwitcher->setCurrentIndex(LogoPage);
        m_ui.subtitles->hide();
        showTelevisionProgress();
    } else {
        if (m_channelManager)
            m_channelManager->cancelLoad();
        m_ui.lwChannelList->hide();
        m_marginCrop->reset();
        // Until a film plays.
        m_ui.progressWidget->hide();
        if (m_mode == RecordViewMode) {
            m_ui.logoSwitcher->setCurrentIndex(RecordingsPage);
            enterRecordView();
        } else {
            m_ui.logoSwitcher->setCurrentIndex(m_mode == MediaPortalMode ? PortalPage : OllTvPage);
            showMovieProgress(m_defaultMovieTitle);
            m_ui.subtitles->show();
            settings()->setPortalWasShown(true);
            if (m_mode == MediaPortalMode)
                loadLinksToSeriesManager();
        }
    }
    setupVideoDependentButtons();
}

void MainWindow::applySplitterSizes()
{
    const int width = m_ui.splitter->width();
    if (!m_ui.lwChannelList->isVisible()) {
        m_ui.splitter->setSizes({width, 0});
        return;
    }
    // A profile that never had its list resized stores no width yet.
    int listWidth = settings()->channelListWidth();
    if (listWidth <= 0)
        listWidth = defaultChannelListWidth;
    m_ui.splitter->setSizes({width - listWidth, listWidth});
}

bool MainWindow::videoOnScreen() const
{
    const int page = m_ui.logoSwitcher->currentIndex();
    return page == VideoPage || page == StandByPage || page == TvProgramPage;
}

// ---- the channel switch ----------------------------------------------------

void MainWindow::prevChannel()
{
    if (!m_channelManager || !m_channelManager->currentChannel())
        return;
    const int index = m_channelManager->indexOf(m_channelManager->currentChannel());
    if (Channel* channel = m_channelManager->channelAt(index - 1)) {
        m_channelManager->setCurrentChannel(channel);
        selectChannelInLists();
    }
}

void MainWindow::nextChannel()
{
    if (!m_channelManager || !m_channelManager->currentChannel())
        return;
    const int index = m_channelManager->indexOf(m_channelManager->currentChannel());
    if (Channel* channel = m_channelManager->channelAt(index + 1)) {
        m_channelManager->setCurrentChannel(channel);
        selectChannelInLists();
    }
}

void MainWindow::setLastChannel()
{
    if (!m_channelManager || !m_channelManager->isLoaded())
        return;
    Channel* channel = m_channelManager->channelByName(settings()->lastChannel());
    if (!channel)
        return;
    m_channelManager->setCurrentChannel(channel);
    selectChannelInLists();
}

// The list models follow the manager's current channel by themselves; the
// lists only need to bring it into view.
void MainWindow::selectChannelInLists()
{
    m_ui.lwChannelList->scrollToCurrentChannel();
}

void MainWindow::setCurrentChannel(Channel* channel)
{
    if (m_mode != IptvMode)
        return;
    m_ui.volumeSlider->setEnabled(false);
    stopSubtrackPolling();
    clearSubtitles();
    clearAudioTracks();
    m_ui.buttonPrevChannel->setEnabled(false);
    m_ui.buttonNextChannel->setEnabled(false);
    if (!m_channelManager || !channel) {
        m_currentChannel = nullptr;
        stopIfPlaying();
        return;
    }
    if (channel->isAvailable()) {
        m_currentChannel = channel;
        {
            const QSignalBlocker blocker(settings());
            settings()->setLastChannel(channel->name());
        }
        showPageUnlessGuide(StandByPage);
        m_ui.volumeSlider->setEnabled(true);
        m_ui.searchProgram->setText(QStringLiteral("ch:\"%1\"").arg(channel->name()));
        startProgramSearch();
        applyPictureSettings();
        m_channelManager->PlayCurrentChannel();
        m_ui.statusBar->hide();
        if (isFullScreen() && m_channelProgrammeOverlayEnabled)
            showChannelProgrammeForAWhile();
        m_trackMenus.preferLanguageOnce();
        keepChannelListsInStep();
        m_ui.buttonPrevChannel->setEnabled(true);
        m_ui.buttonNextChannel->setEnabled(true);
        emit HidesCloseChannelPic();
    } else {
        m_currentChannel = channel;
        stopIfPlaying();
        if (!isGuideShown())
            emit ShowCloseChannelPic(ChannelDenyPicture);
    }
    setupVideoDependentButtons();
}

void MainWindow::runMediaPlayer(QString aUrl)
{
    int volume = settings()->globalVolume();
    if (!settings()->useGlobalVolume() && m_currentChannel)
        volume = m_currentChannel->volume() * MediaPlayer::maxVolume / 100;
    m_ui.mediaPlayer->open(aUrl, true, volume);
    m_ui.statusBar->hide();
    applyPictureSettings();
}

void MainWindow::openChannelNewUrl(QString url)
{
    Q_UNUSED(url)  // the channel's new offset is played through the manager
    showPageUnlessGuide(StandByPage);
    if (!m_channelManager || !m_channelManager->currentChannel()) {
        m_ui.mediaPlayer->stop();
        return;
    }
    applyPictureSettings();
    m_channelManager->PlayCurrentChannel();
    m_ui.statusBar->hide();
    if (isFullScreen()) {
        showChannelProgrammeForAWhile();
        const Channel* channel = m_timeMachine->channel();
        m_presentation.overlays().showBanner(channel ? channel->currentTelecast() : nullptr,
                                             time_t(m_timeMachine->lastShiftedTime()));
    }
    // No answer of the server marks a channel closed for timeshift, so the
    // timeshift picture has nothing to show.
    emit HidesCloseChannelPic();
}

void MainWindow::applyPictureSettings()
{
    m_ui.mediaPlayer->setDeinterlace(DeinterlaceMode(settings()->deinterlaceMode()));
    // The player keeps the geometry and applies it to every new picture; a
    // value it was only shown would give way to its own at the first one.
    m_ui.mediaPlayer->setAspectRatio(settings()->aspectRatio());
    m_ui.mediaPlayer->setCrop(settings()->crop());
}

void MainWindow::showPageUnlessGuide(Page page)
{
    if (!isGuideShown())
        m_ui.logoSwitcher->setCurrentIndex(page);
}

bool MainWindow::isGuideShown() const
{
    return m_ui.logoSwitcher->currentIndex() == TvProgramPage;
}

void MainWindow::stopIfPlaying()
{
    if (m_ui.mediaPlayer->playback().isPlaying())
        m_ui.mediaPlayer->stop();
}

void MainWindow::onTimerChannelBlackBackground()
{
    m_blackBackgroundTimer->stop();
    if (!isGuideShown()) {
        m_ui.logoSwitcher->setCurrentIndex(VideoPage);
        qDebug("[MainWindow] video page shown");
        emit switchedToVideo();
    }
    m_ui.progressWidget->show();
    setupVideoDependentButtons();
}

void MainWindow::switchToLogo()
{
    if (std::exchange(m_stopBeforeFilm, false))
        return;
    m_ui.volumeSlider->setEnabled(false);
    switch (m_mode) {
        case IptvMode:
            if (m_ui.logoSwitcher->currentIndex() != TvProgramPage)
                m_ui.logoSwitcher->setCurrentIndex(LogoPage);
            break;
        case MediaPortalMode:
            // The series manager has opened the next episode already.
            if (m_seriesManager->isActive())
                break;
            m_ui.logoSwitcher->setCurrentIndex(PortalPage);
            hideProgress();
            if (isFullScreen())
                toggleFullscreen();
            break;
        case RecordViewMode:
            m_ui.logoSwitcher->setCurrentIndex(RecordingsPage);
            hideProgress();
            if (isFullScreen())
                toggleFullscreen();
            break;
        default:
            break;
    }
    setupVideoDependentButtons();
    if (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
}

void MainWindow::toggleTvProgram(bool toggle)
{
    if (toggle != (currentPage() == TvProgramPage))
        m_showTvProgramAction->trigger();
}

void MainWindow::switchToPlayer()
{
    showPage(VideoPage);
}

void MainWindow::showPage(Page page)
{
    m_ui.logoSwitcher->setCurrentIndex(page);
    setupVideoDependentButtons();
}

void MainWindow::onResizeZMP()
{
    QApplication::postEvent(this, new QResizeEvent(size(), size()));
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_closePicture->follow(m_ui.logoSwitcher);
    placeChannelNumberOverlay();
    m_presentation.overlays().follow(m_ui.logoSwitcher);
}

void MainWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    m_presentation.overlays().follow(m_ui.logoSwitcher);
    emit Resize();
}

// ---- settings --------------------------------------------------------------

void MainWindow::applySettings()
{
    const Settings* store = settings();
    const bool deinterlaced = m_mode == IptvMode || m_mode == RecordViewMode;
    m_ui.mediaPlayer->setDeinterlace(DeinterlaceMode(deinterlaced ? store->deinterlaceMode() : 0));
    // Reported, not fatal: playback is still attempted.
    if (!store->hasNetworkInterfaceAddress())
        qDebug("No IPv4 interface found");
    m_ui.mediaPlayer->setGPUAcceleration(store->useGPUAcceleration());
    m_ui.mediaPlayer->setNetworkCaching(store->networkCaching());
    m_ui.mediaPlayer->setHttpReconnect(store->useHttpReconnect());
    m_ui.mediaPlayer->setRecordPath(store->recordSaveFolder());
    {
        const QSignalBlocker blocker(m_ui.mediaPlayer);
        m_ui.mediaPlayer->setVolume(store->globalVolume());
    }
    if (m_channelManager)
        m_channelManager->setShowCloseChannel(store->showBlockedChannels());
}

void MainWindow::setShowCloseChannel()
{
    if (m_channelManager)
        m_channelManager->setShowCloseChannel(settings()->showBlockedChannels());
}

void MainWindow::setNewUseAcceleration()
{
    m_ui.mediaPlayer->setGPUAcceleration(settings()->useGPUAcceleration());
}

void MainWindow::onGlobSecMainTimer()
{
    if (m_ui.mediaPlayer->playback().isPlaying())
        m_ui.mediaPlayer->setDeinterlace(DeinterlaceMode(settings()->deinterlaceMode()));
    FullPlaybackProgressWidget* panelProgress = m_presentation.overlays().panel()->progress();
    if (panelProgress->isVisible())
        panelProgress->refresh();
}

void MainWindow::onGetZentriaServiceActivity(bool active)
{
    qDebug(active ? "Player Service is active" : "Player Service not active");
    m_serviceActive = active;
}

void MainWindow::onUserInfoLoaded()
{
    if (!m_channelManager)
        return;
    const UserInformation& user = m_channelManager->userInformation();
    const bool portal = user.videoOnDemand && !user.blocked;
    settings()->setUserVodAvailable(portal);
    m_ui.buttonMediaPortal->setEnabled(portal);
    if (!portal && m_mode == MediaPortalMode)
        setIptvMode();
}

void MainWindow::updateAspectRatio(QString value)
{
    settings()->setAspectRatio(value);
}

void MainWindow::updateCropValue(QString value)
{
    settings()->setCrop(value);
}

// ---- errors ----------------------------------------------------------------

void MainWindow::startPlayerErrorShow(QString text)
{
    m_ui.statusBar->error(text);
    m_ui.statusBar->show();
}

void MainWindow::handlePlaybackError(QString error)
{
    if (m_mode == MediaPortalMode) {
        // A box behind a window that stays on top could not be answered.
        if (m_ui.buttonAlwaysOnTop->isChecked())
            m_ui.buttonAlwaysOnTop->setChecked(false);
        // A failed episode ends its series.
        m_seriesManager->deactivateSeriesManager();
        MessageBoxes::show(MessageBoxes::Kind::Warning, this, tr("Playback Error"),
                           tr("An error occured while trying to play FTP movie."));
    } else {
        startPlayerErrorShow(error);
    }
    m_pauseOrPlayAction->resetState();
}

// Without a channel list there is nothing to watch: a network error then is a
// failed load, which the "Reconnect" button can try again.
void MainWindow::onServerNetworkError(QString text)
{
    if (m_channelManager && !m_channelManager->isLoaded())
        connectError(text);
    else
        startPlayerErrorShow(text);
}

void MainWindow::connectError(QString text)
{
    if (m_mode != IptvMode)
        return;
    m_ui.statusBar->error(text, m_reconnectButton);
    m_ui.statusBar->show();
}

void MainWindow::onTimerChannelFullScreenProgram()
{
    m_fullscreenProgrammeTimer->stop();
    m_fullscreenProgrammeShown = true;
    m_presentation.overlays().channelProgramme()->hide();
}

void MainWindow::displayAboutBox()
{
    AboutBox about(m_ui.mediaPlayer->versionText(), this);
    about.exec();
}

void MainWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    applySplitterSizes();
    setAlwaysOnTop(settings()->isAlwaysOnTop(), true);
    if (std::exchange(m_firstShow, false))
        setupGeometry();
}

// ---- closing ---------------------------------------------------------------

proto::StbSettings MainWindow::getFullStbSettings() const
{
    QList<FullStbSettings::ChannelVolume> volumes;
    if (m_channelManager) {
        for (const Channel* channel : *m_channelManager->GetChannelsList())
            volumes.append({channel->id(), channel->volume()});
    }
    return FullStbSettings::build(settings()->globalVolume(), settings()->useGlobalVolume(),
                                  m_channelManager ? &volumes : nullptr);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->setAccepted(!handleEndRequest(true));
}

void MainWindow::requestQuit()
{
    handleEndRequest(false);
}

// Stores the window, then hides it or runs the close sequence; false when the
// player is quitting already and the window may close.
bool MainWindow::handleEndRequest(bool windowClosed)
{
    const CloseSequence::Step step =
        m_closeSequence.stepFor(windowClosed, settings()->closeToTray() && m_tray->isAvailable());
    if (step == CloseSequence::Step::Accept)
        return false;
    saveWindowGeometry();
    if (step == CloseSequence::Step::HideToTray)
        hideToTray();
    else
        runCloseSequence();
    return true;
}

void MainWindow::saveWindowGeometry()
{
    if (m_closePicture->isVisible())
        emit HidesCloseChannelPic();
    m_channelNumberOverlay->hide();
    WindowGeometry::store(*this, *settings());
}

void MainWindow::runCloseSequence()
{
    const bool playing = m_ui.mediaPlayer->playback().isPlaying();
    if (!m_closeSequence.start(m_mode == IptvMode && playing))
        return;
    m_tray->hide();
    if (playing)
        m_ui.mediaPlayer->stop();
}

void MainWindow::sendSettingsBeforeClose()
{
    if (m_channelManager && m_serverManager)
        m_serverManager->saveStbSettings(getFullStbSettings());
}

void MainWindow::onExit()
{
    qDebug("[MainWindow::onExit] application close");
    close();
    QApplication::quit();
}

#ifdef Q_OS_WIN
bool MainWindow::nativeEvent(const QByteArray& eventType, void* message, qintptr* result)
{
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message == ShowPlayerMessage::messageId) {
        onShowPlayerMessage();
        *result = 0;
        return true;
    }
    return QWidget::nativeEvent(eventType, message, result);
}
#endif
