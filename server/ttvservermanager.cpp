#include "ttvservermanager.h"

#include "serverclock.h"
#include "settings.h"
#include "tvclient.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>

TTVServerManager::TTVServerManager(QObject* parent) : QObject(parent) {}

TTVServerManager::~TTVServerManager() = default;

bool TTVServerManager::init()
{
    if (m_initialized)
        return false;
    const Settings* settings = Settings::instance();
    m_client = new TvClient(settings->serverHost(), settings->serverPort(), this);
    connectClient();
    m_imageHttp = new QNetworkAccessManager(this);
    m_imageHttp->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_initialized = true;
    return true;
}

void TTVServerManager::connectClient()
{
    connect(m_client, &TvClient::error, this, &TTVServerManager::onClientError);
    connect(m_client, &TvClient::authorizeDone, this, &TTVServerManager::onAuthorizationCompleted);
    connect(m_client, &TvClient::getUserInfoDone, this, &TTVServerManager::onLoadUserInfoCompleted);
    connect(m_client, &TvClient::getCloseChannelImageDone, this,
            &TTVServerManager::onLoadCloseChannelImageCompleted);
    connect(m_client, &TvClient::getUserSettingsDone, this,
            &TTVServerManager::onLoadUserSettingsCompleted);
    connect(m_client, &TvClient::getChannelsDone, this,
            &TTVServerManager::onLoadChannelInfoCompleted);
    connect(m_client, &TvClient::getUserChannelListDone, this,
            &TTVServerManager::onLoadUserChannelListCompleted);
    connect(m_client, &TvClient::setUserChannelListDone, this,
            &TTVServerManager::onSaveNewUserChannelList);
    connect(m_client, &TvClient::setStbSettingsDone, this, &TTVServerManager::onSaveNewStbSettings);
    connect(m_client, &TvClient::openStreamDone, this, &TTVServerManager::onOpenStreamCompleted);
    connect(m_client, &TvClient::updateStreamDone, this,
            &TTVServerManager::onUpdateStreamCompleted);
    connect(m_client, &TvClient::closeStreamDone, this, &TTVServerManager::onCloseStreamCompleted);
    connect(m_client, &TvClient::getServerTimeDone, this, &TTVServerManager::onGetServerTime);
}

void TTVServerManager::setMac(const QString& mac)
{
    m_mac = mac;
}

void TTVServerManager::setShowUserChannels(bool show)
{
    m_showUserChannels = show;
}

void TTVServerManager::setUseGlobalChannelList(bool use)
{
    m_useGlobalChannelList = use;
}

// ---- the log-in chain -------------------------------------------------------

// Every call starts the chain afresh, as "Reconnect" does after a failed
// log-in: what the previous chain held or still awaits is dropped.
void TTVServerManager::authorize()
{
    if (!m_initialized || m_mac.isEmpty())
        return;
    forgetSession();
    qDebug("Use mac: %s", qPrintable(m_mac));
    proto::AuthRequest request;
    proto::DeviceInfo* device = request.mutable_device();
    device->set_type(proto::DT_IPTV_Player);
    device->set_mac(m_mac.toLocal8Bit().toStdString());
    device->mutable_firmware()->set_versioncode(0);
    device->mutable_firmware()->set_versionstring(
        QCoreApplication::applicationVersion().toStdString());
    m_busy = true;
    m_client->authorize(request);
}

void TTVServerManager::forgetSession()
{
    m_client->cancelAll();
    m_imageRequestId = -1;
    m_imageBuffer.clear();
    m_authToken.clear();
    m_closeChannelImageUrl.clear();
    m_authorized = m_busy = m_reportFullLoad = false;
    m_userInfoLoaded = m_closeChannelImageUrlLoaded = m_userSettingsLoaded = false;
    m_channelListLoaded = m_userChannelListLoaded = false;
}

void TTVServerManager::onAuthorizationCompleted(proto::AuthResponse& aResponse)
{
    m_busy = false;
    if (aResponse.status() != proto::AuthResponse::OK) {
        qDebug("ERROR authorization");
        emit ErrorAuthorize(tr("Error authorize. Please call for support"));
        return;
    }
    m_authorized = true;
    m_authToken = QString::fromStdString(aResponse.auth_token());
    emit AuthorizeCompleted();
    loadServerTime();
}

void TTVServerManager::loadServerTime()
{
    if (!canSend())
        return;
    proto::TimeRequest request;
    request.set_auth(m_authToken.toStdString());
    m_busy = true;
    m_client->getServerTime(request);
}

void TTVServerManager::onGetServerTime(proto::TimeResponse& aResponse)
{
    m_busy = false;
    if (aResponse.status() != proto::TimeResponse::OK) {
        qDebug("ERROR get server time");
        emit ErrorGetServerTime();
        return;
    }
    const int32_t offset = aResponse.time_zone().current_utc_offset();
    emit GetServerTimeCompleted(aResponse.time(), offset);
    ServerClock::synchronise(quint32(aResponse.time()), offset);
    loadUserInfo();
}

void TTVServerManager::loadUserInfo()
{
    if (!canSend())
        return;
    proto::GetUserInfoRequest request;
    request.set_auth(m_authToken.toStdString());
    m_busy = true;
    m_client->getUserInfo(request);
}

void TTVServerManager::onLoadUserInfoCompleted(proto::GetUserInfoResponse& aResponse)
{
    m_busy = false;
    if (aResponse.status() != proto::GetUserInfoResponse::OK) {
        qDebug("ERROR load user info");
        emit ErrorLoadUserInfo();
        return;
    }
    m_userInfo = aResponse;
    m_userInfoLoaded = true;
    const proto::UserInfo& info = aResponse.info();
    if (info.company_id() != 1 && info.company_id() != 2) {
        emit ErrorNotCorrectCompany(tr("Error connect to server. Please call for support"));
        return;
    }
    if (info.is_blocked()) {
        if (info.balance() < 0) {
            emit ErrorUserIsBlocked(tr("Error user is blocked. In your acaunt %1 rub.")
                                        .arg(QString::number(double(info.balance()))));
        } else {
            emit ErrorUserIsBlocked(tr("Error user is blocked"));
        }
        return;
    }
    loadCloseChannelImage();
}

void TTVServerManager::loadCloseChannelImage()
{
    if (!canSend())
        return;
    proto::GetImageUrlRequest request;
    request.mutable_device()->set_type(proto::DT_IPTV_Player);
    request.set_auth(m_authToken.toStdString());
    request.set_image(proto::STB_IMG_Channel_Deny_zmp);
    m_busy = true;
    m_client->getCloseChannelImage(request);
}

void TTVServerManager::onLoadCloseChannelImageCompleted(proto::GetImageUrlResponse& aResponse)
{
    m_busy = false;
    if (aResponse.status() != proto::GetImageUrlResponse::OK) {
        qDebug("ERROR load close channel image url");
        emit ErrorLoadCloseChannelImgUrl();
        return;
    }
    m_imageUrl = aResponse;
    m_closeChannelImageUrlLoaded = true;
    m_closeChannelImageUrl = QString::fromStdString(aResponse.url());
    loadUserSettings();
}

void TTVServerManager::loadUserSettings()
{
    if (!canSend())
        return;
    proto::GetStbSettingsRequest request;
    request.set_auth(m_authToken.toStdString());
    m_busy = true;
    m_client->getUserSettings(request);
}

void TTVServerManager::onLoadUserSettingsCompleted(proto::GetStbSettingsResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::GetStbSettingsResponse::OK) {
        qDebug("ERROR load user settings");
        emit ErrorLoadUserSettings();
        return;
    }
    m_userSettings = aResponse;
    m_userSettingsLoaded = true;
    loadChannelList();
}

void TTVServerManager::loadChannelList()
{
    if (!canSend())
        return;
    proto::ChannelListRequest request;
    request.set_auth(m_authToken.toStdString());
    request.set_need_icons(true);
    request.set_need_epg(true);
    request.set_need_offsets(true);
    m_busy = true;
    m_client->getChannels(request);
}

void TTVServerManager::onLoadChannelInfoCompleted(proto::ChannelListResponse& aResponse)
{
    m_busy = false;
    if (aResponse.status() != proto::ChannelListResponse::OK) {
        qDebug("ERROR load channel info");
        emit ErrorLoadChannelInfo();
        return;
    }
    m_channelListLoaded = true;
    // The guide makes this answer large; this manager is the transport's only
    // receiver, so the answer can be taken over rather than copied.
    m_channelList.Swap(&aResponse);
    loadCloseChannelPixmap();
}

bool TTVServerManager::loadCloseChannelPixmap()
{
    if (!m_initialized || !m_closeChannelImageUrlLoaded || m_closeChannelImageUrl.isEmpty())
        return false;
    const QUrl source(m_closeChannelImageUrl, QUrl::StrictMode);
    if (!source.isValid() || source.host().isEmpty())
        return false;
    // Only host, port and path count: a query in the address is not sent.
    QUrl target;
    target.setScheme(QStringLiteral("http"));
    target.setHost(source.host());
    target.setPort(source.port(80));
    target.setPath(source.path());

    const int id = ++m_lastImageRequestId;
    m_imageRequestId = id;
    m_imageBuffer.clear();
    QNetworkReply* reply = m_imageHttp->get(QNetworkRequest(target));
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, id] { onImageReplyFinished(reply, id); });
    return true;
}

void TTVServerManager::onImageReplyFinished(QNetworkReply* reply, int id)
{
    reply->deleteLater();
    if (id != m_imageRequestId)
        return;  // a download of an abandoned chain must not touch the buffer
    // An error status still brings a body; it just does not decode.
    const bool failed = TvClient::isTransportError(reply);
    if (failed)
        m_imageError = reply->errorString();
    else
        m_imageBuffer = reply->readAll();
    onGetCloseChannelPixmap(id, failed);
}

void TTVServerManager::onGetCloseChannelPixmap(int id, bool is_error)
{
    if (id != m_imageRequestId)
        return;
    m_imageRequestId = -1;
    if (is_error) {
        qDebug("ERROR load deny image [%s]", qPrintable(m_imageError));
        return;
    }
    m_closeChannelPixmap.loadFromData(m_imageBuffer);
    m_imageBuffer.clear();
    if (m_showUserChannels)
        loadUserChannelList(m_useGlobalChannelList, true);
    else
        emit LoadAllClientInfoFromServerCompleted();
}

void TTVServerManager::loadUserChannelList(bool useShared, bool reportFullLoad)
{
    if (!m_initialized)
        return;
    proto::UserChannelRequest request;
    request.set_auth(m_authToken.toStdString());
    request.set_use_shared(useShared);
    m_reportFullLoad = reportFullLoad;
    m_busy = true;
    m_client->getUserChannelList(request);
}

void TTVServerManager::onLoadUserChannelListCompleted(proto::UserChannelResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::UserChannelResponse::OK) {
        qDebug("ERROR load user channel list");
        emit ErrorLoadUserChannelList();
        return;
    }
    m_userChannelListLoaded = true;
    m_userChannels = aResponse;
    if (m_reportFullLoad)
        emit LoadAllClientInfoFromServerCompleted();
    else
        emit LoadUserChannelListCompleted();
}

// ---- saving ----------------------------------------------------------------

void TTVServerManager::saveUserChannelList(const proto::UserChannelData& data, bool useShared)
{
    if (!m_initialized)
        return;
    proto::SetUserChannelRequest request;
    request.set_auth(m_authToken.toStdString());
    request.mutable_data()->set_enabled(data.enabled());
    *request.mutable_data()->mutable_channel_id() = data.channel_id();
    request.set_use_shared(useShared);
    m_busy = true;
    m_client->setUserChannelList(request);
}

void TTVServerManager::onSaveNewUserChannelList(proto::SetUserChannelResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::SetUserChannelResponse::OK) {
        qDebug("ERROR save new user channel list");
        return;
    }
    emit SaveNewUserChannelListCompleted();
}

void TTVServerManager::saveStbSettings(const proto::StbSettings& settings)
{
    if (!m_initialized)
        return;
    proto::SetStbSettingsRequest request;
    request.set_auth(m_authToken.toStdString());
    proto::StbSettings* data = request.mutable_data();
    data->set_volume(settings.volume());
    proto::ChannelVolume* volumes = data->mutable_channel_volume();
    volumes->set_enabled(settings.channel_volume().enabled());
    if (volumes->enabled())
        *volumes->mutable_record() = settings.channel_volume().record();
    m_busy = true;
    m_client->setStbSettings(request);
}

void TTVServerManager::onSaveNewStbSettings(proto::SetStbSettingsResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::SetStbSettingsResponse::OK) {
        qDebug("ERROR save new stb settings");
        return;
    }
    emit SaveNewStbSettingsCompleted();
}

// ---- streams ---------------------------------------------------------------

bool TTVServerManager::openStream(int channelId, int offsetId)
{
    if (!canSend())
        return false;
    proto::OpenStreamRequest request;
    request.set_auth(m_authToken.toStdString());
    request.set_channel_id(channelId);
    request.set_offset_id(offsetId);
    request.add_accept_scheme(proto::Multicast_UDP);
    request.add_accept_scheme(proto::HTTP_UDP);
    m_busy = true;
    m_client->openStream(request);
    return true;
}

QString TTVServerManager::streamUrl(const proto::OpenStreamResponse& response)
{
    switch (response.scheme()) {
        case proto::Multicast_UDP: {
            const proto::IPPort& group = response.multicast_group();
            return QStringLiteral("udp://@%1:%2")
                .arg(QString::fromStdString(group.address()))
                .arg(group.port());
        }
        case proto::HTTP_UDP: {
            const proto::HttpStreamer& stream = response.http_stream();
            return QStringLiteral("http://%1:%2%3")
                .arg(QString::fromStdString(stream.host().address()))
                .arg(stream.host().port())
                .arg(QString::fromStdString(stream.url()));
        }
        default:
            return QString();
    }
}

void TTVServerManager::onOpenStreamCompleted(proto::OpenStreamResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::OpenStreamResponse::OK) {
        qDebug("ERROR open stream");
        return;
    }
    emit OpenStreamCompleted(streamUrl(aResponse), aResponse.stream_id(),
                             int(aResponse.update_interval()));
}

bool TTVServerManager::updateStream(int streamId)
{
    if (!canSend())
        return false;
    proto::UpdateStreamRequest request;
    request.set_auth(m_authToken.toStdString());
    request.set_stream_id(streamId);
    m_busy = true;
    m_client->updateStream(request);
    return true;
}

void TTVServerManager::onUpdateStreamCompleted(proto::UpdateStreamResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::UpdateStreamResponse::OK) {
        qDebug("ERROR update stream");
        return;
    }
    emit UpdateStreamCompleted();
}

bool TTVServerManager::closeStream(int streamId)
{
    if (!canSend())
        return false;
    proto::CloseStreamRequest request;
    request.set_auth(m_authToken.toStdString());
    request.set_stream_id(streamId);
    m_busy = true;
    m_client->closeStream(request);
    return true;
}

void TTVServerManager::onCloseStreamCompleted(proto::CloseStreamResponse& aResponse)
{
    m_busy = false;
    if (aResponse.result() != proto::CloseStreamResponse::OK) {
        qDebug("ERROR close stream");
        return;
    }
    emit CloseStreamCompleted();
}

void TTVServerManager::onClientError(QString aError)
{
    // The failed call has ended like any other: a busy flag left set would
    // stop the stream keep-alive for good.
    m_busy = false;
    qDebug("ERROR in server manager : %s", qPrintable(aError));
    emit ErrorInNetwork(tr("Network error"));
}

// ---- stored answers --------------------------------------------------------

const proto::GetUserInfoResponse* TTVServerManager::userInfo() const
{
    return m_initialized && m_userInfoLoaded ? &m_userInfo : nullptr;
}

const proto::GetImageUrlResponse* TTVServerManager::closeChannelImageUrl() const
{
    return m_initialized && m_closeChannelImageUrlLoaded ? &m_imageUrl : nullptr;
}

const proto::GetStbSettingsResponse* TTVServerManager::userSettings() const
{
    return m_initialized && m_userSettingsLoaded ? &m_userSettings : nullptr;
}

std::optional<QByteArray> TTVServerManager::storedCustomSettings() const
{
    const proto::GetStbSettingsResponse* stored = userSettings();
    if (!stored || !stored->has_data() || !stored->data().has_custom())
        return std::nullopt;
    return QByteArray::fromStdString(stored->data().custom());
}

const proto::ChannelListResponse* TTVServerManager::channelList() const
{
    return m_initialized && m_channelListLoaded ? &m_channelList : nullptr;
}

const proto::UserChannelResponse* TTVServerManager::userChannelList() const
{
    return m_initialized && m_userChannelListLoaded ? &m_userChannels : nullptr;
}

std::optional<QPixmap> TTVServerManager::closeChannelPixmap() const
{
    if (!m_closeChannelImageUrlLoaded)
        return std::nullopt;
    return m_closeChannelPixmap;
}
