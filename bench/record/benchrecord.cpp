// Loads the emulator's large operator (500 channels, a week of half-hour
// telecasts) through the real log-in, writes a record table of 2 000 lines
// naming its telecasts and measures how long the table takes to read the
// file and resolve every line against the channel list.
//
// A week of half-hour telecasts has room for 336 telecasts that do not
// overlap, so most lines meet an overlap; the question is answered at once
// by keeping what is scheduled, as the resolving is what is measured.

#include "benchoperator.h"
#include "benchprocess.h"
#include "channel.h"
#include "channelmanager.h"
#include "keepawake.h"
#include "recordtablefile.h"
#include "recordtablemanager.h"
#include "telecast.h"
#include "ttvservermanager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>

#include <cstdio>

namespace {

const int kLoginTimeoutMs = 120000;
const int kLines = 2000;
const int kRuns = 10;

// Telecasts spread over every channel and the whole week, none twice.
QList<Telecast*> pickTelecasts(const ChannelManager& channels)
{
    const QList<Channel*>& all = *channels.GetChannelsList();
    QList<Telecast*> picked;
    for (int i = 0; i < kLines; ++i) {
        const QList<Telecast*>& guide = all.at(i % all.size())->telecasts();
        const int round = i / int(all.size());
        if (!guide.isEmpty())
            picked.append(guide.at((round * 84 + i % 84) % guide.size()));
    }
    return picked;
}

bool writeTable(const QString& path, const QList<Telecast*>& telecasts)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const Telecast* telecast : telecasts) {
        const RecordTableFile::Line line{telecast->channel()->name(), telecast->title(),
                                         RecordTableFile::formatStart(telecast->start())};
        file.write(RecordTableFile::format(line).toUtf8() + '\n');
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    const BenchProcess process;
    QApplication app(argc, argv);
    const QString scenario = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString("large");

    BenchOperator operatorServer;
    if (!operatorServer.start(scenario))
        return 1;
    TTVServerManager& server = operatorServer.server();
    ChannelManager channels;
    channels.setServerManager(&server);
    QSignalSpy loaded(&channels, &ChannelManager::loadFinished);
    server.authorize();
    if (!loaded.wait(kLoginTimeoutMs)) {
        std::fprintf(stderr, "the channel list did not load\n");
        return 1;
    }

    RecordTableManager* table = RecordTableManager::instance();
    table->setKeepAwake(nullptr);
    table->setOverlapChooser([](const QString&, const QString&, const QStringList&) { return 1; });
    table->setChannelManager(&channels);
    const QList<Telecast*> telecasts = pickTelecasts(channels);

    // Answering the overlaps rewrites the file: it is written anew each run.
    double totalMs = 0;
    for (int run = 0; run < kRuns; ++run) {
        table->clear();
        for (Telecast* telecast : telecasts)
            telecast->setRecordScheduled(false);
        if (!writeTable(table->filePath(), telecasts)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(table->filePath()));
            return 1;
        }
        QElapsedTimer timer;
        timer.start();
        QMetaObject::invokeMethod(table, "load");
        totalMs += double(timer.nsecsElapsed()) / 1e6;
    }
    const double meanMs = totalMs / kRuns;

    std::printf("record table against scenario %s: %lld lines, %d scheduled, the rest overlaps\n",
                qPrintable(scenario), qint64(telecasts.size()), table->count());
    std::printf(
        "load     %8.2f ms   goal < 50 ms    %s  (read, resolved and scheduled, mean of %d)\n",
        meanMs, meanMs < 50 ? "met" : "MISSED", kRuns);
    return 0;
}
