#pragma once

#include "stb_server.pb.h"
#include "tv_server.pb.h"

#include <QObject>
#include <QPixmap>
#include <QString>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class TvClient;

// The one way to the operator's server: logs the PC in by its MAC address and
// runs the fixed chain of loads after it (server time, user information, the
// closed-channel picture, the stored player settings, the channel list and, if
// enabled, the user's own channel list), keeps the last answer of each, and
// offers the stream and save operations.
class TTVServerManager : public QObject
{
    Q_OBJECT
public:
    explicit TTVServerManager(QObject* parent = nullptr);
    ~TTVServerManager() override;

    // Creates the transport for the `server` setting; false when already done.
    bool init();

    void setMac(const QString& mac);
    void setShowUserChannels(bool show);
    void setUseGlobalChannelList(bool use);

    void authorize();
    void loadServerTime();
    void loadUserInfo();
    void loadCloseChannelImage();
    void loadUserSettings();
    void loadChannelList();
    bool loadCloseChannelPixmap();
    void loadUserChannelList(bool useShared, bool reportFullLoad);
    void saveUserChannelList(const proto::UserChannelData& data, bool useShared);
    void saveStbSettings(const proto::StbSettings& settings);
    bool openStream(int channelId, int offsetId);
    bool updateStream(int streamId);
    bool closeStream(int streamId);

    bool isInitialized() const { return m_initialized; }
    bool isAuthorized() const { return m_authorized; }
    bool isBusy() const { return m_busy; }
    bool isUserInfoLoaded() const { return m_userInfoLoaded; }
    bool isCloseChannelImageUrlLoaded() const { return m_closeChannelImageUrlLoaded; }
    bool isUserSettingsLoaded() const { return m_userSettingsLoaded; }
    bool isChannelListLoaded() const { return m_channelListLoaded; }
    bool isUserChannelListLoaded() const { return m_userChannelListLoaded; }

    // The stored answers; nothing until their load succeeded.
    const proto::GetUserInfoResponse* userInfo() const;
    const proto::GetImageUrlResponse* closeChannelImageUrl() const;
    const proto::GetStbSettingsResponse* userSettings() const;
    const proto::ChannelListResponse* channelList() const;
    const proto::UserChannelResponse* userChannelList() const;
    std::optional<QPixmap> closeChannelPixmap() const;
    // The "custom" JSON text of the stored player settings, when they have one.
    std::optional<QByteArray> storedCustomSettings() const;

    // The stream address of an answer: "udp://@group:port" or
    // "http://host:port/path"; empty for schemes the player does not take.
    static QString streamUrl(const proto::OpenStreamResponse& response);

signals:
    void ErrorInNetwork(QString aError);
    void ErrorAuthorize(QString aError);
    void ErrorGetServerTime();
    void ErrorLoadUserInfo();
    void ErrorLoadCloseChannelImgUrl();
    void ErrorLoadUserSettings();
    void ErrorLoadChannelInfo();
    void ErrorNotCorrectCompany(QString aError);
    void ErrorUserIsBlocked(QString aError);
    void ErrorLoadUserChannelList();
    void AuthorizeCompleted();
    void LoadAllClientInfoFromServerCompleted();
    void LoadUserChannelListCompleted();
    void SaveNewUserChannelListCompleted();
    void SaveNewStbSettingsCompleted();
    void OpenStreamCompleted(QString aUrl, int aStreamID, int aUpdateInterval);
    void UpdateStreamCompleted();
    void CloseStreamCompleted();
    void GetServerTimeCompleted(uint64_t aTime, int32_t aCurrentUtcOffset);

private slots:
    void onClientError(QString aError);
    void onAuthorizationCompleted(proto::AuthResponse& aResponse);
    void onLoadUserInfoCompleted(proto::GetUserInfoResponse& aResponse);
    void onLoadCloseChannelImageCompleted(proto::GetImageUrlResponse& aResponse);
    void onLoadUserSettingsCompleted(proto::GetStbSettingsResponse& aResponse);
    void onLoadChannelInfoCompleted(proto::ChannelListResponse& aResponse);
    void onLoadUserChannelListCompleted(proto::UserChannelResponse& aResponse);
    void onSaveNewUserChannelList(proto::SetUserChannelResponse& aResponse);
    void onSaveNewStbSettings(proto::SetStbSettingsResponse& aResponse);
    void onOpenStreamCompleted(proto::OpenStreamResponse& aResponse);
    void onUpdateStreamCompleted(proto::UpdateStreamResponse& aResponse);
    void onCloseStreamCompleted(proto::CloseStreamResponse& aResponse);
    void onGetServerTime(proto::TimeResponse& aResponse);
    void onGetCloseChannelPixmap(int id, bool is_error);

private:
    bool canSend() const { return m_initialized && m_authorized; }
    void connectClient();
    void forgetSession();
    void onImageReplyFinished(QNetworkReply* reply, int id);

    TvClient* m_client = nullptr;
    bool m_initialized = false;
    bool m_authorized = false;
    bool m_busy = false;
    bool m_userInfoLoaded = false;
    bool m_closeChannelImageUrlLoaded = false;
    bool m_userSettingsLoaded = false;
    bool m_channelListLoaded = false;
    bool m_userChannelListLoaded = false;
    bool m_reportFullLoad = false;
    QString m_mac;
    bool m_showUserChannels = false;
    bool m_useGlobalChannelList = true;
    QString m_authToken;
    QString m_closeChannelImageUrl;
    proto::GetUserInfoResponse m_userInfo;
    proto::GetImageUrlResponse m_imageUrl;
    proto::GetStbSettingsResponse m_userSettings;
    proto::ChannelListResponse m_channelList;
    proto::UserChannelResponse m_userChannels;
    QNetworkAccessManager* m_imageHttp = nullptr;
    int m_imageRequestId = -1;
    int m_lastImageRequestId = 0;
    QByteArray m_imageBuffer;
    QString m_imageError;
    QPixmap m_closeChannelPixmap;
};
