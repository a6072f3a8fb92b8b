#pragma once

#include "channelchangeguard.h"
#include "closesequence.h"
#include "keyrepeatfilter.h"
#include "playeractionhost.h"
#include "presentation.h"
#include "recordcontrollerhost.h"
#include "remotedigitentry.h"
#include "trackmenus.h"
#include "ui_mainwindow.h"

#include <QPointer>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QWidget>
#include <functional>

#include "stb_params.pb.h"

class Channel;
class ChannelManager;
class ChannelNumberOverlay;
class ClosePictureOverlay;
struct KeyContext;
namespace KeyRules {
enum class Action;
}
class CustomWebView;
class FtpLinkListAction;
class FullPlaybackProgressWidget;
class GuidePage;
class RecordController;
class MarginCropController;
class PauseOrPlayAction;
class RecordAction;
class ScheduledRecordListAction;
class ShowTvProgramAction;
class StopVideoAction;
class VideoOrPortalAction;
class QMenu;
class QWebEngineLoadingInfo;
class QPushButton;
class QTimer;
class StatisticsWindow;
class TMediaPortalSeriesManager;
class TTVServerManager;
class TimeMachineManager;
class TrayController;
class ZentriaServiceClient;

// The player's one top-level window: toolbar, channel list, the stacked
// player area, the bottom panel and the status bar. The channel manager, the
// media player, timeshift and the server session meet here.
class MainWindow : public QWidget,
                   public ChannelChangeGuard,
                   public PlayerActionHost,
                   public RecordControllerHost
{
    Q_OBJECT
public:
    enum ClosePicType { ChannelDenyPicture = 1, TimeShiftDenyPicture = 2 };
    Q_ENUM(ClosePicType)

    static constexpr int blackBackgroundMs = 200;
    static constexpr int defaultChannelListWidth = 300;

    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    void setChannelManager(ChannelManager* manager);
    void setTVServerManager(TTVServerManager* manager);
    bool allowChannelChange(Channel* from, Channel* to) override;

    StatusBar* statusBarWidget() const { return m_ui.statusBar; }
    QPushButton* reconnectButton() const { return m_reconnectButton; }
    int currentPage() const override { return m_ui.logoSwitcher->currentIndex(); }
    QStackedWidget* pageStack() const { return m_ui.logoSwitcher; }
    void showPage(Page page) override;
    ChannelManager* channelManager() const override;
    bool playerIdle() const override;
    bool playerPlaying() const override;

    // recording
    bool inIptvMode() const override { return m_mode == IptvMode; }
    void switchToIptvMode() override;
    QWidget* questionParent() const override;
    bool playerRecording() const override;
    void startPlayer() override;
    bool startRecording(const QString& path) override;
    void stopRecording() override;

    void setDefaultMovie(const QString& url, const QString& title);
    QString defaultMovieUrl() const override { return m_defaultMovieUrl; }
    QString defaultMovieTitle() const override { return m_defaultMovieTitle; }
    void playFtpMovie(const QString& url, int position) override;
    TMediaPortalSeriesManager* seriesManager() const { return m_seriesManager; }

    // portal
    // Runs JavaScript in the portal page's main frame; nothing while the
    // portal page was never shown.
    void runPortalScript(const QString& script);
    CustomWebView* portalBrowser() const { return m_portalBrowser; }

    void setupVideoDependentButtons();
    // Shows each separator of the button row only between visible groups.
    void updateSeparators() override;

    // keys, digits and mouse
    // The player's context menu while it exists; it is built when asked for.
    QMenu* contextMenu() const;

signals:
    void modeChanged(MainWindow::Mode value);
    void switchedToVideo();
    void defaultMovieChanged();
    void moviePlaying();
    void setNewChannel(int aChannel);
    void InputChannelFromPult(int aKey);
    void PressBack();
    void Resize();
    void ShowCloseChannelPic(MainWindow::ClosePicType aPicType);
    void HidesCloseChannelPic();
    void playerPlay(QString);
    // portal
    // The portal page's title changed, or its page finished loading: its HTML
    // as read then.
    void portalPageRead(const QString& html);

public slots:
    void toggleChannelList();
    // Shows or hides the programme guide page, as its tool button does.
    void toggleTvProgram(bool toggle);
    void nextChannel();
    void prevChannel();
    void switchToLogo();
    void switchToPlayer();
    void applySettings();
    void toggleFullscreen();
    void setAlwaysOnTop(bool onTop, bool changeSettings);
    void setAlwaysOnTop(bool onTop);
    void MakeFormActiv();
    void hideToTray();
    void restoreFromTray(QSystemTrayIcon::ActivationReason reason);
    void restoreFromTray();
    void toggleMinimizedToTray();
    void runMediaPlayer(QString aUrl);
    void startPlayerErrorShow(QString text);
    void connectError(QString text);
    void onServerNetworkError(QString text);
    void handlePlaybackError(QString error);
    void setMode(MainWindow::Mode value, bool force);
    void setMode(MainWindow::Mode value);
    MainWindow::Mode getMode() const override { return m_mode; }
    bool videoOnScreen() const;
    MediaPlayer* getMediaPlayer() const override { return m_ui.mediaPlayer; }
    ZentriaServiceClient* getZentriaServiceClient() const { return m_serviceClient; }
    void setIptvMode();
    void setMediaPortalMode();
    void setRecordViewMode();
    void setOllTvMode();
    // A second start asked the player to come to the front.
    void onShowPlayerMessage();
    // Ends the player through the close sequence, whatever close-to-tray says:
    // the tray's Quit and a termination request from the system.
    void requestQuit();
    // programme guide
    void checkSearchText(const QString& text);
    void startProgramSearch();
    void reformatTvProgram();
    void toggleTelecastRecording(const QUrl& link);
    // recordings
    RecordController* getRecordController() const { return m_recordController; }
    RecordController* recordController() const override { return m_recordController; }
    void updateRecordViewCurrentPath(const QString& path);
    void playLocalMovie(const QString& fileName);
    // portal
    // What a click on a portal link does: a film plays in the window, a
    // film-database page opens in the system's browser, the rest is ignored.
    void playFtpMovie(const QUrl& aUrl, int position = 0);
    void updateCurrentMovieInfo();
    void reloadMediaPortal();
    void loadLinksToSeriesManager();
    void showSerialName(const QString& serialName);
    void onOpenNewSeries();
    void onFtmrSeriesNameStartShowTimer();
    void onFtmrSeriesNameStopShowTimer();
    // settings
    void showSettingsDialog();

private slots:
    void openChannelNewUrl(QString url);
    void setCurrentChannel(Channel* channel);
    void updateVolume();
    void updateAspectRatio(QString value);
    void updateCropValue(QString value);
    void setOnlyPlayerMode(bool value);
    void displayAboutBox();
    void saveChannelListWidth();
    void setShowCloseChannel();
    void setNewUseAcceleration();
    void setLastChannel();
    void setupCurrentMode();
    void onUserInfoLoaded();
    void onCloseChannelPicLoaded();
    void onCloseTimeShiftPicLoaded();
    void onShowCloseChannelPic(MainWindow::ClosePicType type);
    void onHidesCloseChannelPic();
    void onTimerChannelBlackBackground();
    void onTimerChannelFullScreenProgram();
    void onGlobSecMainTimer();
    void onGetZentriaServiceActivity(bool active);
    void onResizeZMP();
    void onLoadingServerDataCompleted();
    proto::StbSettings getFullStbSettings() const;
    void onExit();
    // keys, digits and mouse
    void onSetNewChannel(int aChannel);
    void onGlobalHotkey(bool portal);
    void prepareContextMenu();
    void clearContextMenu();
    // presentation
    void hideMouseCursor();
    void showOnlyPlayer(bool value);
    void setupAudioTracks();
    void clearAudioTracks();
    void setupSubtitles();
    void clearSubtitles();
    void startSubtrackPolling();
    void stopSubtrackPolling();

protected:
    // keys, digits and mouse
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#endif

private:
    void saveWindowGeometry();
    bool handleEndRequest(bool windowClosed);
    // Sends the settings, closes the stream and quits shortly after; once.
    void runCloseSequence();
    void sendSettingsBeforeClose();
    void connectTimers();
    // What the window shows first; runs once everything is connected.
    void start();
    void connectWidgets();
    void connectMediaPlayer();
    void setupGeometry();
    void setupStartMode();
    void offerVersionChanges();
    void applySplitterSizes();
    void createPlayerActions();
    void selectChannelInLists();
    void applyPictureSettings();
    void showPageUnlessGuide(Page page);
    bool isGuideShown() const;
    void stopIfPlaying();
    // presentation
    void connectPresentation();
    void setupOverlays();
    void showTelevisionProgress();
    void showMovieProgress(const QString& title);
    void hideProgress();
    void showChannelProgrammeForAWhile();
    void keepChannelListsInStep();
    void showChannelNumbers(bool show);
    bool anotherWindowHasForeground() const;
    // programme guide
    void setupGuide();
    // recording and the recordings page
    void setupRecording();
    void setupRecordView();
    void enterRecordView();
    // settings
    void setupSettings();
    // portal
    void setupPortal();
    void prepareTextureComposition();
    void createPortalBrowser();
    void connectSeriesManager();
    void onPortalPageShown();
    void onPortalLoadingChanged(const QWebEngineLoadingInfo& loading);
    void onPortalPageChanged();
    // Hands the portal page's HTML to receiver once the page gives it; an
    // empty text while the portal page was never shown. The page may answer
    // while it is being destroyed.
    void requestPortalHtml(const std::function<void(const QString&)>& receiver);
    void updateSeriesButtons();
    // Stops what plays before a film opens, so that the stop's report does
    // not bring the page of films back over it.
    void stopForFilm();
    // keys, digits and mouse
    void setupInput();
    // The window sees the mouse and wheel of the widget (the event filter).
    void watchInput(QWidget* widget);
    void placeChannelNumberOverlay();
    void showChannelNumber(const QString& digits);
    bool handleKey(const QKeyEvent* event);
    KeyContext keyContext() const;
    void runKeyAction(KeyRules::Action action, const KeyChord& key);
    bool canTimeShiftCurrentChannel() const;
    bool isPlayerIdle() const;
    void stepPortalMovie(int direction);
    void playOrPause();
    void toggleDeinterlace();
    void selectNextAudioTrack();
    void changeVolumeBy(int step);
    bool isPortalWidget(const QObject* object) const;
    bool isVolumeIndicator(const QObject* object) const;
    FullPlaybackProgressWidget* panelProgress() const;
    bool filterGuideEvent(QEvent* event);
    void scrollGuideToCurrentTelecast();
    bool onWatchedMousePress(const QObject* watched, const QMouseEvent* event);
    void onWatchedMouseMove(const QMouseEvent* event);
    bool onWatchedContextMenu(const QObject* watched, const QContextMenuEvent* event);
    void onWatchedWheel(const QWheelEvent* event);
    bool onWatchedDoubleClick(const QObject* watched, const QMouseEvent* event);
    void addGeometryMenu(const QString& title, const QList<PlaybackState::Choice>& choices,
                         const QString& current, void (MediaPlayer::*apply)(const QString&));

    Ui::MainWindow m_ui;
    Mode m_mode = IptvMode;
    QPointer<ChannelManager> m_channelManager;
    TTVServerManager* m_serverManager = nullptr;
    TimeMachineManager* m_timeMachine;
    StatisticsWindow* m_statistics;
    MarginCropController* m_marginCrop;
    QPushButton* m_reconnectButton;
    TrayController* const m_tray;
    ZentriaServiceClient* const m_serviceClient;
    bool m_serviceActive = false;
    ClosePictureOverlay* const m_closePicture;

    QTimer* const m_globalSecondTimer;
    QTimer* const m_fullscreenProgrammeTimer;
    QTimer* const m_blackBackgroundTimer;
    // presentation
    Presentation m_presentation;
    TrackMenus m_trackMenus;

    VideoOrPortalAction* m_videoOrPortalAction;
    StopVideoAction* m_stopVideoAction;
    ShowTvProgramAction* m_showTvProgramAction;
    PauseOrPlayAction* m_pauseOrPlayAction;
    RecordAction* m_recordAction;
    ScheduledRecordListAction* m_scheduledRecordListAction;
    FtpLinkListAction* m_ftpLinkListAction;
    CustomWebView* m_portalBrowser = nullptr;
    bool m_portalLoadFailed = false;
    TMediaPortalSeriesManager* const m_seriesManager;
    QTimer* const m_seriesNameStartTimer;
    QTimer* const m_seriesNameStopTimer;
    GuidePage* m_guidePage = nullptr;
    RecordController* m_recordController = nullptr;

    QString m_defaultMovieUrl;
    QString m_defaultMovieTitle;
    Channel* m_currentChannel = nullptr;
    bool m_pausedByTray = false;
    // The player's stop before a recorded film opens, yet to come back.
    bool m_stopBeforeFilm = false;
    bool m_fullscreenProgrammeShown = false;
    bool m_channelProgrammeOverlayEnabled = false;
    bool m_firstShow = true;
    // keys, digits and mouse
    KeyRepeatFilter m_keyRepeatFilter;
    bool m_lastKeyHandled = false;
    ChannelNumberOverlay* const m_channelNumberOverlay;
    RemoteDigitEntry m_digitEntry;
    CloseSequence m_closeSequence;
    bool m_dragging = false;
    QPoint m_dragPosition;
    QPointer<QMenu> m_contextMenu;
};
