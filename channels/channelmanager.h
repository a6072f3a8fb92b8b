#pragma once

#include "userinformation.h"

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

class Channel;
class ChannelChangeGuard;
class QTimer;
class Telecast;
class TTVServerManager;
struct ServerAnswers;

// The channel list built from the server's answers after log-in: which
// channels are visible, which one is current, and the stream of the current
// channel, kept alive at the interval the server asks for.
class ChannelManager : public QObject
{
    Q_OBJECT
public:
    enum LoadState { Idle = 0, Loading = 1, SavingVolume = 2 };
    static constexpr int kDefaultUpdateInterval = 10;  // seconds

    explicit ChannelManager(QObject* parent = nullptr);
    ~ChannelManager() override;

    // Once; the channel list is built when the manager's log-in has loaded
    // everything.
    void setServerManager(TTVServerManager* server);
    void setChannelChangeGuard(ChannelChangeGuard* guard) { m_guard = guard; }

    // Builds the channel list as after log-in, from the given answers.
    void loadFrom(const ServerAnswers& answers);

    // Through the guard; a refused change leaves everything as it was.
    void setCurrentChannel(Channel* channel);
    Channel* currentChannel() const { return m_current; }
    Channel* previousChannel() const { return m_previous; }

    // Visible channels: all of them, or only the available ones while closed
    // channels are hidden.
    int channelCount() const { return int(m_visible.size()); }
    Channel* channelAt(int index) const;
    int indexOf(Channel* channel) const;
    Channel* channelByName(const QString& name) const;
    int closedChannelCount() const { return m_closedCount; }

    // Telecasts whose title holds the text, in any case; no text gives every
    // telecast. No channel name searches every visible channel with a guide.
    QList<Telecast*> findTelecasts(const QString& channelName, const QString& text) const;

    int serverChannelCount() const;
    bool isLoading() const { return m_loadState == Loading; }
    bool isLoaded() const { return m_loaded; }
    LoadState loadState() const { return m_loadState; }
    QPixmap closeChannelPixmap() const;
    const UserInformation& userInformation() const { return m_userInformation; }

    bool showHD() const { return m_showHD; }
    bool showCloseChannel() const { return m_showCloseChannel; }
    bool userChannelList() const { return m_userChannelList; }

    bool isStreamOpen() const { return m_streamOpen; }
    int streamId() const { return m_streamId; }
    int updateInterval() const { return m_updateInterval; }  // seconds; -1 before any open
    int keepAliveInterval() const;                           // milliseconds

signals:
    void loadStarted();
    void loadFinished();
    void loadDenyImageFinished();
    void loadTimeShiftDenyImageFinished();
    void loadUserInfoFinished();
    void loadFailed();
    void channelListChanged();
    void currentChannelChanged(Channel* aChannel);
    void getCurrentChannelUrl(QString aUrl);

public slots:
    void load();
    void cancelLoad();
    void clear();
    void setShowHD(bool show);
    void setShowCloseChannel(bool show);
    void setUserChannelList(bool use);
    void saveVolume();
    void PlayCurrentChannel();
    void OpenStream();
    void UpdateStream();
    void CloseStream();
    const QList<Channel*>* GetChannelsList() const { return &m_channels; }

private slots:
    void channelListReceived();
    void volumeSaved();
    void iptvServerError();
    void clearAndReload();
    void denyImageReceived();
    void timeShiftDenyImageReceived();
    void userInfoReceived();
    void onLoadingServerDataCompleted();
    void onOpenStreamCompleted(QString aUrl, int aStreamID, int aUpdateInterval);
    void onUpdateStreamTimer();

private:
    bool takeUserChannelList(const ServerAnswers& answers) const;
    void updateVisibleChannels();
    void changeFlag(bool& flag, bool value);

    QTimer* m_keepAliveTimer;
    bool m_streamOpen = false;
    int m_streamId = -1;
    int m_updateInterval = -1;
    TTVServerManager* m_server = nullptr;
    QList<Channel*> m_channels;
    QList<Channel*> m_visible;
    bool m_showHD = true;
    bool m_showCloseChannel = true;
    bool m_userChannelList = false;
    int m_closedCount = 0;
    LoadState m_loadState = Idle;
    Channel* m_current = nullptr;
    Channel* m_previous = nullptr;
    bool m_loaded = false;
    ChannelChangeGuard* m_guard = nullptr;
    UserInformation m_userInformation;
};
