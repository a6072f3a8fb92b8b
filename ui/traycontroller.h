#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

class Settings;

// The player's icon in the system tray, its menu ("Hide Player" or "Restore
// Player", then Quit) and the hint shown the first time the window goes there.
// The window decides what the requests mean.
class TrayController : public QObject
{
    Q_OBJECT
public:
    explicit TrayController(Settings& settings, QObject* parent = nullptr);

    // Whether a tray host shows the icon: without one nothing could bring a
    // hidden window back.
    bool isAvailable() const;
    // The window went to the tray (true) or came back from it (false).
    void setWindowInTray(bool inTray);
    // The icon goes when the player closes.
    void hide();

signals:
    // The menu's first entry.
    void toggleRequested();
    // A double click on the icon.
    void restoreRequested();
    // The menu's Quit: the player is to end even where closing the window
    // only hides it.
    void quitRequested();

private:
    void showHiddenHint();

    Settings& m_settings;
    QMenu m_menu;  // outlives the icon that shows it
    QSystemTrayIcon m_icon;
    QAction* const m_toggleEntry;
};
