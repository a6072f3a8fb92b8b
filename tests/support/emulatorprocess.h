#pragma once

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QTemporaryFile>
#include <QUrl>

#include <memory>

// One request as the emulator logged it.
struct EmulatorRequest
{
    QString method;                  // "POST"
    QString path;                    // "/server/TvServerService/Auth.pb", with the query if any
    QMap<QString, QString> headers;  // lower-case names
    QString rpc;                     // "Auth"; empty for other requests
    QString message;                 // the RPC request in protobuf text format, on one line
    int connection = 0;              // requests on one connection share the number
};

// zentria-operator-emulator as a child process of a test, listening on a free
// port of 127.0.0.1. The process ends with the object.
class EmulatorProcess
{
public:
    EmulatorProcess();
    ~EmulatorProcess() { stop(); }

    // $ZENTRIA_BIN_DIR, or the bin folder beside the test's own folder.
    static QString binDirectory();
    static QString executable() { return binDirectory() + "/zentria-operator-emulator"; }
    static QString samplesDirectory();
    static QJsonObject shippedScenario(const QString& name);  // "demo"

    // scenario: a file, or the name of a shipped one. Waits for the emulator to
    // listen; false when it did not within the time.
    bool start(const QString& scenario, const QStringList& arguments = {}, int timeoutMs = 20000);
    bool start(const QJsonObject& scenario, const QStringList& arguments = {});
    void stop();

    quint16 port() const { return m_port; }
    quint16 localServicePort() const { return m_localServicePort; }  // 0 without --local-service
    qint64 pid() const { return m_process.processId(); }
    QString host() const { return "127.0.0.1:" + QString::number(m_port); }
    QUrl url(const QString& path) const { return QUrl("http://" + host() + path); }

    // The emulator logs a request before it answers it, so a request whose
    // answer has arrived is already here.
    QList<EmulatorRequest> requests();
    QList<EmulatorRequest> requests(const QString& rpc);
    bool waitForRequests(int count);
    void clearRequests();

private:
    void readOutput();

    QProcess m_process;
    std::unique_ptr<QTemporaryFile> m_scenarioFile;
    QByteArray m_pendingOutput;
    quint16 m_port = 0;
    quint16 m_localServicePort = 0;
    QList<EmulatorRequest> m_requests;
};
