#include "startup.h"

#include "channelmanager.h"
#include "keepawake.h"
#include "logging.h"
#include "mainwindow.h"
#include "messageboxes.h"
#include "operatorhosts.h"
#include "platform.h"
#include "recordtablemanager.h"
#include "settings.h"
#include "settingsdialog.h"
#include "singleinstance.h"
#include "terminationrequest.h"
#include "ttvservermanager.h"
#include "updateprogresswindow.h"
#include "updateservice.h"

#include <QApplication>

namespace {

// Only a settings file that cannot be written is missing by now: the user
// sees the settings before the player is built. False when cancelled.
bool settingsAcceptedWithoutFile()
{
    SettingsDialog dialog;
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

Startup::Startup() = default;

Startup::~Startup()
{
    m_mainWindow.reset();
    m_updateWindow.reset();
    m_serverManager.reset();
    m_channelManager.reset();
    Settings::destroy();
    m_singleInstance.reset();
    if (m_socketsStarted)
        Platform::stopSockets();
    // The system may sleep again.
    RecordTableManager::instance()->setKeepAwake(nullptr);
    m_updateService.reset();
}

int Startup::run()
{
    listenForTermination();
    if (const int error = Platform::startSockets()) {
        qDebug("WSAStartup failed with error: %d\n", error);
        return 1;
    }
    m_socketsStarted = true;

    loadSettings();
    installTranslators();
    Logging::installMessageHandler();
    if (!openDebugLog())
        return endWithCriticalError(QApplication::translate("main", "Log file cannot be opened"));

    m_updateService = std::make_unique<UpdateService>();
    m_updateService->setLocalVersion(UpdateService::runningVersion());
    QApplication::setApplicationVersion(m_updateService->localVersion());
    logStart();

    const QStringList arguments = modeArguments();
    const UpdateService::StartMode mode = m_updateService->startMode(arguments);
    if (mode == UpdateService::StartMode::Update)
        return runUpdateMode(arguments);
    if (mode == UpdateService::StartMode::Normal)
        noteNewVersion();

    m_singleInstance = std::make_unique<SingleInstance>();
    switch (m_singleInstance->claim()) {
        case SingleInstance::Claim::HandedOver:
            return 0;
        case SingleInstance::Claim::Failed:
            return endWithCriticalError(
                QApplication::translate("main", "Cannot create shared memory segment!"));
        case SingleInstance::Claim::Owned:
            break;
    }
    if (m_terminationRequest->received())
        return 0;

    passUpdateUrl();
    if (mode == UpdateService::StartMode::Normal && m_updateService->checkForUpdates())
        return offerUpdate();
    if (!Settings::settingsFileExists() && !settingsAcceptedWithoutFile())
        return 0;
    return runPlayer();
}

void Startup::listenForTermination()
{
    // Until the window exists, a request ends whatever event loop runs (a
    // box), and start-up stops at its next step.
    m_terminationRequest = std::make_unique<TerminationRequest>();
    QObject::connect(m_terminationRequest.get(), &TerminationRequest::requested, qApp,
                     [] { QCoreApplication::exit(0); });
}

int Startup::endWithCriticalError(const QString& text)
{
    qCritical("%s", qPrintable(text));
    // The event loop shows the message's box and then ends with exit code 1.
    return QApplication::exec();
}

void Startup::loadSettings()
{
    Settings* settings = Settings::instance();
    if (settings->server().isEmpty())
        settings->setServer(QString::fromLatin1(OperatorHosts::tvServer));
}

void Startup::installTranslators()
{
    const QString directory = QApplication::applicationDirPath();
    if (!m_qtTranslator.load(directory + QStringLiteral("/qt_ru")))
        qDebug("[%s] No Qt translation in %s", "main", qPrintable(directory));
    if (!m_appTranslator.load(directory + QStringLiteral("/media_player-ru")))
        qDebug("[%s] No player translation in %s", "main", qPrintable(directory));
    QApplication::installTranslator(&m_qtTranslator);
    QApplication::installTranslator(&m_appTranslator);
}

bool Startup::openDebugLog()
{
    return Logging::startSession();
}

void Startup::logStart()
{
    qDebug("[%s] Starting from %s", "main", qPrintable(QApplication::applicationFilePath()));
    qDebug("[%s] Local version = %s", "main", qPrintable(m_updateService->localVersion()));
}

QStringList Startup::modeArguments() const
{
    QStringList arguments = QApplication::arguments().mid(1);
    if (Settings::isDeveloperMode())
        arguments.removeFirst();
    return arguments;
}

int Startup::runUpdateMode(const QStringList& arguments)
{
    qDebug("[%s] Starting in update mode", "main");
    m_updateService->performUpdate(arguments);
    if (m_updateService->hasError()) {
        MessageBoxes::show(MessageBoxes::Kind::Critical, nullptr,
                           QApplication::translate("main", "Update error"),
                           m_updateService->errorText());
    }
    return 0;
}

void Startup::noteNewVersion()
{
    Settings* settings = Settings::instance();
    if (settings->versionInfo() == m_updateService->localVersion())
        return;
    qDebug("[%s] Starting in new installed version", "main");
    settings->setInstallZm(false);
}

void Startup::passUpdateUrl()
{
    Settings* settings = Settings::instance();
    m_updateService->setUpdateUrl(settings->getUpdateServerUrl());
    if (settings->getUpdateServerUrl().isEmpty()) {
        MessageBoxes::show(MessageBoxes::Kind::Critical, nullptr,
                           QApplication::translate("main", "Network Error"),
                           QStringLiteral("Error occured while trying to determine update server. "
                                          "Check your firewall/antivirus settings!"));
    }
}

// The offer is the run's only window: no player, no server session.
int Startup::offerUpdate()
{
    m_updateWindow = std::make_unique<UpdateProgressWindow>();
    m_updateWindow->setService(m_updateService.get());
    m_updateWindow->show();
    return QApplication::exec();
}

// The settings store takes the player settings the server keeps once the
// log-in has loaded them; it never sees the server itself.
void Startup::followServerSettings()
{
    TTVServerManager* server = m_serverManager.get();
    QObject::connect(
        server, &TTVServerManager::LoadAllClientInfoFromServerCompleted, Settings::instance(),
        [server] {
            if (const std::optional<QByteArray> custom = server->storedCustomSettings())
                Settings::instance()->applyServerCustomSettings(*custom);
        });
}

int Startup::runPlayer()
{
    m_serverManager = std::make_unique<TTVServerManager>();
    m_channelManager = std::make_unique<ChannelManager>();
    m_channelManager->setServerManager(m_serverManager.get());
    RecordTableManager::instance()->setChannelManager(m_channelManager.get());
    m_mainWindow = std::make_unique<MainWindow>();
    m_mainWindow->setTVServerManager(m_serverManager.get());
    m_mainWindow->setChannelManager(m_channelManager.get());
    followServerSettings();
    QObject::connect(m_singleInstance.get(), &SingleInstance::showPlayerRequested,
                     m_mainWindow.get(), &MainWindow::onShowPlayerMessage);
    if (m_terminationRequest->received())
        return 0;
    m_terminationRequest->disconnect();
    QObject::connect(m_terminationRequest.get(), &TerminationRequest::requested, m_mainWindow.get(),
                     &MainWindow::requestQuit);
    m_mainWindow->show();

    m_singleInstance->publish(quint32(m_mainWindow->winId()));
    m_channelManager->load();
    return QApplication::exec();
}
