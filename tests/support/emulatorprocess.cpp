#include "emulatorprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QTest>

#include <sys/prctl.h>
#include <csignal>

namespace {

const QByteArray kListening = "listening on 127.0.0.1:";
const QByteArray kLocalService = "local service on 127.0.0.1:";

EmulatorRequest parseRequest(const QJsonObject& json)
{
    EmulatorRequest request{
        json["method"].toString(), json["path"].toString(),    {},
        json["rpc"].toString(),    json["message"].toString(), json["connection"].toInt()};
    const QJsonObject headers = json["headers"].toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it)
        request.headers.insert(it.key(), it.value().toString());
    return request;
}

}  // namespace

EmulatorProcess::EmulatorProcess()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes must not leave its emulator holding ctest's output.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

QString EmulatorProcess::binDirectory()
{
    const QString directory = qEnvironmentVariable("ZENTRIA_BIN_DIR");
    return directory.isEmpty() ? QCoreApplication::applicationDirPath() + "/../bin" : directory;
}

QString EmulatorProcess::samplesDirectory()
{
    return QDir(binDirectory() + "/../samples").absolutePath();
}

QJsonObject EmulatorProcess::shippedScenario(const QString& name)
{
    QFile file(QDir(binDirectory() + "/../scenarios").absoluteFilePath(name + ".json"));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

bool EmulatorProcess::start(const QString& scenario, const QStringList& arguments, int timeoutMs)
{
    m_process.start(executable(),
                    QStringList{"--scenario", scenario, "--listen", "127.0.0.1:0"} + arguments);
    (void)QTest::qWaitFor(
        [this] {
            readOutput();
            return m_port != 0 || m_process.state() == QProcess::NotRunning;
        },
        timeoutMs);
    if (m_port == 0)
        qWarning("the emulator did not start: %s", qPrintable(m_process.errorString()));
    return m_port != 0;
}

bool EmulatorProcess::start(const QJsonObject& scenario, const QStringList& arguments)
{
    m_scenarioFile =
        std::make_unique<QTemporaryFile>(QDir::tempPath() + "/zentria-scenario-XXXXXX.json");
    if (!m_scenarioFile->open())
        return false;
    m_scenarioFile->write(QJsonDocument(scenario).toJson());
    m_scenarioFile->close();
    return start(m_scenarioFile->fileName(), arguments);
}

void EmulatorProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QList<EmulatorRequest> EmulatorProcess::requests()
{
    readOutput();
    return m_requests;
}

QList<EmulatorRequest> EmulatorProcess::requests(const QString& rpc)
{
    QList<EmulatorRequest> matching = requests();
    matching.removeIf([&rpc](const EmulatorRequest& request) { return request.rpc != rpc; });
    return matching;
}

bool EmulatorProcess::waitForRequests(int count)
{
    return QTest::qWaitFor([this, count] { return requests().size() >= count; }, 10000);
}

void EmulatorProcess::clearRequests()
{
    readOutput();
    m_requests.clear();
}

// Each line is a port it listens on, or a request it logged as JSON.
void EmulatorProcess::readOutput()
{
    m_pendingOutput += m_process.readAllStandardOutput();
    for (qsizetype end; (end = m_pendingOutput.indexOf('\n')) >= 0;
         m_pendingOutput.remove(0, end + 1)) {
        const QByteArray line = m_pendingOutput.left(end);
        if (line.startsWith(kListening))
            m_port = quint16(line.mid(kListening.size()).toUInt());
        else if (line.startsWith(kLocalService))
            m_localServicePort = quint16(line.mid(kLocalService.size()).toUInt());
        else if (const QJsonDocument json = QJsonDocument::fromJson(line); json.isObject())
            m_requests.append(parseRequest(json.object()));
    }
}
