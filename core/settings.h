#pragma once

#include "netinterface.h"

#include <QHostAddress>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QString>

class QSettings;

// The player's preferences, loaded from settings.ini in the data directory at
// creation and written back at every change (or once at the end of a batch).
// It also keeps the network interfaces seen at start and builds the operator
// URLs of updates and of the portal.
class Settings : public QObject
{
    Q_OBJECT
public:
    // Created and loaded on first use; destroy() ends it at shut-down.
    static Settings* instance();
    static void destroy();

    // The store over a given list of interfaces, for a store of one's own.
    explicit Settings(const QList<NetInterface>& interfaces, QObject* parent = nullptr);

    static QString dataDirectory();  // created on demand
    static QString settingsFilePath();
    static bool settingsFileExists();
    static bool isDeveloperMode();
    static QString recordingsFolderIn(const QString& documentsFolder);

    // Batch: changes are collected and saved once by endBatch().
    void beginBatch();
    void endBatch();

    // The server-side "custom" JSON text of the stored player settings, given
    // once the log-in has loaded them.
    void applyServerCustomSettings(const QByteArray& customJson);
    bool hasCustomValue() const { return m_hasCustomValue; }
    int customValue() const { return m_customValue; }

    // Operator URLs.
    QString getUpdateServerUrl();
    QString updateServerUrl() const { return m_updateUrl; }
    void selectProdServer();
    QString selectedProdServer() const { return m_prodServer; }
    QString portalUrl();

    // Network interfaces of this run.
    const QList<NetInterface>& interfaces() const { return m_interfaces; }
    QString getDefaultNetInterfaceUuid() const;
    QHostAddress interfaceAddress(const QString& name) const;
    QString macAddress() const;
    // Whether the chosen interface has an IPv4 address of its own.
    bool hasNetworkInterfaceAddress() const;
    bool beginInterfaceEnumeration();
    bool nextInterface(QString* name, QString* description);

    // Getters.
    int deinterlaceMode() const { return m_deinterlace; }
    QString crop() const { return withoutDefault(m_crop); }
    QString aspectRatio() const { return withoutDefault(m_aspect); }
    QString networkInterface() const { return m_interfaceName; }
    QHostAddress networkInterfaceAddress() const { return m_interfaceAddress; }
    bool isChannelListVisible() const { return m_channelListVisible; }
    bool isUserVodAvailable() const { return m_userVodAvailable; }
    QString lastChannel() const { return m_lastChannel; }
    QString server() const { return m_server; }
    QString serverHost() const;
    int serverPort() const;
    bool showUserChannels() const { return m_showUserChannels; }
    bool useGlobalChannelList() const { return m_useGlobalChannelList; }
    bool makeIgmpRouting() const { return m_makeIgmpRouting; }
    bool makeIgmpRoutingOnStart() const { return m_makeIgmpRoutingOnStart; }
    bool installZm() const { return m_installZm; }
    bool udpToHttp() const { return m_udpToHttp; }
    QString udpToHttpServer() const { return m_udpToHttpServer; }
    QString udpToHttpPort() const { return m_udpToHttpPort; }
    QString updateHost() const { return m_updateHost; }
    // The operator's local service, "local-service" (host:port) when a
    // profile names one.
    QString localServiceHost() const;
    int localServicePort() const;
    bool showChannelNumbers() const { return m_showChannelNumbers; }
    bool useGPUAcceleration() const { return m_useGPUAcceleration; }
    bool useHttpReconnect() const { return m_useHttpReconnect; }
    int networkCaching() const { return m_networkCaching; }
    bool showBlockedChannels() const { return m_showBlockedChannels; }
    QString versionInfo() const { return m_versionInfo; }
    QSize windowSize() const { return m_windowSize; }
    QPoint windowPosition() const { return m_windowPosition; }
    bool isWindowMaximized() const { return m_windowMaximized; }
    int channelListWidth() const { return m_channelListWidth; }
    bool isAlwaysOnTop() const { return m_alwaysOnTop; }
    int lastMode() const { return m_lastMode; }
    bool portalWasShown() const { return m_portalWasShown; }
    bool closeToTray() const { return m_closeToTray; }
    bool firstTimeTray() const { return m_firstTimeTray; }
    QString recordSaveFolder() const { return m_recordSaveFolder; }
    QString scheduledRecordSaveFolder() const { return m_scheduledRecordSaveFolder; }
    bool useGlobalVolume() const { return m_useGlobalVolume; }
    bool useHotKeys() const { return m_useHotKeys; }
    int globalVolume() const { return m_globalVolume; }
    bool pauseOnMinimize() const { return m_pauseOnMinimize; }

    // Setters of the saved keys: true when the value changed and was saved.
    bool setDeinterlaceMode(int mode);
    bool setCrop(const QString& crop);
    bool setAspectRatio(const QString& aspect);
    bool setNetworkInterface(const QString& name);
    bool setChannelListVisible(bool visible);
    bool setUserVodAvailable(bool available);
    bool setLastChannel(const QString& name);
    bool setServer(const QString& server);
    bool setShowUserChannels(bool show);
    bool setUseGlobalChannelList(bool use);
    bool setMakeIgmpRouting(bool make);
    bool setInstallZm(bool installed);
    bool setShowChannelNumbers(bool show);
    bool setUseGPUAcceleration(bool use);
    bool setUseHttpReconnect(bool use);
    bool setNetworkCaching(int milliseconds);
    bool setShowBlockedChannels(bool show);
    bool setVersionInfo();  // stores the running version
    bool setWindowSize(const QSize& size);
    bool setWindowPosition(const QPoint& position);
    bool setWindowMaximized(bool maximized);
    bool setChannelListWidth(int width);
    bool setAlwaysOnTop(bool onTop);
    bool setLastMode(int mode);
    bool setPortalWasShown(bool shown);
    bool setCloseToTray(bool toTray);
    bool setFirstTimeTray(bool first);
    bool setRecordSaveFolder(const QString& folder);
    bool setScheduledRecordSaveFolder(const QString& folder);
    bool setRecordFolders(const QString& folder);  // both folders, as the settings dialog does
    bool setUseGlobalVolume(bool use);
    bool setUseHotKeys(bool use);
    bool setGlobalVolume(int volume);
    bool setPauseOnMinimize(bool pause);

    static QString deinterlaceName(int mode);
    static int deinterlaceModeOf(const QString& name);
    static QString lastModeName(int mode);
    static int lastModeOf(const QString& name);

public slots:
    void save();

signals:
    void changed();
    void showingUserChannelsChanged();
    void displayingChannelNumbersChanged();
    void useGPUAccelerationChanged();
    void showingBlockedChannelsChanged();
    void useHotKeysChanged();

private:
    void load();
    void readFrom(const QSettings& file);
    template <typename T>
    bool assign(T& field, const T& value);
    bool commitChange();
    static QString withoutDefault(const QString& value);

    bool m_hasCustomValue = false;
    qint32 m_customValue = 0;
    QList<NetInterface> m_interfaces;
    QString m_crop;
    QString m_aspect;
    int m_deinterlace = 5;
    QHostAddress m_interfaceAddress;
    QString m_interfaceName;
    int m_interfaceCursor = 0;
    int m_interfaceCount = 0;
    bool m_channelListVisible = true;
    bool m_userVodAvailable = false;
    bool m_batch = false;
    bool m_pendingChange = false;
    QSize m_windowSize;
    QPoint m_windowPosition;
    bool m_windowMaximized = false;
    int m_channelListWidth = 0;
    QString m_lastChannel;
    QString m_server;
    bool m_showUserChannels = false;
    bool m_useGlobalChannelList = true;
    bool m_udpToHttp = false;
    QString m_udpToHttpServer;
    QString m_udpToHttpPort;
    QString m_updateHost;
    QString m_localService;
    QString m_versionInfo;
    bool m_showChannelNumbers = true;
    bool m_makeIgmpRouting = false;
    bool m_makeIgmpRoutingOnStart = false;
    bool m_installZm = false;
    bool m_useGPUAcceleration = false;
    bool m_showBlockedChannels = true;
    bool m_alwaysOnTop = false;
    bool m_useHttpReconnect = true;
    int m_networkCaching = 5000;
    QString m_updateUrl;
    int m_lastMode = 0;
    QString m_prodServer;
    bool m_portalWasShown = false;
    bool m_closeToTray = false;
    bool m_firstTimeTray = true;
    QString m_recordSaveFolder;
    QString m_scheduledRecordSaveFolder;
    bool m_useGlobalVolume = true;
    bool m_useHotKeys = true;
    int m_globalVolume = 100;
    bool m_pauseOnMinimize = false;
};
