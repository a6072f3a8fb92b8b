#include "playerprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

PlayerProcess::PlayerProcess(const QString& home) : m_home(home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("HOME", home);
    environment.insert("XDG_DATA_HOME", home + "/data");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("ZENTRIA_MESSAGE_BOX_LOG", home + "/boxes.txt");
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

PlayerProcess::~PlayerProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString PlayerProcess::executable()
{
    QString directory = qEnvironmentVariable("ZENTRIA_BIN_DIR");
    if (directory.isEmpty())
        directory = QCoreApplication::applicationDirPath() + "/../bin";
    return directory + "/zentria-player";
}

void PlayerProcess::start(const QStringList& arguments)
{
    m_process.start(executable(), arguments);
    QVERIFY2(m_process.waitForStarted(10000), qPrintable(m_process.errorString()));
}

int PlayerProcess::run(const QStringList& arguments)
{
    start(arguments);
    return waitForExit();
}

bool PlayerProcess::waitForLog(const QString& text, int count, int timeoutMs) const
{
    return QTest::qWaitFor([&] { return log().count(text) >= count; }, timeoutMs);
}

int PlayerProcess::waitForExit(int timeoutMs)
{
    if (!m_process.waitForFinished(timeoutMs) || m_process.exitStatus() != QProcess::NormalExit)
        return -1;
    return m_process.exitCode();
}

void PlayerProcess::terminate()
{
    m_process.terminate();
}

void PlayerProcess::kill()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

QString PlayerProcess::dataDirectory() const
{
    return m_home + "/data/Zentria Media Player";
}

QString PlayerProcess::log() const
{
    QFile file(dataDirectory() + "/debug.log");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList PlayerProcess::boxes() const
{
    QFile file(m_home + "/boxes.txt");
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}
