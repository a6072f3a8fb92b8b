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
    parser.addOptions({scenario, listen, samples, fault, log});
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
    options.scenarioPath = resolveScenario(parser.value(scenario));
    options.samplesDirectory = parser.value(samples);
    options.faults = parser.values(fault);
    options.logPath = parser.value(log);
    return options;
}
