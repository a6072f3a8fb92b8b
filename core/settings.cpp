#include "settings.h"

#include "appinfo.h"
#include "messageboxes.h"
#include "operatorhosts.h"
#include "platform.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>

#include <algorithm>
#include <array>

namespace {

// Indexed by deinterlace mode.
constexpr std::array<const char*, 7> deinterlaceNames = {"none", "discard", "mean", "blend",
                                                         "bob",  "linear",  "x"};
// Indexed by MainWindow::Mode; any other mode is saved as the first.
constexpr std::array<const char*, 3> modeNames = {"iptv", "media portal", "recordings"};

const QString defaultChoice = QStringLiteral("Default");
const QString updateUrlTemplate = QStringLiteral("http://%1/iptv/zmplayer");
const QString portalUrlTemplate = QStringLiteral("http://%1/?wap=1&lan=1&usex=1");
const QString recordingsFolderTemplate = QStringLiteral("%1/Zentria Media Player Recordings");

Settings* currentInstance = nullptr;

// Readers: a value missing from the file, or one that is not of the key's
// type (hand-edited garbage), reads as the key's default.
bool readBool(const QSettings& file, const QString& key, bool fallback)
{
    const QVariant value = file.value(key);
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    const QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("false") || text == QLatin1String("0"))
        return false;
    return fallback;
}

int readInt(const QSettings& file, const QString& key, int fallback)
{
    bool ok = false;
    const int value = file.value(key).toString().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

QString readText(const QSettings& file, const QString& key, const QString& fallback = QString())
{
    const QVariant value = file.value(key);
    if (!value.isValid())
        return fallback;
    // An unquoted comma in a hand-edited value makes Qt read a list.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

template <typename T>
T readTyped(const QSettings& file, const QString& key, const T& fallback)
{
    const QVariant value = file.value(key);
    return value.typeId() == qMetaTypeId<T>() ? value.value<T>() : fallback;
}

template <std::size_t N>
int indexOfName(const std::array<const char*, N>& names, const QString& name)
{
    for (std::size_t index = 0; index < N; ++index) {
        if (name == QLatin1String(names[index]))
            return int(index);
    }
    return 0;
}

template <std::size_t N>
QString nameAt(const std::array<const char*, N>& names, int index)
{
    const bool known = index >= 0 && index < int(N);
    return QString::fromLatin1(names[known ? index : 0]);
}

}  // namespace

Settings* Settings::instance()
{
    if (!currentInstance)
        currentInstance = new Settings(NetInterface::fromSystem());
    return currentInstance;
}

void Settings::destroy()
{
    delete currentInstance;
    currentInstance = nullptr;
}

Settings::Settings(const QList<NetInterface>& interfaces, QObject* parent)
    : QObject(parent), m_interfaces(interfaces)
{
    load();
}

QString Settings::dataDirectory()
{
#ifdef Q_OS_WIN
    const QString path = QDir::homePath() + QStringLiteral("/Application Data/") + AppInfo::name;
#else
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    const QString path = base + QLatin1Char('/') + AppInfo::name;
#endif
    QDir().mkpath(path);
    return QDir(path).absolutePath();
}

QString Settings::settingsFilePath()
{
    return dataDirectory() + QStringLiteral("/settings.ini");
}

bool Settings::settingsFileExists()
{
    return QFileInfo::exists(settingsFilePath());
}

bool Settings::isDeveloperMode()
{
    const QStringList arguments = QCoreApplication::arguments();
    return arguments.size() >= 2 && arguments.at(1) == QLatin1String("--developer");
}

QString Settings::recordingsFolderIn(const QString& documentsFolder)
{
    return recordingsFolderTemplate.arg(documentsFolder);
}

QString Settings::deinterlaceName(int mode)
{
    return nameAt(deinterlaceNames, mode);
}

int Settings::deinterlaceModeOf(const QString& name)
{
    return indexOfName(deinterlaceNames, name);
}

QString Settings::lastModeName(int mode)
{
    return nameAt(modeNames, mode);
}

int Settings::lastModeOf(const QString& name)
{
    return indexOfName(modeNames, name);
}

QString Settings::withoutDefault(const QString& value)
{
    return value == defaultChoice ? QString() : value;
}

// ---- loading and saving ----------------------------------------------------

void Settings::load()
{
    const QSettings file(settingsFilePath(), QSettings::IniFormat);
    readFrom(file);
    m_interfaceAddress = interfaceAddress(m_interfaceName);
}

void Settings::readFrom(const QSettings& file)
{
    m_deinterlace = deinterlaceModeOf(readText(file, "deinterlace", "linear"));
    m_crop = readText(file, "crop-value", defaultChoice);
    m_aspect = readText(file, "aspect-value", defaultChoice);
    m_interfaceName = readText(file, "network-interface", getDefaultNetInterfaceUuid());
    m_channelListVisible = readBool(file, "channel-list-visible", true);
    m_userVodAvailable = readBool(file, "user-vod-available", false);
    m_lastChannel = readText(file, "last-channel");
    m_server = readText(file, "server");
    m_showUserChannels = readBool(file, "show-user-channels", false);
    m_useGlobalChannelList = readBool(file, "use-global-channel-list", true);
    m_makeIgmpRouting = readBool(file, "make-igmp-routing", false);
    m_makeIgmpRoutingOnStart = readBool(file, "make-igmp-routing-on-start", false);
    m_installZm = readBool(file, "install-zm", false);
    m_udpToHttp = readBool(file, "udp-to-http", false);
    m_udpToHttpServer = readText(file, "udp-to-http-server", "localhost");
    m_udpToHttpPort = readText(file, "udp-to-http-port", "1234");
    m_updateHost = readText(file, "update-host");
    m_localService = readText(file, "local-service");
    m_showChannelNumbers = readBool(file, "show-channel-numbers", true);
    m_useGPUAcceleration = readBool(file, "use-GPU-acceleration", false);
    m_useHttpReconnect = readBool(file, "use-http-reconnect", true);
    m_networkCaching = readInt(file, "network-caching", 5000);
    m_showBlockedChannels = readBool(file, "show-blocked-channels", true);
    m_versionInfo = readText(file, "version-info", "old");
    m_windowSize = readTyped(file, "MainWindow/size", QSize(900, 600));
    m_windowPosition = readTyped(file, "MainWindow/position", QPoint(100, 100));
    m_windowMaximized = readBool(file, "MainWindow/maximized", false);
    m_channelListWidth = readInt(file, "MainWindow/channel-list-width", 0);
    m_alwaysOnTop = readBool(file, "MainWindow/always-on-top", false);
    m_lastMode = lastModeOf(readText(file, "last-mode", "iptv"));
    m_portalWasShown = readBool(file, "portal-was-shown", false);
    m_closeToTray = readBool(file, "close-to-tray", false);
    m_firstTimeTray = readBool(file, "first-time-tray", true);
    m_scheduledRecordSaveFolder = readText(file, "scheduled-record-save-folder");
    if (m_scheduledRecordSaveFolder.isEmpty())
        m_scheduledRecordSaveFolder = recordingsFolderIn(Platform::documentsFolder());
    m_recordSaveFolder = readText(file, "record-save-folder");
    if (m_recordSaveFolder.isEmpty())
        m_recordSaveFolder = m_scheduledRecordSaveFolder;
    m_useGlobalVolume = readBool(file, "use-global-volume", true);
    m_useHotKeys = readBool(file, "use-hot-keys", true);
    m_globalVolume = readInt(file, "global-volume", 100);
    m_pauseOnMinimize = readBool(file, "pause-on-minimize", false);
}

void Settings::save()
{
    QSettings file(settingsFilePath(), QSettings::IniFormat);
    file.setValue("deinterlace", deinterlaceName(m_deinterlace));
    file.setValue("crop-value", m_crop);
    file.setValue("aspect-value", m_aspect);
    file.setValue("network-interface", m_interfaceName);
    file.setValue("channel-list-visible", m_channelListVisible);
    file.setValue("user-vod-available", m_userVodAvailable);
    file.setValue("last-channel", m_lastChannel);
    file.setValue("server", m_server);
    file.setValue("show-user-channels", m_showUserChannels);
    file.setValue("use-global-channel-list", m_useGlobalChannelList);
    file.setValue("make-igmp-routing", m_makeIgmpRouting);
    file.setValue("install-zm", m_installZm);
    file.setValue("use-GPU-acceleration", m_useGPUAcceleration);
    file.setValue("show-channel-numbers", m_showChannelNumbers);
    file.setValue("show-blocked-channels", m_showBlockedChannels);
    file.setValue("version-info", m_versionInfo);
    file.setValue("MainWindow/size", m_windowSize);
    file.setValue("MainWindow/position", m_windowPosition);
    file.setValue("MainWindow/maximized", m_windowMaximized);
    file.setValue("MainWindow/channel-list-width", m_channelListWidth);
    file.setValue("MainWindow/always-on-top", m_alwaysOnTop);
    file.setValue("use-http-reconnect", m_useHttpReconnect);
    file.setValue("network-caching", m_networkCaching);
    file.setValue("last-mode", lastModeName(m_lastMode));
    file.setValue("portal-was-shown", m_portalWasShown);
    file.setValue("close-to-tray", m_closeToTray);
    file.setValue("first-time-tray", m_firstTimeTray);
    file.setValue("record-save-folder", m_recordSaveFolder);
    file.setValue("scheduled-record-save-folder", m_scheduledRecordSaveFolder);
    file.setValue("use-global-volume", m_useGlobalVolume);
    file.setValue("use-hot-keys", m_useHotKeys);
    file.setValue("global-volume", m_globalVolume);
    file.setValue("pause-on-minimize", m_pauseOnMinimize);
}

// ---- the setter protocol ---------------------------------------------------

template <typename T>
bool Settings::assign(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return commitChange();
}

bool Settings::commitChange()
{
    if (m_batch) {
        m_pendingChange = true;
        return false;
    }
    emit changed();
    save();
    return true;
}

void Settings::beginBatch()
{
    m_batch = true;
}

void Settings::endBatch()
{
    if (m_batch && m_pendingChange) {
        emit changed();
        m_pendingChange = false;
        save();
    }
    m_batch = false;
}

bool Settings::setDeinterlaceMode(int mode)
{
    return assign(m_deinterlace, mode);
}

bool Settings::setCrop(const QString& crop)
{
    return assign(m_crop, crop.isEmpty() ? defaultChoice : crop);
}

bool Settings::setAspectRatio(const QString& aspect)
{
    return assign(m_aspect, aspect.isEmpty() ? defaultChoice : aspect);
}

bool Settings::setNetworkInterface(const QString& name)
{
    m_interfaceAddress = interfaceAddress(name);
    return assign(m_interfaceName, name);
}

bool Settings::setChannelListVisible(bool visible)
{
    return assign(m_channelListVisible, visible);
}

bool Settings::setUserVodAvailable(bool available)
{
    return assign(m_userVodAvailable, available);
}

bool Settings::setLastChannel(const QString& name)
{
    return assign(m_lastChannel, name);
}

bool Settings::setServer(const QString& server)
{
    return assign(m_server, server);
}

bool Settings::setShowUserChannels(bool show)
{
    const bool changedNow = assign(m_showUserChannels, show);
    if (changedNow)
        emit showingUserChannelsChanged();
    return changedNow;
}

bool Settings::setUseGlobalChannelList(bool use)
{
    return assign(m_useGlobalChannelList, use);
}

bool Settings::setMakeIgmpRouting(bool make)
{
    return assign(m_makeIgmpRouting, make);
}

bool Settings::setInstallZm(bool installed)
{
    return assign(m_installZm, installed);
}

bool Settings::setShowChannelNumbers(bool show)
{
    const bool changedNow = assign(m_showChannelNumbers, show);
    if (changedNow)
        emit displayingChannelNumbersChanged();
    return changedNow;
}

bool Settings::setUseGPUAcceleration(bool use)
{
    const bool changedNow = assign(m_useGPUAcceleration, use);
    if (changedNow)
        emit useGPUAccelerationChanged();
    return changedNow;
}

bool Settings::setUseHttpReconnect(bool use)
{
    return assign(m_useHttpReconnect, use);
}

bool Settings::setNetworkCaching(int milliseconds)
{
    return assign(m_networkCaching, milliseconds);
}

bool Settings::setShowBlockedChannels(bool show)
{
    const bool changedNow = assign(m_showBlockedChannels, show);
    if (changedNow)
        emit showingBlockedChannelsChanged();
    return changedNow;
}

bool Settings::setVersionInfo()
{
    return assign(m_versionInfo, QCoreApplication::applicationVersion());
}

bool Settings::setWindowSize(const QSize& size)
{
    return assign(m_windowSize, size);
}

bool Settings::setWindowPosition(const QPoint& position)
{
    return assign(m_windowPosition, position);
}

bool Settings::setWindowMaximized(bool maximized)
{
    return assign(m_windowMaximized, maximized);
}

bool Settings::setChannelListWidth(int width)
{
    return assign(m_channelListWidth, width);
}

bool Settings::setAlwaysOnTop(bool onTop)
{
    return assign(m_alwaysOnTop, onTop);
}

bool Settings::setLastMode(int mode)
{
    return assign(m_lastMode, mode);
}

bool Settings::setPortalWasShown(bool shown)
{
    return assign(m_portalWasShown, shown);
}

bool Settings::setCloseToTray(bool toTray)
{
    return assign(m_closeToTray, toTray);
}

bool Settings::setFirstTimeTray(bool first)
{
    return assign(m_firstTimeTray, first);
}

bool Settings::setRecordSaveFolder(const QString& folder)
{
    return assign(m_recordSaveFolder, folder);
}

bool Settings::setScheduledRecordSaveFolder(const QString& folder)
{
    return assign(m_scheduledRecordSaveFolder, folder);
}

bool Settings::setRecordFolders(const QString& folder)
{
    m_recordSaveFolder = folder;
    return assign(m_scheduledRecordSaveFolder, folder);
}

bool Settings::setUseGlobalVolume(bool use)
{
    return assign(m_useGlobalVolume, use);
}

bool Settings::setUseHotKeys(bool use)
{
    const bool changedNow = assign(m_useHotKeys, use);
    emit useHotKeysChanged();
    return changedNow;
}

bool Settings::setGlobalVolume(int volume)
{
    return assign(m_globalVolume, volume);
}

bool Settings::setPauseOnMinimize(bool pause)
{
    return assign(m_pauseOnMinimize, pause);
}

// ---- operator hosts and URLs -----------------------------------------------

QString Settings::serverHost() const
{
    const int colon = m_server.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? m_server : m_server.left(colon);
}

int Settings::serverPort() const
{
    const int colon = m_server.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return OperatorHosts::defaultPort;
    bool ok = false;
    const int port = m_server.mid(colon + 1).toInt(&ok);
    return ok && port > 0 && port < 65536 ? port : OperatorHosts::defaultPort;
}

QString Settings::localServiceHost() const
{
    const int colon = m_localService.lastIndexOf(QLatin1Char(':'));
    return colon <= 0 ? QString::fromLatin1(OperatorHosts::localServiceHost)
                      : m_localService.left(colon);
}

int Settings::localServicePort() const
{
    bool ok = false;
    const int colon = m_localService.lastIndexOf(QLatin1Char(':'));
    const int port = colon < 0 ? 0 : m_localService.mid(colon + 1).toInt(&ok);
    return ok && port > 0 && port < 65536 ? port : OperatorHosts::localServicePort;
}

QString Settings::getUpdateServerUrl()
{
    if (isDeveloperMode()) {
        MessageBoxes::show(MessageBoxes::Kind::Information, nullptr,
                           QStringLiteral("getUpdateServerUrl"), QStringLiteral("isDeveloperMode"));
    }
    const QString host =
        m_updateHost.isEmpty() ? QString::fromLatin1(OperatorHosts::webHost) : m_updateHost;
    m_updateUrl = updateUrlTemplate.arg(host);
    qDebug("[%s] Using update URL %s", "Settings::getUpdateServerUrl", qPrintable(m_updateUrl));
    return m_updateUrl;
}

void Settings::selectProdServer()
{
    m_prodServer = m_server;
    if (m_prodServer.isEmpty())
        qDebug("[%s] Not one production server is available", "Settings::selectProdServer");
}

QString Settings::portalUrl()
{
    qDebug("User settings: usex");
    QString host;
    if (isDeveloperMode()) {
        host = QString::fromLatin1(OperatorHosts::mainDomain);
    } else {
        if (m_prodServer.isEmpty())
            selectProdServer();
        host = m_prodServer;
    }
    return host.isEmpty() ? QString() : portalUrlTemplate.arg(host);
}

void Settings::applyServerCustomSettings(const QByteArray& customJson)
{
    if (customJson.isEmpty()) {
        m_hasCustomValue = false;
        return;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(customJson, &error);
    m_hasCustomValue = error.error == QJsonParseError::NoError && document.isObject();
    m_customValue = document.object().value(QLatin1String("test")).toInt(0);
}

// ---- network interfaces ----------------------------------------------------

QString Settings::getDefaultNetInterfaceUuid() const
{
    return NetInterfaces::defaultInterfaceName(m_interfaces);
}

QHostAddress Settings::interfaceAddress(const QString& name) const
{
    return NetInterfaces::ipv4Address(m_interfaces, name);
}

QString Settings::macAddress() const
{
    return NetInterfaces::macAddress(m_interfaces, m_interfaceName);
}

bool Settings::hasNetworkInterfaceAddress() const
{
    return std::any_of(
        m_interfaces.cbegin(), m_interfaces.cend(), [this](const NetInterface& candidate) {
            return candidate.name == m_interfaceName && NetInterfaces::isSelectable(candidate);
        });
}

bool Settings::beginInterfaceEnumeration()
{
    m_interfaceCount = m_interfaces.size();
    if (m_interfaceCount != 0)
        m_interfaceCursor = 0;
    return m_interfaceCount != 0;
}

bool Settings::nextInterface(QString* name, QString* description)
{
    while (m_interfaceCursor < m_interfaceCount && m_interfaceCursor < m_interfaces.size()) {
        const NetInterface& candidate = m_interfaces.at(m_interfaceCursor++);
        if (!NetInterfaces::isSelectable(candidate))
            continue;
        *name = candidate.name;
        *description = NetInterfaces::description(candidate);
        return true;
    }
    return false;
}
