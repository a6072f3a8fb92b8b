#include "settingsdialog.h"

#include "appinfo.h"
#include "channel.h"
#include "channellistbuilder.h"
#include "deinterlacemode.h"
#include "elevation.h"
#include "messageboxes.h"
#include "settings.h"
#include "ttvservermanager.h"
#include "videoacceleration.h"
#include "zentriaserviceclient.h"

#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QSignalBlocker>

#include <algorithm>

SettingsDialog::SettingsDialog(QWidget* parent, MainWindow::Mode mode, MediaPlayer* player,
                               ZentriaServiceClient* service, TTVServerManager* server,
                               ChannelManager* channels)
    : QDialog(parent)
{
    m_ui.setupUi(this);
    // The routing row is not offered; performRouteChanges() is reached from code only.
    const QList<QWidget*> routing = {m_ui.routeCommandLabel, m_ui.routeCommandEditor,
                                     m_ui.routeCommandButton, m_ui.routeCommandHelp};
    for (QWidget* part : routing)
        part->hide();
    connect(m_ui.buttonBrowseSchedSaveFolder, &QAbstractButton::clicked, this,
            &SettingsDialog::browseSchedSaveFolder);
    connect(m_ui.tabWidget, &QTabWidget::currentChanged, this, &SettingsDialog::checkTabAction);
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + QString::fromLatin1(AppInfo::name));

    fillNetworkInterfaces();
    showStoredValues();
    connectUserChannelControls();
    m_ui.useGPUAcceleration->setEnabled(Platform::offersGpuAcceleration());

    setMainWindowMode(mode);
    setMediaPlayer(player);
    setZentriaServiceClient(service);
    setTVServerManager(server);
    setChannelManager(channels);
}

void SettingsDialog::fillNetworkInterfaces()
{
    qDebug("SettingsDialog is trying all adapters...");
    Settings* settings = Settings::instance();
    const QSignalBlocker blocker(m_ui.networkInterfaceList);
    const QIcon icon(QStringLiteral(":/images/network-interface.png"));
    QString name;
    QString description;
    if (settings->beginInterfaceEnumeration()) {
        while (settings->nextInterface(&name, &description)) {
            qDebug("Detected adapter [ %s with uuid %s ]", qPrintable(description),
                   qPrintable(name));
            m_ui.networkInterfaceList->addItem(icon, description, name);
        }
    }
    m_ui.networkInterfaceList->setCurrentIndex(
        qMax(0, m_ui.networkInterfaceList->findData(settings->networkInterface())));
    qDebug("Interfaces enumerated");
}

void SettingsDialog::showStoredValues()
{
    const Settings* settings = Settings::instance();
    m_ui.doDeinterlace->setChecked(settings->deinterlaceMode() != 0);
    m_ui.displayChannelNumbers->setChecked(settings->showChannelNumbers());
    m_ui.useGPUAcceleration->setChecked(settings->useGPUAcceleration());
    m_ui.showCloseChannel->setChecked(settings->showBlockedChannels());
    m_ui.closeToTray->setChecked(settings->closeToTray());
    m_ui.schedSaveFolderEditor->setText(
        QDir::toNativeSeparators(settings->scheduledRecordSaveFolder()));
    m_ui.useGlobalVolume->setChecked(settings->useGlobalVolume());
    m_ui.useHotKeys->setChecked(settings->useHotKeys());
    m_ui.useUserChannels->setChecked(settings->showUserChannels());
    m_ui.useGlobalChannelList->setChecked(settings->useGlobalChannelList());
    m_ui.pauseOnMinimize->setChecked(settings->pauseOnMinimize());
}

void SettingsDialog::connectUserChannelControls()
{
    m_ui.srcChannelList->channelModel()->setChannelList(&m_availableChannels);
    m_ui.dstChannelList->channelModel()->setChannelList(&m_userChannels);
    SetChangeUserChannelListPanelEnabled(m_ui.useUserChannels->isChecked());

    connect(m_ui.useUserChannels, &QCheckBox::stateChanged, this,
            &SettingsDialog::useUserChannelsChanged);
    connect(m_ui.useGlobalChannelList, &QCheckBox::stateChanged, this,
            &SettingsDialog::useGlobalChannelListChanged);
    CustomChannelList::View* user = m_ui.dstChannelList;
    connect(m_ui.moveChannelDown, &QAbstractButton::clicked, user,
            &CustomChannelList::View::MoveDown);
    connect(m_ui.moveChannelUp, &QAbstractButton::clicked, user, &CustomChannelList::View::MoveUp);
    for (QAbstractButton* reorder : {m_ui.moveChannelDown, m_ui.moveChannelUp})
        connect(reorder, &QAbstractButton::clicked, this,
                &SettingsDialog::ShowUserChangeInfoToUser);
    connect(m_ui.srcChannelList, &CustomChannelList::View::signalDoubleClicked, this,
            &SettingsDialog::channelSrcToDst);
    connect(user, &CustomChannelList::View::signalDoubleClicked, this,
            &SettingsDialog::channelDstToSrc);
    connect(m_ui.moveChannelLeft, &QAbstractButton::clicked, this,
            &SettingsDialog::channelDstToSrc);
    connect(m_ui.moveChannelRight, &QAbstractButton::clicked, this,
            &SettingsDialog::channelSrcToDst);
    connect(m_ui.moveAllChannelLeft, &QAbstractButton::clicked, this,
            &SettingsDialog::allChannelsDstToSrc);
    connect(m_ui.moveAllChannelRight, &QAbstractButton::clicked, this,
            &SettingsDialog::allChannelsSrcToDst);
}

// ---- the parts of the player -----------------------------------------------

void SettingsDialog::setMediaPlayer(MediaPlayer* player)
{
    m_player = player;
}

void SettingsDialog::setZentriaServiceClient(ZentriaServiceClient* service)
{
    m_service = service;
}

void SettingsDialog::setTVServerManager(TTVServerManager* server)
{
    if (m_server)
        disconnect(m_server, nullptr, this, nullptr);
    m_server = server;
    if (!server)
        return;
    connect(server, &TTVServerManager::LoadUserChannelListCompleted, this,
            &SettingsDialog::channelListReceived);
    connect(server, &TTVServerManager::ErrorLoadUserChannelList, this, &SettingsDialog::loadError);
}

void SettingsDialog::setChannelManager(ChannelManager* channels)
{
    m_channels = channels;
}

void SettingsDialog::setMainWindowMode(MainWindow::Mode mode)
{
    m_mode = mode;
}

bool SettingsDialog::isZentriaServiceSetAndActive() const
{
    return m_service && m_service->isActive();
}

// ---- preferences -----------------------------------------------------------

void SettingsDialog::browseSchedSaveFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, tr("Select directory where to save scheduled recordings"),
        m_ui.schedSaveFolderEditor->text(), QFileDialog::ShowDirsOnly);
    if (!folder.isEmpty())
        m_ui.schedSaveFolderEditor->setText(QDir::toNativeSeparators(folder));
}

void SettingsDialog::performRouteChanges()
{
    const QStringList command = QProcess::splitCommand(m_ui.routeCommandEditor->text());
    if (command.isEmpty())
        return;
    const int exitCode = Utils::executeElevated(command.first(), command.mid(1), this);
    const QString title = MessageBoxes::title(tr("Routing"));
    if (exitCode == 0) {
        MessageBoxes::show(MessageBoxes::Kind::Information, this, title,
                           tr("The routes have been changed."));
        return;
    }
    const QString unavailable = Elevation::unavailableReason();
    MessageBoxes::show(
        MessageBoxes::Kind::Warning, this, title,
        unavailable.isEmpty()
            ? tr("The routes could not be changed: the command ended with code %1.").arg(exitCode)
            : unavailable);
}

void SettingsDialog::accept()
{
    QDialog::accept();
    Settings* settings = Settings::instance();
    settings->beginBatch();
    settings->setDeinterlaceMode(
        int(m_ui.doDeinterlace->isChecked() ? DeinterlaceMode::Linear : DeinterlaceMode::None));
    if (m_ui.networkInterfaceList->currentIndex() >= 0)
        settings->setNetworkInterface(m_ui.networkInterfaceList->currentData().toString());
    if (m_userListChanged && m_ui.useUserChannels->isChecked() && m_userChannels.isEmpty()) {
        const QSignalBlocker blocker(m_ui.useUserChannels);
        m_ui.useUserChannels->setChecked(false);
        qDebug("Cancel save empty user channel list");
    }
    settings->endBatch();
    storeChoices();
    if (m_ui.useUserChannels->isChecked() && m_userListChanged)
        SaveNewUserChannelList();
}

// After the batch: these setters tell their own listeners of a change.
void SettingsDialog::storeChoices()
{
    Settings* settings = Settings::instance();
    settings->setShowUserChannels(m_ui.useUserChannels->isChecked());
    settings->setUseGlobalChannelList(m_ui.useGlobalChannelList->isChecked());
    settings->setShowBlockedChannels(m_ui.showCloseChannel->isChecked());
    settings->setShowChannelNumbers(m_ui.displayChannelNumbers->isChecked());
    settings->setUseGPUAcceleration(m_ui.useGPUAcceleration->isChecked());
    settings->setCloseToTray(m_ui.closeToTray->isChecked());
    settings->setRecordFolders(m_ui.schedSaveFolderEditor->text());
    settings->setUseGlobalVolume(m_ui.useGlobalVolume->isChecked());
    settings->setUseHotKeys(m_ui.useHotKeys->isChecked());
    settings->setPauseOnMinimize(m_ui.pauseOnMinimize->isChecked());
}

// ---- the user's channel list -----------------------------------------------

bool SettingsDialog::isServerReady() const
{
    return m_server && m_server->isAuthorized() && m_server->channelList();
}

bool SettingsDialog::bothListsEmpty() const
{
    return m_availableChannels.isEmpty() && m_userChannels.isEmpty();
}

void SettingsDialog::checkTabAction(int index)
{
    if (m_ui.tabWidget->widget(index) == m_ui.tabUserChannels && !m_listsLoaded && bothListsEmpty())
        ShowChannelList();
}

void SettingsDialog::ShowChannelList()
{
    const bool use = m_ui.useUserChannels->isChecked();
    SetChangeUserChannelListPanelEnabled(use);
    if (use)
        loadChannelList();
}

void SettingsDialog::loadChannelList()
{
    if (!isServerReady() || !bothListsEmpty())
        return;
    ShowViewLoadingData();
    m_server->loadUserChannelList(m_ui.useGlobalChannelList->isChecked(), false);
}

// The request is answered asynchronously; meanwhile the lists say so and
// nothing that would change them can be used.
void SettingsDialog::ShowViewLoadingData()
{
    setCursor(Qt::WaitCursor);
    m_ui.useUserChannels->setEnabled(false);
    SetChangeUserChannelListPanelEnabled(false);
    m_ui.srcChannelList->channelModel()->setLoading(true);
    m_ui.dstChannelList->channelModel()->setLoading(true);
}

void SettingsDialog::HideViewLoadingData()
{
    m_ui.srcChannelList->channelModel()->setLoading(false);
    m_ui.dstChannelList->channelModel()->setLoading(false);
    m_ui.useUserChannels->setEnabled(true);
    SetChangeUserChannelListPanelEnabled(m_ui.useUserChannels->isChecked());
    unsetCursor();
}

void SettingsDialog::channelListReceived()
{
    if (!m_server)
        return;
    clearChannelLists();
    if (const proto::ChannelListResponse* list = m_server->channelList())
        m_availableChannels = ChannelListBuilder::fullList(*list, this);
    if (const proto::UserChannelResponse* user = m_server->userChannelList()) {
        for (const int id : user->data().channel_id())
            takeIntoUserList(id);
    }
    refreshChannelLists();
    HideViewLoadingData();
    m_ui.dstChannelList->setCurrentIndex(m_ui.dstChannelList->model()->index(0, 0));
    m_listsLoaded = true;
}

// The first available channel with the id; ids the server does not list are
// skipped.
void SettingsDialog::takeIntoUserList(int id)
{
    const auto found = std::find_if(m_availableChannels.begin(), m_availableChannels.end(),
                                    [id](const Channel* channel) { return channel->id() == id; });
    if (found == m_availableChannels.end())
        return;
    m_userChannels.append(*found);
    m_availableChannels.erase(found);
}

void SettingsDialog::loadError()
{
    HideViewLoadingData();
    m_listsLoaded = false;
}

void SettingsDialog::clearChannelLists()
{
    const QList<Channel*> gone = m_availableChannels + m_userChannels;
    m_availableChannels.clear();
    m_userChannels.clear();
    refreshChannelLists();
    qDeleteAll(gone);
}

void SettingsDialog::refreshChannelLists()
{
    m_ui.srcChannelList->channelModel()->refresh();
    m_ui.dstChannelList->channelModel()->refresh();
}

void SettingsDialog::SetChangeUserChannelListPanelEnabled(bool aEnabled)
{
    const QList<QWidget*> panel = {
        m_ui.useGlobalChannelList, m_ui.srcChannelList,  m_ui.dstChannelList,
        m_ui.moveChannelRight,     m_ui.moveChannelLeft, m_ui.moveAllChannelRight,
        m_ui.moveAllChannelLeft,   m_ui.moveChannelUp,   m_ui.moveChannelDown};
    for (QWidget* part : panel)
        part->setEnabled(aEnabled);
}

void SettingsDialog::channelSrcToDst()
{
    moveCurrentChannel(m_ui.srcChannelList, m_ui.dstChannelList);
}

void SettingsDialog::channelDstToSrc()
{
    moveCurrentChannel(m_ui.dstChannelList, m_ui.srcChannelList);
}

void SettingsDialog::allChannelsSrcToDst()
{
    moveAllChannels(m_ui.srcChannelList, m_ui.dstChannelList);
}

void SettingsDialog::allChannelsDstToSrc()
{
    moveAllChannels(m_ui.dstChannelList, m_ui.srcChannelList);
}

// The moved channel becomes current in its new list, its neighbour in the old.
void SettingsDialog::moveCurrentChannel(CustomChannelList::View* from, CustomChannelList::View* to)
{
    Channel* channel = from->currentChannel();
    if (!channel)
        return;
    const int row = from->currentIndex().row();
    QList<Channel*>& source = *from->channelModel()->channelList();
    QList<Channel*>& target = *to->channelModel()->channelList();
    source.removeAt(row);
    target.append(channel);
    refreshChannelLists();
    from->setCurrentIndex(from->model()->index(qMin(row, int(source.size()) - 1), 0));
    to->setCurrentIndex(to->model()->index(int(target.size()) - 1, 0));
    ShowUserChangeInfoToUser();
}

void SettingsDialog::moveAllChannels(CustomChannelList::View* from, CustomChannelList::View* to)
{
    QList<Channel*>& source = *from->channelModel()->channelList();
    to->channelModel()->channelList()->append(source);
    source.clear();
    refreshChannelLists();
    ShowUserChangeInfoToUser();
}

void SettingsDialog::ShowUserChangeInfoToUser()
{
    m_ui.userInfo->setText(tr("You must restart player to apply changes for user channels!"));
    m_userListChanged = true;
}

void SettingsDialog::useUserChannelsChanged()
{
    ShowUserChangeInfoToUser();
    const bool use = m_ui.useUserChannels->isChecked();
    SetChangeUserChannelListPanelEnabled(use);
    if (use) {
        loadChannelList();
    } else {
        clearChannelLists();
        m_listsLoaded = false;
    }
}

void SettingsDialog::useGlobalChannelListChanged()
{
    ShowUserChangeInfoToUser();
    loadChannelList();
}

void SettingsDialog::SaveNewUserChannelList()
{
    if (!m_server || !m_userListChanged)
        return;
    proto::UserChannelData data;
    for (const Channel* channel : std::as_const(m_userChannels))
        data.add_channel_id(channel->id());
    data.set_enabled(m_ui.useUserChannels->isChecked() && !m_userChannels.isEmpty());
    m_server->saveUserChannelList(data, m_ui.useGlobalChannelList->isChecked());
}
