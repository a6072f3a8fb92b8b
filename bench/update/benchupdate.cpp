// The self-update's download and unpacking: a 50 MB product.zip (the player's
// executable, deflated, filled up with incompressible entries) served by the
// emulator on loopback and fetched by the player's HttpGet, then unpacked by
// its unpacker. Prints the speed, the widest step of the progress signal and
// the unpacking time against the goals.

#include "benchprocess.h"
#include "emulatorprocess.h"
#include "httpget.h"
#include "unpack.h"
#include "zipwriter.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr qint64 kArchiveBytes = 50'000'000;
constexpr qint64 kFillerBytes = 4'000'000;  // per incompressible entry
constexpr double kMegabyte = 1'000'000.0;

// The player as the first entry, then fillers of incompressible bytes.
bool writeArchive(const QString& path, const QByteArray& program, qint64 fillers)
{
    ZipWriter archive(path);
    archive.addFile("zentria-player", program, true);
    QRandomGenerator random(16);
    for (qint64 i = 0; i < fillers; ++i) {
        QByteArray filler(kFillerBytes, Qt::Uninitialized);
        random.fillRange(reinterpret_cast<quint32*>(filler.data()), filler.size() / 4);
        archive.addFile(QString("data/filler-%1.bin").arg(i), filler);
    }
    return archive.close();
}

// As many fillers as make the archive kArchiveBytes, the player deflated as
// much as in an archive of its own.
bool writeFullArchive(const QString& path)
{
    QFile player(EmulatorProcess::binDirectory() + "/zentria-player");
    if (!player.open(QIODevice::ReadOnly))
        return false;
    const QByteArray program = player.readAll();
    if (!writeArchive(path, program, 0))
        return false;
    const qint64 fillers = (kArchiveBytes - QFileInfo(path).size()) / kFillerBytes + 1;
    return writeArchive(path, program, qMax<qint64>(fillers, 0));
}

struct Download
{
    QString path;
    double seconds = 0;
    int widestStep = 0;  // percent between two progress signals, from 0 to 100
};

Download download(const QUrl& url)
{
    HttpGet get;
    QList<int> percents{0};
    // Queued to this thread, where the window's bar would take them.
    QObject::connect(&get, &HttpGet::progress, &get,
                     [&](int percent) { percents.append(percent); });
    QSignalSpy finished(&get, &HttpGet::finished);
    QElapsedTimer clock;
    clock.start();
    get.get(url, true);
    Download result;
    if (!finished.wait(120000))
        return result;
    result.seconds = clock.nsecsElapsed() / 1e9;
    result.path = finished.first().first().toString();
    percents.append(100);
    for (qsizetype i = 1; i < percents.size(); ++i)
        result.widestStep = qMax(result.widestStep, percents.at(i) - percents.at(i - 1));
    return result;
}

}  // namespace

int main(int argc, char* argv[])
{
    const BenchProcess process;
    QCoreApplication application(argc, argv);
    QTemporaryDir work;
    const QString archive = work.filePath("product.zip");
    if (!writeFullArchive(archive)) {
        std::fprintf(stderr, "cannot write a 50 MB archive into %s\n", qPrintable(work.path()));
        return 1;
    }
    EmulatorProcess emulator;
    const QJsonObject offer{{"version", "9.9"}, {"archive", archive}};
    if (!emulator.start(QJsonObject{{"update", offer}})) {
        std::fprintf(stderr, "the emulator did not start\n");
        return 1;
    }
    const Download fetched = download(emulator.url("/iptv/zmplayer/product.zip"));
    if (fetched.path.isEmpty()) {
        std::fprintf(stderr, "the download failed\n");
        return 1;
    }
    const qint64 bytes = QFileInfo(fetched.path).size();
    const double speed = bytes / kMegabyte / fetched.seconds;
    QElapsedTimer clock;
    clock.start();
    const QString unpacked = work.filePath("unpacked");
    const int code = QDir().mkpath(unpacked) ? Unpack::unpackZip(fetched.path, unpacked) : -1;
    const double unpackSeconds = clock.nsecsElapsed() / 1e9;
    QFile::remove(fetched.path);
    if (code != Unpack::Unpacked) {
        std::fprintf(stderr, "unpacking failed with %d\n", code);
        return 1;
    }

    std::printf("product.zip of %.1f MB over loopback from the emulator\n", bytes / kMegabyte);
    std::printf("download  %7.1f MB/s  goal >= 50 MB/s   %s  (%.2f s)\n", speed,
                speed >= 50 ? "met" : "MISSED", fetched.seconds);
    std::printf("progress  %7d %%     goal <= 2 %%       %s  (widest step between signals)\n",
                fetched.widestStep, fetched.widestStep <= 2 ? "met" : "MISSED");
    std::printf("unpack    %7.2f s     goal < 2 s        %s\n", unpackSeconds,
                unpackSeconds < 2 ? "met" : "MISSED");
    return 0;
}
