#include "emulatorprocess.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QTest>

#include <sys/prctl.h>
#include <csignal>

namespace {

const QByteArray kListening = "listening on 127.0.0.1:";

EmulatorRequest parseRequest(const QJsonObject& json)
{
    EmulatorRequest request;
    request.method = json["method"].toString();
    request.path = json["path"].toString();
    const QJsonObject headers = json["headers"].toObject();
    for (auto it = headers.begin(); it != headers.end(); ++it)
        request.headers.insert(it.key(), it.value().toString());
    request.rpc = json["rpc"].toString();
    request.message = json["message"].toString();
    request.error = json["error"].toString();
    request.connection = json["connection"].toInt();
    return request;
}

}  // namespace

EmulatorProcess::EmulatorProcess()
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test that crashes must not leave its emulator holding ctest's output.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

EmulatorProcess::~EmulatorProcess()
{
    stop();
}

QString EmulatorProcess::binDirectory()
{
    const QString directory = qEnvironmentVariable("ZENTRIA_BIN_DIR");
    return directory.isEmpty() ? QCoreApplication::applicationDirPath() + "/../bin" : directory;
}

QString EmulatorProcess::executable()
{
    return binDirectory() + "/zentria-operator-emulator";
}

QString EmulatorProcess::samplesDirectory()
{
    return QDir(binDirectory() + "/../samples").absolutePath();
}

QString EmulatorProcess::scenarioPath(const QString& name)
{
    return QDir(binDirectory() + "/../scenarios").absoluteFilePath(name + ".json");
}

QJsonObject EmulatorProcess::shippedScenario(const QString& name)
{
    QFile file(scenarioPath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool EmulatorProcess::start(const QString& scenario, const QStringList& arguments, int timeoutMs)
{
    m_process.start(executable(),
                    QStringList{"--scenario", scenario, "--listen", "127.0.0.1:0"} + arguments);
    const bool listening = QTest::qWaitFor(
        [this] {
            readOutput();
            return m_port != 0 || m_process.state() == QProcess::NotRunning;
        },
        timeoutMs);
    if (listening && m_port != 0)
        return true;
    qWarning("the emulator did not start: %s", qPrintable(m_process.errorString()));
    return false;
}

bool EmulatorProcess::start(const QJsonObject& scenario, const QStringList& arguments,
                            int timeoutMs)
{
    m_scenarioFile = writeTemporaryScenario(scenario);
    return m_scenarioFile && start(m_scenarioFile->fileName(), arguments, timeoutMs);
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

QString EmulatorProcess::host() const
{
    return "127.0.0.1:" + QString::number(m_port);
}

QUrl EmulatorProcess::url(const QString& path) const
{
    return QUrl("http://" + host() + path);
}

QList<EmulatorRequest> EmulatorProcess::requests()
{
    readOutput();
    return m_requests;
}

QList<EmulatorRequest> EmulatorProcess::requests(const QString& rpc)
{
    QList<EmulatorRequest> matching;
    for (const EmulatorRequest& request : requests()) {
        if (request.rpc == rpc)
            matching.append(request);
    }
    return matching;
}

bool EmulatorProcess::waitForRequests(int count, int timeoutMs)
{
    return QTest::qWaitFor([this, count] { return requests().size() >= count; }, timeoutMs);
}

void EmulatorProcess::clearRequests()
{
    readOutput();
    m_requests.clear();
}

void EmulatorProcess::readOutput()
{
    m_pendingOutput += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_pendingOutput.indexOf('\n')) >= 0) {
        readLine(m_pendingOutput.left(end));
        m_pendingOutput.remove(0, end + 1);
    }
}

void EmulatorProcess::readLine(const QByteArray& line)
{
    if (line.startsWith(kListening)) {
        m_port = quint16(line.mid(kListening.size()).toUInt());
        return;
    }
    const QJsonDocument json = QJsonDocument::fromJson(line);
    if (json.isObject())
        m_requests.append(parseRequest(json.object()));
}

std::unique_ptr<QTemporaryFile> writeTemporaryScenario(const QJsonObject& scenario)
{
    auto file =
        std::make_unique<QTemporaryFile>(QDir::tempPath() + "/zentria-scenario-XXXXXX.json");
    if (!file->open())
        return nullptr;
    file->write(QJsonDocument(scenario).toJson());
    file->close();
    return file;
}
