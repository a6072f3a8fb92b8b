#include "playersession.h"

#include "messageboxes.h"
#include "settings.h"

#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

PlayerSession::PlayerSession() : profile(std::make_unique<TemporaryProfile>())
{
    Settings::instance()->setVersionInfo();
}

PlayerSession::~PlayerSession()
{
    window.reset();
    channels.reset();
    server.reset();
    emulator.reset();
    Settings::destroy();
    MessageBoxes::setPresenter({});
}

QJsonObject PlayerSession::scenario(const QString& name)
{
    QFile file(QFINDTESTDATA("../data/ui/" + name));
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

void PlayerSession::createWindow()
{
    window = std::make_unique<MainWindow>();
    window->show();
}

bool PlayerSession::start(const QJsonObject& scenario, const QStringList& emulatorArguments)
{
    emulator = std::make_unique<EmulatorProcess>();
    if (!emulator->start(scenario, emulatorArguments))
        return false;
    Settings::instance()->setServer(emulator->host());
    server = std::make_unique<TTVServerManager>();
    channels = std::make_unique<ChannelManager>();
    channels->setServerManager(server.get());
    createWindow();
    window->setTVServerManager(server.get());
    window->setChannelManager(channels.get());
    channels->load();
    return true;
}

bool PlayerSession::waitForLoad() const
{
    return channels->isLoaded() ||
           QSignalSpy(channels.get(), &ChannelManager::loadFinished).wait(15000);
}

bool PlayerSession::playChannel(int row, int timeoutMs) const
{
    QSignalSpy video(window.get(), &MainWindow::switchedToVideo);
    channels->setCurrentChannel(channels->channelAt(row));
    return video.wait(timeoutMs);
}
