#include "channelmanager.h"

#include "channel.h"
#include "channelchangeguard.h"
#include "channellistbuilder.h"
#include "settings.h"
#include "telecast.h"
#include "ttvservermanager.h"

#include <QStringMatcher>
#include <QTimer>

#include <algorithm>
#include <climits>

ChannelManager::ChannelManager(QObject* parent)
    : QObject(parent), m_keepAliveTimer(new QTimer(this))
{
    connect(m_keepAliveTimer, &QTimer::timeout, this, &ChannelManager::onUpdateStreamTimer);
    m_keepAliveTimer->start(kDefaultUpdateInterval * 1000);
}

ChannelManager::~ChannelManager() = default;

void ChannelManager::setServerManager(TTVServerManager* server)
{
    if (m_server || !server)
        return;
    m_server = server;
    connect(server, &TTVServerManager::LoadAllClientInfoFromServerCompleted, this,
            &ChannelManager::onLoadingServerDataCompleted);
    connect(server, &TTVServerManager::OpenStreamCompleted, this,
            &ChannelManager::onOpenStreamCompleted);
}

// ---- building the list -------------------------------------------------------

void ChannelManager::onLoadingServerDataCompleted()
{
    loadFrom(ServerAnswers::of(*m_server));
}

void ChannelManager::loadFrom(const ServerAnswers& answers)
{
    if (!m_channels.isEmpty())
        clear();
    if (answers.channelList) {
        if (takeUserChannelList(answers)) {
            qDebug("[ChannelManager] load user channel list ");
            m_channels = ChannelListBuilder::userList(*answers.channelList,
                                                      answers.userChannelList->data(), this);
        } else {
            qDebug("[ChannelManager] load full channel list ");
            m_channels = ChannelListBuilder::fullList(*answers.channelList, this);
        }
        if (answers.userSettings && answers.userSettings->has_data())
            ChannelListBuilder::applyVolumes(m_channels, *answers.userSettings);
    }
    m_userInformation =
        answers.userInfo ? UserInformation::from(answers.userInfo->info()) : UserInformation();
    channelListReceived();
    denyImageReceived();
    userInfoReceived();
    timeShiftDenyImageReceived();
    m_loaded = true;
}

// An empty or missing user list turns the user's list off for good.
bool ChannelManager::takeUserChannelList(const ServerAnswers& answers) const
{
    Settings* settings = Settings::instance();
    if (!settings->showUserChannels())
        return false;
    if (answers.userChannelList && !answers.userChannelList->data().channel_id().empty())
        return true;
    qDebug("Loaded user channel list is empty. Off use channel list");
    settings->setShowUserChannels(false);
    return false;
}

void ChannelManager::channelListReceived()
{
    m_closedCount = int(std::count_if(m_channels.cbegin(), m_channels.cend(),
                                      [](const Channel* c) { return !c->isAvailable(); }));
    updateVisibleChannels();
    emit channelListChanged();
}

void ChannelManager::denyImageReceived()
{
    emit loadDenyImageFinished();
}

void ChannelManager::timeShiftDenyImageReceived()
{
    emit loadTimeShiftDenyImageFinished();
}

void ChannelManager::userInfoReceived()
{
    m_loadState = Idle;
    m_loaded = true;
    qDebug("[ChannelManager] channel list loaded: %d channels", int(m_channels.size()));
    emit loadUserInfoFinished();
    emit loadFinished();
}

// ---- load state ------------------------------------------------------------

void ChannelManager::load()
{
    m_loaded = false;
    m_loadState = Loading;
    emit loadStarted();
}

void ChannelManager::cancelLoad()
{
    m_loadState = Idle;
}

void ChannelManager::saveVolume()
{
    m_loadState = SavingVolume;
}

void ChannelManager::volumeSaved()
{
    m_loadState = Idle;
}

void ChannelManager::iptvServerError()
{
    if (m_loadState == Loading)
        emit loadFailed();
    m_loadState = Idle;
}

void ChannelManager::clear()
{
    m_loadState = Idle;
    m_current = nullptr;
    emit currentChannelChanged(nullptr);
    m_loaded = false;
    m_previous = nullptr;
    m_visible.clear();
    m_closedCount = 0;
    qDeleteAll(m_channels);
    m_channels.clear();
    emit channelListChanged();
}

void ChannelManager::clearAndReload()
{
    const bool wasLoaded = m_loaded;
    clear();
    if (wasLoaded)
        load();
}

// ---- visible channels --------------------------------------------------------

void ChannelManager::changeFlag(bool& flag, bool value)
{
    if (flag == value)
        return;
    flag = value;
    updateVisibleChannels();
    emit channelListChanged();
}

void ChannelManager::setShowHD(bool show)
{
    changeFlag(m_showHD, show);
}

void ChannelManager::setShowCloseChannel(bool show)
{
    changeFlag(m_showCloseChannel, show);
}

void ChannelManager::setUserChannelList(bool use)
{
    changeFlag(m_userChannelList, use);
}

void ChannelManager::updateVisibleChannels()
{
    if (m_showCloseChannel) {
        m_visible = m_channels;
        return;
    }
    m_visible.clear();
    std::copy_if(m_channels.cbegin(), m_channels.cend(), std::back_inserter(m_visible),
                 [](const Channel* c) { return c->isAvailable(); });
}

Channel* ChannelManager::channelAt(int index) const
{
    return m_visible.value(index, nullptr);
}

int ChannelManager::indexOf(Channel* channel) const
{
    return int(m_visible.indexOf(channel));
}

Channel* ChannelManager::channelByName(const QString& name) const
{
    const auto found = std::find_if(m_visible.cbegin(), m_visible.cend(),
                                    [&name](const Channel* c) { return c->name() == name; });
    return found == m_visible.cend() ? nullptr : *found;
}

QList<Telecast*> ChannelManager::findTelecasts(const QString& channelName,
                                               const QString& text) const
{
    QList<Telecast*> found;
    const QStringMatcher matcher(text, Qt::CaseInsensitive);
    const auto search = [&](const Channel* channel) {
        for (Telecast* telecast : channel->telecasts()) {
            if (text.isEmpty() || matcher.indexIn(telecast->title()) >= 0)
                found.append(telecast);
        }
    };
    if (!channelName.isEmpty()) {
        if (const Channel* channel = channelByName(channelName))
            search(channel);
        return found;
    }
    for (const Channel* channel : m_visible) {
        if (channel->hasProgrammeGuide())
            search(channel);
    }
    return found;
}

// ---- current channel -------------------------------------------------------

void ChannelManager::setCurrentChannel(Channel* channel)
{
    if (m_guard && !m_guard->allowChannelChange(m_current, channel))
        return;
    m_previous = m_current;
    m_current = channel;
    emit currentChannelChanged(channel);
}

// ---- what the session manager holds ----------------------------------------

int ChannelManager::serverChannelCount() const
{
    const auto* list = m_server ? m_server->channelList() : nullptr;
    return list ? list->list_size() : 0;
}

QPixmap ChannelManager::closeChannelPixmap() const
{
    return m_server ? m_server->closeChannelPixmap().value_or(QPixmap()) : QPixmap();
}

// ---- the stream of the current channel -------------------------------------

void ChannelManager::PlayCurrentChannel()
{
    // The open does not wait for the close to be answered.
    if (m_streamOpen)
        CloseStream();
    OpenStream();
}

void ChannelManager::OpenStream()
{
    if (!m_server || !m_current)
        return;
    m_server->openStream(m_current->id(), m_current->currentOffsetId());
    m_streamOpen = true;
}

void ChannelManager::CloseStream()
{
    if (m_server && m_streamId != -1)
        m_server->closeStream(m_streamId);
    m_streamOpen = false;
}

void ChannelManager::UpdateStream()
{
    // While a request is in flight one keep-alive is skipped rather than queued.
    if (m_streamOpen && m_current && m_server && !m_server->isBusy())
        m_server->updateStream(m_streamId);
}

void ChannelManager::onUpdateStreamTimer()
{
    if (m_streamId != -1)
        UpdateStream();
}

void ChannelManager::onOpenStreamCompleted(QString aUrl, int aStreamID, int aUpdateInterval)
{
    m_streamId = aStreamID;
    if (aUpdateInterval <= 0) {
        // No usable interval: the default is remembered, the timer keeps its
        // period. A zero period would flood the server with keep-alives.
        m_updateInterval = kDefaultUpdateInterval;
    } else {
        m_updateInterval = aUpdateInterval;
        // Setting a running timer restarts it, so only a real change is set.
        const int period = int(std::min<qint64>(qint64(aUpdateInterval) * 1000, INT_MAX));
        if (period != m_keepAliveTimer->interval())
            m_keepAliveTimer->setInterval(period);
    }
    emit getCurrentChannelUrl(aUrl);
}

int ChannelManager::keepAliveInterval() const
{
    return m_keepAliveTimer->interval();
}
