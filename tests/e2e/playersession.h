#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

#include "emulatorprocess.h"

// The player as a user meets it: a virtual X server with a window manager and
// a tray, the operator emulator, and the built zentria-player in a fresh
// profile, each a process of its own. Input goes through xdotool; what the
// player did is read from the emulator's request log, the profile's debug.log
// and files on disk. Everything started is ended by its process id when the
// session ends.
class PlayerSession
{
public:
    PlayerSession();
    ~PlayerSession();

    // The X server, openbox and a tray host; false if one did not come up.
    bool startDesktop();
    // scenario: a shipped name ("demo") or a file of tests/data/e2e.
    bool startEmulator(const QString& scenario = "demo");
    // Starts the player in a new profile whose settings.ini points at the
    // emulator, plays lastChannel and holds the extra lines given. The profile
    // has seen this version's news unless the lines name a version-info.
    bool startPlayer(const QString& lastChannel, const QByteArray& extraSettings = {});
    // Starts the player again in the profile of the last start.
    bool restartPlayer();
    // The program the starts run, an installed copy for instance; the build's
    // zentria-player unless set.
    void setPlayerProgram(const QString& program) { m_playerProgram = program; }

    static QString dataFile(const QString& name);  // a file of tests/data/e2e

    EmulatorProcess& emulator() { return m_emulator; }
    QProcess& player() { return *m_player; }
    QString dataDirectory() const;  // the profile's "Zentria Media Player" folder
    QString recordingsDirectory() const;
    QByteArray settingsIni() const;
    QString debugLog() const;
    QStringList recordTable() const;  // the lines of the profile's record-table.txt

    // Polls until the text is in debug.log; false on timeout.
    bool waitForLog(const QString& text, int timeoutMs = 30000) const;
    // The channel ids of the OpenStream calls so far, oldest first.
    QList<int> openedChannels();
    bool waitForOpenStream(int channelId, int timeoutMs = 30000);
    // Waits for the player to end; false on timeout.
    bool waitForExit(int timeoutMs = 30000);
    void sendSignal(int signal);

    // The player's main window, once it is shown; 0 on timeout.
    qulonglong mainWindow(int timeoutMs = 30000);
    // Windows of the player whose title matches the regular expression.
    QStringList windowsNamed(const QString& pattern);
    QStringList windowNames(const QStringList& windows);
    // Where the window lies on the screen; empty if it cannot be asked.
    QRect windowGeometry(qulonglong window);
    // The screen's pixels in the area as RGB triplets, row after row.
    QByteArray grabScreen(const QRect& area);
    // Where an image of the player's ui/images or osd/images shows inside the area, drawn
    // at its own size or scaled to a usual icon size: the centres, from the top.
    QList<QPoint> findImage(const QRect& area, const QString& image);
    // A point inside the topmost block of that exact colour in the area; a
    // null point when none shows.
    QPoint findColour(const QRect& area, QRgb colour);
    // The addresses the player gave the desktop's browser, oldest first.
    QStringList browserRequests() const;
    // Keeps the area as a PNG file in $ZENTRIA_ARTIFACT_DIR.
    bool saveScreen(const QRect& area, const QString& name);
    bool xdotool(const QStringList& arguments, QByteArray* output = nullptr);
    bool click(const QPoint& point, int times = 1);
    // Waits for a box whose title matches, brings it to the front and
    // presses the keys there.
    bool answerBox(const QString& title, const QStringList& keys);
    // A click on the window's title bar, as a user brings it to the front.
    bool clickTitleBar();
    // A double-click on a row of the channel list, counted from 0 at the top.
    bool doubleClickChannelRow(int row);
    bool pressKeys(const QStringList& keys);

private:
    bool launchPlayer();
    static bool installBrowser(const QString& folder);
    bool run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr);
    bool startHelper(QProcess* process, const QString& program, const QStringList& arguments);
    bool waitForDisplay();
    void writeSettings(const QString& lastChannel, const QByteArray& extraSettings);
    void reportOnFailure();
    void endPlayer();

    QString m_display;
    QProcess m_xserver;
    QProcess m_windowManager;
    QProcess m_tray;
    EmulatorProcess m_emulator;
    std::unique_ptr<QTemporaryDir> m_profile;
    std::unique_ptr<QProcess> m_player;
    QString m_playerProgram = EmulatorProcess::binDirectory() + "/zentria-player";
};
