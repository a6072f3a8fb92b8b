#pragma once

#include <QStringList>
#include <QTranslator>

#include <memory>

class ChannelManager;
class MainWindow;
class SingleInstance;
class TerminationRequest;
class TTVServerManager;
class UpdateProgressWindow;
class UpdateService;

// One start of the process, from the settings to the event loop and back:
// it hands over to a running player, runs the second half of an update,
// offers a newer version, or builds the player and runs it until its window
// closes. The destructor is the shut-down.
class Startup
{
public:
    Startup();
    ~Startup();

    // Runs the start and returns the process exit code.
    int run();

private:
    void listenForTermination();
    int endWithCriticalError(const QString& text);
    void loadSettings();
    void installTranslators();
    bool openDebugLog();
    void logStart();
    QStringList modeArguments() const;
    int runUpdateMode(const QStringList& arguments);
    void noteNewVersion();
    void passUpdateUrl();
    int offerUpdate();
    int runPlayer();
    void followServerSettings();

    QTranslator m_qtTranslator;
    QTranslator m_appTranslator;
    std::unique_ptr<UpdateService> m_updateService;
    std::unique_ptr<SingleInstance> m_singleInstance;
    std::unique_ptr<TerminationRequest> m_terminationRequest;
    std::unique_ptr<TTVServerManager> m_serverManager;
    std::unique_ptr<ChannelManager> m_channelManager;
    std::unique_ptr<MainWindow> m_mainWindow;
    std::unique_ptr<UpdateProgressWindow> m_updateWindow;
    bool m_socketsStarted = false;
};
