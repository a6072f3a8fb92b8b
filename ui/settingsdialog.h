#pragma once

#include "mainwindow.h"
#include "ui_settingsdialog.h"

#include <QDialog>
#include <QList>

class Channel;
class ChannelManager;
class MediaPlayer;
class TTVServerManager;
class ZentriaServiceClient;

// The modal preferences dialog: the IPTV and additional preferences of the
// settings store, and the subscriber's own channel list, which the operator's
// server keeps. Preferences are stored only when the dialog is accepted; the
// user list is sent to the server then, and only when it was edited.
class SettingsDialog : public QDialog
{
    Q_OBJECT
public:
    // Every part of the player may be missing, as at a start without a
    // settings file; the user channel lists then stay empty.
    explicit SettingsDialog(QWidget* parent = nullptr, MainWindow::Mode mode = MainWindow::IptvMode,
                            MediaPlayer* player = nullptr, ZentriaServiceClient* service = nullptr,
                            TTVServerManager* server = nullptr, ChannelManager* channels = nullptr);

public slots:
    void accept() override;
    void browseSchedSaveFolder();
    void checkTabAction(int index);
    void allChannelsDstToSrc();
    void allChannelsSrcToDst();
    void channelListReceived();
    void loadError();
    void channelDstToSrc();
    void channelSrcToDst();
    void useUserChannelsChanged();
    void ShowUserChangeInfoToUser();
    void useGlobalChannelListChanged();
    void setMediaPlayer(MediaPlayer* player);
    void setZentriaServiceClient(ZentriaServiceClient* service);
    void setTVServerManager(TTVServerManager* server);
    void setChannelManager(ChannelManager* channels);
    void setMainWindowMode(MainWindow::Mode mode);
    // Runs the routing command with administrator rights and tells the user
    // how it ended.
    void performRouteChanges();
    bool isZentriaServiceSetAndActive() const;
    void ShowChannelList();
    void SaveNewUserChannelList();
    void SetChangeUserChannelListPanelEnabled(bool aEnabled);
    void ShowViewLoadingData();
    void HideViewLoadingData();
    void loadChannelList();

private:
    void fillNetworkInterfaces();
    void showStoredValues();
    void connectUserChannelControls();
    bool isServerReady() const;
    bool bothListsEmpty() const;
    void takeIntoUserList(int id);
    void clearChannelLists();
    void refreshChannelLists();
    void moveCurrentChannel(CustomChannelList::View* from, CustomChannelList::View* to);
    void moveAllChannels(CustomChannelList::View* from, CustomChannelList::View* to);
    void storeChoices();

    Ui::SettingsDialog m_ui;
    MediaPlayer* m_player = nullptr;
    ZentriaServiceClient* m_service = nullptr;
    TTVServerManager* m_server = nullptr;
    ChannelManager* m_channels = nullptr;
    MainWindow::Mode m_mode = MainWindow::IptvMode;
    // The server's channels, split into those the user has not chosen and the
    // user's own list in its order. Owned by the dialog.
    QList<Channel*> m_availableChannels;
    QList<Channel*> m_userChannels;
    bool m_listsLoaded = false;
    bool m_userListChanged = false;
};
