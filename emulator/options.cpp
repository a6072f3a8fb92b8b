#include "options.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString siblingDirectory(const QString& name)
{
    return QDir(QCoreApplication::applicationDirPath() + "/../" + name).absolutePath();
}

QString resolveScenario(const QString& given)
{
    if (QFileInfo::exists(given) || given.contains('/'))
        return given;
    const QString name = given.endsWith(".json") ? given : given + ".json";
    return QDir(siblingDirectory("scenarios")).filePath(name);
}

bool parseListen(const QString& text, EmulatorOptions* options)
{
    const qsizetype colon = text.lastIndexOf(':');
    bool portOk = false;
    const uint port = text.mid(colon + 1).toUInt(&portOk);
    if (colon <= 0 || !portOk || port > 65535 || !options->address.setAddress(text.left(colon)))
        return false;
    options->port = quint16(port);
    return true;
}

// "PORT" or "PORT,FAULT".
bool parseLocalService(const QString& text, EmulatorOptions* options)
{
    const QStringList parts = text.split(',');
    bool portOk = false;
    const uint port = parts.first().toUInt(&portOk);
    const std::optional<LocalServiceFault> fault =
        parts.size() == 2 ? localServiceFaultNamed(parts.last()) : LocalServiceFault::None;
    if (!portOk || port > 65535 || parts.size() > 2 || !fault)
        return false;
    options->localServicePort = quint16(port);
    options->localServiceFault = *fault;
    return true;
}

}  // namespace

std::optional<EmulatorOptions> parseCommandLine(const QStringList& arguments, QString* error)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Plays the operator's server over HTTP for tests and demonstrations.");
    parser.addHelpOption();
    const QCommandLineOption scenario(
        "scenario", "Scenario file, or the name of a shipped one (default: demo).", "file", "demo");
    const QCommandLineOption listen("listen", "Address and port to listen on (port 0: any free).",
                                    "host:port", "127.0.0.1:0");
    const QCommandLineOption samples("samples", "Folder of the stream samples.", "dir",
                                     siblingDirectory("samples"));
    const QCommandLineOption fault("fault", "Fault of one method, repeatable.",
                                   "Method:key=value,...");
    const QCommandLineOption log("log", "Also write the request log to this file.", "file");
    const QCommandLineOption localService(
        "local-service",
        "Also play the operator's local service on this port of 127.0.0.1 (0: any free), "
        "with a fault: silent, garbage, short, oversize or refuse.",
        "port[,fault]");
    parser.addOptions({scenario, listen, samples, fault, log, localService});
    if (!parser.parse(arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    if (parser.isSet("help"))
        parser.showHelp(0);

    EmulatorOptions options;
    if (!parseListen(parser.value(listen), &options)) {
        *error = "--listen wants an IP address and a port, as in 127.0.0.1:0";
        return std::nullopt;
    }
    if (parser.isSet(localService) && !parseLocalService(parser.value(localService), &options)) {
        *error = "--local-service wants a port and optionally a fault, as in 0,silent";
        return std::nullopt;
    }
    options.scenarioPath = resolveScenario(parser.value(scenario));
    options.samplesDirectory = parser.value(samples);
    options.faults = parser.values(fault);
    options.logPath = parser.value(log);
    return options;
}
