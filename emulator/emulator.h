#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "faults.h"
#include "httpserver.h"
#include "localservice.h"
#include "options.h"
#include "requestlog.h"
#include "rpcdispatcher.h"
#include "scenario.h"
#include "streamer.h"
#include "updateserver.h"

class ChannelCatalog;
class Clock;
class OperatorService;
class Router;

// The emulated operator as a whole: the scenario, its state and the HTTP front.
class Emulator
{
public:
    explicit Emulator(const EmulatorOptions& options);
    ~Emulator();

    // Loads what the options name and starts listening; then prints
    // "local service on 127.0.0.1:<port>" when it plays the local service, and
    // "listening on <host>:<port>", on stdout.
    bool start(QString* error);

private:
    bool loadSamples(QString* error);
    bool listen(QString* error);
    bool startLocalService(QString* error);
    void buildService();
    bool loadFaults(QString* error);
    bool checkFault(const QString& target, QString* error) const;
    QString advertisedHost() const;

    EmulatorOptions m_options;
    std::optional<Scenario> m_scenario;
    SampleLibrary m_samples;
    RequestLog m_log;
    RpcDispatcher m_rpc;
    FaultPlan m_faults;
    UpdateServer m_update;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<ChannelCatalog> m_catalog;
    std::unique_ptr<OperatorService> m_service;
    std::unique_ptr<Router> m_router;
    std::unique_ptr<LocalService> m_localService;
    HttpServer m_server;  // last, so that its connections go first
};
