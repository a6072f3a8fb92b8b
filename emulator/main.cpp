// zentria-operator-emulator: the operator's server, played on a local port
// for tests and demonstrations. See README.md beside this file.

#include <QCoreApplication>

#include <cstdio>

#include "emulator.h"
#include "options.h"

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName("zentria-operator-emulator");

    QString error;
    const std::optional<EmulatorOptions> options =
        parseCommandLine(application.arguments(), &error);
    if (!options) {
        std::fprintf(stderr, "zentria-operator-emulator: %s\n", qPrintable(error));
        return 2;
    }
    Emulator emulator(*options);
    if (!emulator.start(&error)) {
        std::fprintf(stderr, "zentria-operator-emulator: %s\n", qPrintable(error));
        return 1;
    }
    return application.exec();
}
