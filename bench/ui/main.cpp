#include "benchprocess.h"
#include "customwebview.h"
#include "uibenchmarks.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    const BenchProcess process;
    CustomWebView::prepareApplication();
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Zap time, start-up time and resident memory of the player on the demo scenario; the "
        "programme guide page and the on-screen display's refresh on the large one.");
    parser.addHelpOption();
    const QCommandLineOption rounds("rounds", "Rounds of the timed benchmarks (10).", "n", "10");
    parser.addOption(rounds);
    parser.addPositionalArgument("benchmark",
                                 "zap, startup, memory, guide or osd; all when none is named.");
    parser.process(application);

    const int count = parser.value(rounds).toInt();
    QStringList chosen = parser.positionalArguments();
    if (chosen.isEmpty())
        chosen = {"zap", "startup", "memory", "guide", "osd"};
    QTextStream out(stdout);
    bool ok = true;
    for (const QString& name : chosen) {
        if (name == "zap")
            ok &= UiBenchmarks::zap(out, count);
        else if (name == "startup")
            ok &= UiBenchmarks::startup(out, count);
        else if (name == "memory")
            ok &= UiBenchmarks::memory(out);
        else if (name == "guide")
            ok &= UiBenchmarks::guide(out, count);
        else if (name == "osd")
            ok &= UiBenchmarks::osd(out);
        else
            parser.showHelp(2);
        out.flush();
    }
    return ok ? 0 : 1;
}
