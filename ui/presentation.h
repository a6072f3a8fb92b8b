#pragma once

#include "fullscreenoverlays.h"
#include "globalhotkeys.h"

#include <QObject>
#include <QTimer>

#include <array>

class QWidget;
class Settings;

// How the player's window presents itself: full screen, only the player, on
// top of other windows, the overlays and the mouse cursor over full-screen
// video; and the global hotkeys, registered while use-hot-keys is on.
class Presentation : public QObject
{
    Q_OBJECT
public:
    Presentation(QWidget& window, Settings& settings);
    ~Presentation() override;

    bool isOnlyPlayer() const { return m_onlyPlayer; }
    FullscreenOverlays& overlays() { return m_overlays; }
    const FullscreenOverlays& overlays() const { return m_overlays; }
    bool isAlwaysOnTop() const;

    // Full screen shows only the player, on top of other windows; over
    // video the mouse cursor hides after a while.
    void toggleFullscreen(bool overVideo);
    // Only the player is shown on top of other windows, without storing it.
    void setOnlyPlayer(bool onlyPlayer);
    void setAlwaysOnTop(bool onTop, bool store);

    // Hides the cursor after a few seconds without a move.
    void hideCursorLater();
    // Hides it now, unless a menu, the fullscreen list or the panel is open.
    void hideCursor();

signals:
    void onlyPlayerChanged(bool onlyPlayer);
    void alwaysOnTopChanged(bool onTop);
    // A global hotkey asks for the portal, or else for television.
    void hotkeyPressed(bool portal);

private:
    void renewHotkeys();
    void onHotkey(int id);
    void unregisterHotkeys();

    QWidget& m_window;
    Settings& m_settings;
    FullscreenOverlays m_overlays{m_window};
    QTimer m_cursorTimer;
    GlobalHotkeys m_hotkeys{this};
    std::array<int, 4> m_hotkeyIds{};  // 0: not registered
    bool m_onlyPlayer = false;
};
