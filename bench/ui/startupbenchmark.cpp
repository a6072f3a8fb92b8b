#include "appinfo.h"
#include "emulatorprocess.h"
#include "openbenchmark.h"
#include "residentmemory.h"
#include "uibenchmarks.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>

namespace {

constexpr int startTimeout = 30000;
const QString listLoaded = QStringLiteral("[ChannelManager] channel list loaded");
const QString firstPicture = QStringLiteral("[MediaPlayer] first picture of");
const QString videoShown = QStringLiteral("[MainWindow] video page shown");

// One start of zentria-player on a fresh profile pointed at the emulator.
class PlayerRun
{
public:
    PlayerRun(const EmulatorProcess& emulator, const QString& lastChannel)
    {
        const QString data = m_home.path() + "/data";
        m_dataDirectory = data + "/Zentria Media Player";
        QDir().mkpath(m_dataDirectory);
        QSettings ini(m_dataDirectory + "/settings.ini", QSettings::IniFormat);
        ini.setValue("server", emulator.host());
        ini.setValue("update-host", emulator.host());
        ini.setValue("last-channel", lastChannel);
        // A returning user: no "what's new" dialog.
        ini.setValue("version-info", QString::fromLatin1(AppInfo::version));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("HOME", m_home.path());
        environment.insert("XDG_DATA_HOME", data);
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        m_process.setProcessEnvironment(environment);
    }

    ~PlayerRun()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

    bool start()
    {
        m_startedAt = QTime::currentTime();
        m_process.start(EmulatorProcess::binDirectory() + "/zentria-player");
        return m_process.waitForStarted(startTimeout);
    }

    // Milliseconds from the start to the log line; -1 when it never came.
    double timeTo(const QString& text) const
    {
        QTime loggedAt;
        const bool logged =
            QTest::qWaitFor([&] { return (loggedAt = timeOfLine(text)).isValid(); }, startTimeout);
        return logged ? m_startedAt.msecsTo(loggedAt) : -1;
    }

    qint64 pid() const { return m_process.processId(); }

private:
    // Log lines begin "hh:mm:ss.zzz: ".
    QTime timeOfLine(const QString& text) const
    {
        QFile file(m_dataDirectory + "/debug.log");
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString log = QString::fromUtf8(file.readAll());
        const qsizetype at = log.indexOf(text);
        if (at < 0)
            return {};
        const qsizetype lineStart = log.lastIndexOf('\n', at) + 1;
        return QTime::fromString(log.mid(lineStart, 12), QStringLiteral("hh:mm:ss.zzz"));
    }

    QTemporaryDir m_home;
    QString m_dataDirectory;
    QProcess m_process;
    QTime m_startedAt;
};

QString lastChannelOfDemo()
{
    const QJsonArray channels = EmulatorProcess::shippedScenario("demo")["channels"].toArray();
    return channels.isEmpty() ? QString() : channels.first()["name"].toString();
}

}  // namespace

bool UiBenchmarks::startup(QTextStream& out, int rounds)
{
    EmulatorProcess emulator;
    if (!emulator.start("demo")) {
        out << "startup: the operator emulator did not start\n";
        return false;
    }
    QList<double> list, picture, video, memory;
    for (int round = 0; round <= rounds; ++round) {
        PlayerRun run(emulator, lastChannelOfDemo());
        if (!run.start()) {
            out << "startup: zentria-player did not start\n";
            return false;
        }
        const double listTime = run.timeTo(listLoaded);
        const double pictureTime = run.timeTo(firstPicture);
        const double videoTime = run.timeTo(videoShown);
        QTest::qWait(2000);  // let playback reach its working size
        const double rss = ResidentMemory::total(ResidentMemory::tree(run.pid()),
                                                 &ResidentMemory::Process::rssKib) /
                           1024.0;
        if (round == 0)  // the first start fills the disk cache
            continue;
        list << listTime;
        picture << pictureTime;
        video << videoTime;
        memory << rss;
    }
    out << QString(
               "startup   list loaded %1 ms  first picture %2 ms  video page %3 ms  "
               "resident playing %4 MiB  (median of %5)\n")
               .arg(OpenBenchmark::median(list), 0, 'f', 1)
               .arg(OpenBenchmark::median(picture), 0, 'f', 1)
               .arg(OpenBenchmark::median(video), 0, 'f', 1)
               .arg(OpenBenchmark::median(memory), 0, 'f', 1)
               .arg(rounds);
    return !list.contains(-1) && !picture.contains(-1) && !video.contains(-1);
}
