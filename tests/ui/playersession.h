#pragma once

#include "channelmanager.h"
#include "emulatorprocess.h"
#include "mainwindow.h"
#include "temporaryprofile.h"
#include "ttvservermanager.h"

#include <QJsonObject>
#include <QStringList>

#include <memory>

// The player as start-up builds it, on a profile of its own, logged in to an
// operator emulator. The version-changes dialog is already dismissed.
struct PlayerSession
{
    PlayerSession();
    ~PlayerSession();

    // A scenario of tests/data/ui.
    static QJsonObject scenario(const QString& name = QStringLiteral("three-channels.json"));

    // A main window without server or channel manager.
    void createWindow();
    // Starts the emulator on the scenario and the player against it; the
    // channel list loads from here on.
    bool start(const QJsonObject& scenario = PlayerSession::scenario(),
               const QStringList& emulatorArguments = {});
    bool waitForLoad() const;
    // Makes the channel at row current and waits for its video page.
    bool playChannel(int row, int timeoutMs = 20000) const;

    template <typename Widget>
    Widget* child(const char* name) const
    {
        return window->findChild<Widget*>(QString::fromLatin1(name));
    }

    std::unique_ptr<TemporaryProfile> profile;
    std::unique_ptr<EmulatorProcess> emulator;
    std::unique_ptr<TTVServerManager> server;
    std::unique_ptr<ChannelManager> channels;
    std::unique_ptr<MainWindow> window;
};
