#pragma once

#include <QObject>

#include <memory>

// System-wide key combinations that reach the player even while another
// program has the keyboard. On Windows they are RegisterHotKey hotkeys; on
// X11 key grabs on the root window. Other platforms (offscreen, Wayland) have
// none: registration fails there.
class GlobalHotkeys : public QObject
{
    Q_OBJECT
public:
    explicit GlobalHotkeys(QObject* parent = nullptr);
    ~GlobalHotkeys() override;

    // Ctrl, Alt and Shift count; key is a letter or a digit. False when the
    // system refused the combination (another program holds it) or the
    // platform has no global hotkeys.
    bool registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key);
    void unregisterHotkey(int id);
    bool isRegistered(int id) const;

signals:
    void activated(int id);

private:
    class NativeFilter;
    std::unique_ptr<NativeFilter> m_filter;
};
