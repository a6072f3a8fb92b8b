#pragma once

#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

#include "localservice.h"

struct EmulatorOptions
{
    QString scenarioPath;
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 0;  // 0: any free port
    QString samplesDirectory;
    QStringList faults;  // "Method:key=value,..."
    QString logPath;
    std::optional<quint16> localServicePort;  // 0: any free port
    LocalServiceFault localServiceFault = LocalServiceFault::None;
};

// Reads the command line; --help prints and exits here. A scenario given by
// bare name ("demo" or "demo.json") that is no file is looked up among the
// scenarios beside the program's bin folder.
std::optional<EmulatorOptions> parseCommandLine(const QStringList& arguments, QString* error);
