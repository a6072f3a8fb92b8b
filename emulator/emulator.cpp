#include "emulator.h"

#include <QJsonValue>

#include <cstdio>

#include "channelcatalog.h"
#include "clock.h"
#include "operatorservice.h"
#include "router.h"

Emulator::Emulator(const EmulatorOptions& options)
    : m_options(options), m_samples(options.samplesDirectory)
{
}

Emulator::~Emulator() = default;

bool Emulator::start(QString* error)
{
    m_scenario = Scenario::load(m_options.scenarioPath, error);
    if (!m_scenario || !loadSamples(error) || !m_update.load(m_scenario->update, error))
        return false;
    if (!m_options.logPath.isEmpty() && !m_log.openFile(m_options.logPath, error))
        return false;
    if (!listen(error) || !startLocalService(error))
        return false;
    buildService();
    if (!loadFaults(error))
        return false;
    m_router = std::make_unique<Router>(m_rpc, m_faults, *m_catalog, m_samples, m_update, m_log,
                                        m_scenario->portalScript);
    m_server.setHandler(m_router.get());
    std::fprintf(stderr, "%s: %lld channels, %lld telecasts\n", qPrintable(m_options.scenarioPath),
                 qlonglong(m_catalog->channelCount()), qlonglong(m_catalog->telecastCount()));
    if (m_localService)
        printLine("local service on 127.0.0.1:" + QByteArray::number(m_localService->port()));
    printLine("listening on " +
              (advertisedHost() + ':' + QString::number(m_server.port())).toUtf8());
    return true;
}

bool Emulator::loadSamples(QString* error)
{
    if (!m_samples.load(Scenario::kDefaultSample, error))
        return false;
    for (const ChannelEntry& channel : m_scenario->channels) {
        if (!channel.sample.isEmpty() && !m_samples.load(channel.sample, error))
            return false;
    }
    return true;
}

bool Emulator::listen(QString* error)
{
    if (m_server.listen(m_options.address, m_options.port))
        return true;
    *error = QString("cannot listen on %1:%2: %3")
                 .arg(m_options.address.toString())
                 .arg(m_options.port)
                 .arg(m_server.errorString());
    return false;
}

bool Emulator::startLocalService(QString* error)
{
    if (!m_options.localServicePort || m_options.localServiceFault == LocalServiceFault::Refuse)
        return true;
    m_localService = std::make_unique<LocalService>(m_options.localServiceFault, m_log);
    if (m_localService->listen(*m_options.localServicePort))
        return true;
    *error = QString("cannot listen on 127.0.0.1:%1 for the local service: %2")
                 .arg(*m_options.localServicePort)
                 .arg(m_localService->errorString());
    return false;
}

void Emulator::buildService()
{
    m_clock = std::make_unique<Clock>(m_scenario->clockStart);
    m_catalog = std::make_unique<ChannelCatalog>(*m_scenario, m_clock->nowUtc());
    m_service = std::make_unique<OperatorService>(*m_scenario, *m_catalog, *m_clock,
                                                  ServerAddress{advertisedHost(), m_server.port()});
    m_service->registerWith(m_rpc);
}

// Faults of the scenario first; the command line's replace them per method.
bool Emulator::loadFaults(QString* error)
{
    const QJsonObject& scenarioFaults = m_scenario->faults;
    for (auto it = scenarioFaults.begin(); it != scenarioFaults.end(); ++it) {
        if (!it.value().isObject()) {
            *error = "faults." + it.key() + ": expected an object";
            return false;
        }
        if (!m_faults.add(it.key(), it.value().toObject(), error))
            return false;
    }
    for (const QString& argument : m_options.faults) {
        if (!m_faults.addArgument(argument, error))
            return false;
    }
    for (const QString& target : m_faults.targets()) {
        if (!checkFault(target, error))
            return false;
    }
    return true;
}

bool Emulator::checkFault(const QString& target, QString* error) const
{
    const RpcMethod* method = m_rpc.findByName(target);
    if (!method) {
        *error = "fault for " + target + ", which is not a method the emulator answers";
        return false;
    }
    const QString result = m_faults.configured(target).result;
    if (!result.isEmpty() && !Rpc::isResultValue(*method->responsePrototype, result)) {
        *error = QString("fault of %1: %2 is not one of its result codes").arg(target, result);
        return false;
    }
    return true;
}

// A server listening on every address is reached on the loopback one.
QString Emulator::advertisedHost() const
{
    const QHostAddress address = m_server.address();
    const bool any = address == QHostAddress::Any || address == QHostAddress::AnyIPv4 ||
                     address == QHostAddress::AnyIPv6;
    return any ? QString("127.0.0.1") : address.toString();
}
