// CPU time of the player playing a live stream alone and playing it while
// recording it, in alternating phases of one run.
#include "benchprocess.h"
#include "emulatorprocess.h"
#include "instanceoptions.h"
#include "mediaplayer.h"
#include "videoplatform.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

// CPU seconds of the whole process, every thread of libVLC's included.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Per cent of one core used over a phase of the given length.
double cpuOver(int milliseconds)
{
    QElapsedTimer wall;
    const double before = cpuSeconds();
    wall.start();
    QTest::qWait(milliseconds);
    return 100.0 * (cpuSeconds() - before) / (double(wall.nsecsElapsed()) / 1e9);
}

double mean(const QList<double>& values)
{
    double sum = 0;
    for (double value : values)
        sum += value;
    return values.isEmpty() ? 0 : sum / values.size();
}

}  // namespace

int main(int argc, char* argv[])
{
    const BenchProcess process;
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription("CPU of playing a stream alone and while recording it.");
    parser.addHelpOption();
    const QCommandLineOption rounds("rounds", "Pairs of phases (4).", "n", "4");
    const QCommandLineOption seconds("seconds", "Length of a phase (20).", "s", "20");
    const QCommandLineOption url("url", "An HTTP stream instead of the emulator's.", "url");
    const QCommandLineOption sample("sample", "An MPEG-TS file for the emulator to stream.",
                                    "file");
    parser.addOptions({rounds, seconds, url, sample});
    parser.process(application);
    const int phase = parser.value(seconds).toInt() * 1000;

    EmulatorProcess emulator;
    QTemporaryDir samples;
    QString location = parser.value(url);
    if (location.isEmpty()) {
        // Channel 1 of the demo, streaming the file given instead of its own.
        QJsonObject scenario = EmulatorProcess::shippedScenario("demo");
        QStringList arguments;
        if (parser.isSet(sample)) {
            QJsonArray channels = scenario.value("channels").toArray();
            QJsonObject first = channels.at(0).toObject();
            first.insert("sample", "bench.ts");
            channels.replace(0, first);
            scenario.insert("channels", channels);
            const QDir shipped(EmulatorProcess::samplesDirectory());
            for (const QFileInfo& file : shipped.entryInfoList(QDir::Files))
                QFile::link(file.absoluteFilePath(), samples.filePath(file.fileName()));
            QFile::link(QFileInfo(parser.value(sample)).absoluteFilePath(),
                        samples.filePath("bench.ts"));
            arguments = QStringList{"--samples", samples.path()};
        }
        if (!emulator.start(scenario, arguments)) {
            std::fprintf(stderr, "the operator emulator did not start\n");
            return 1;
        }
        location = emulator.url("/stream/1").toString();
    }

    InstanceOptions options;
    options.outputArguments = VideoPlatform::outputArguments();
    MediaPlayer player(options);
    QSignalSpy playing(&player, &MediaPlayer::playing);
    player.open(location);
    if (!playing.wait(20000)) {
        std::fprintf(stderr, "%s did not play\n", qPrintable(location));
        return 1;
    }
    cpuOver(phase);  // a phase not counted: past the first picture and the caches filling

    QTemporaryDir folder;
    QList<double> alone;
    QList<double> recording;
    qint64 recorded = 0;
    const int pairs = parser.value(rounds).toInt();
    // Alone, recording, recording, alone, ...: a drift of the machine weighs
    // on both alike. The emulator loops its sample, and decoding costs more in
    // some parts of it than in others: a phase should last whole loops (the
    // samples run 10 or 20 s).
    for (int i = 0; i < 2 * pairs; ++i) {
        const bool record = (i % 4 == 1) || (i % 4 == 2);
        const QString file = folder.filePath(QStringLiteral("phase %1.mpg").arg(i));
        if (record && !player.startRecord(file)) {
            std::fprintf(stderr, "recording did not start\n");
            return 1;
        }
        (record ? recording : alone) << cpuOver(phase);
        if (record) {
            QSignalSpy finished(&player, &MediaPlayer::recordingFinished);
            player.stopRecord();
            finished.wait(10000);
            recorded += QFileInfo(file).size();
        }
    }
    player.stop();

    QTextStream out(stdout);
    const auto list = [](const QList<double>& values) {
        QStringList texts;
        for (double value : values)
            texts << QString::number(value, 'f', 1);
        return texts.join(' ');
    };
    out << "CPU of one core, " << pairs << " x 2 phases of " << phase / 1000 << " s, " << location
        << "\n";
    out << QString("playing alone      %1 %  (%2)\n").arg(mean(alone), 5, 'f', 1).arg(list(alone));
    out << QString("playing+recording  %1 %  (%2)\n")
               .arg(mean(recording), 5, 'f', 1)
               .arg(list(recording));
    // Each recording phase against the playing phase next to it.
    QList<double> costs;
    for (qsizetype i = 0; i < qMin(alone.size(), recording.size()); ++i)
        costs << 100.0 * (recording[i] / alone[i] - 1.0);
    std::sort(costs.begin(), costs.end());
    const double medianCost = costs.isEmpty() ? 0 : costs[costs.size() / 2];
    out << QString(
               "recording costs    %1 % more (of the means), %2 % (median of pairs); "
               "%3 MB recorded\n")
               .arg(100.0 * (mean(recording) / mean(alone) - 1.0), 5, 'f', 1)
               .arg(medianCost, 0, 'f', 1)
               .arg(double(recorded) / 1e6, 0, 'f', 1);
    return 0;
}
