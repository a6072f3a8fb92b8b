#include "benchprocess.h"
#include "emulatorprocess.h"
#include "openbenchmark.h"
#include "pacedhttpserver.h"
#include "playertestsupport.h"
#include "videoplatform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>

namespace {

void report(QTextStream& out, const QString& name, const OpenBenchmark::Result& result)
{
    const double player = OpenBenchmark::median(result.player);
    const double bare = OpenBenchmark::median(result.bare);
    out << QString("%1  player %2 ms  bare libVLC %3 ms  difference %4 ms  (rounds %5)\n")
               .arg(name, -8)
               .arg(player, 7, 'f', 1)
               .arg(bare, 7, 'f', 1)
               .arg(player - bare, 7, 'f', 1)
               .arg(result.player.size());
    out.flush();
}

// The operator emulator's live stream, and the sample served from its start.
void reportBuiltInStreams(QTextStream& out, OpenBenchmark& benchmark)
{
    EmulatorProcess emulator;
    if (emulator.start("demo"))
        report(out, "emulator", benchmark.run({emulator.url("/stream/1").toString(), false}));
    else
        std::fprintf(stderr, "the operator emulator did not start\n");
    PacedHttpServer server(PlayerSample::path(), PlayerSample::seconds);
    if (server.listen())
        report(out, "paced", benchmark.run({server.url(), false}));
}

}  // namespace

int main(int argc, char* argv[])
{
    const BenchProcess process;
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription("Open-to-first-picture times of the player and bare libVLC.");
    parser.addHelpOption();
    const QCommandLineOption rounds("rounds", "Rounds per source (10).", "n", "10");
    const QCommandLineOption url("url", "An HTTP stream to time instead of the emulator's.", "url");
    parser.addOptions({rounds, url});
    parser.process(application);

    InstanceOptions options;
    options.outputArguments = VideoPlatform::outputArguments();
    OpenBenchmark benchmark(options, parser.value(rounds).toInt());

    QTextStream out(stdout);
    out << "open() to first picture, median, network caching " << options.networkCaching << " ms\n";
    if (parser.isSet(url))
        report(out, "http", benchmark.run({parser.value(url), false}));
    else
        reportBuiltInStreams(out, benchmark);
    report(out, "file", benchmark.run({PlayerSample::path(), true}));
    return 0;
}
