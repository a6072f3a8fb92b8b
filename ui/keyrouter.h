#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// Gives a window the first look at the keys its focused widget gets, the way
// a player is driven: whatever a click left the focus on (a list, the video),
// the window's key rules come first. Text fields and the web page keep their
// typing; the window then sees only the keys they leave. A key is consumed
// only when the window's handler says it acted on it.
class KeyRouter : public QObject
{
    Q_OBJECT
public:
    // True when the window acted on the key.
    using Handler = std::function<bool(QKeyEvent*)>;

    // Watches the application's events for the window's keys while the
    // router lives; the window owns it.
    KeyRouter(QWidget* window, Handler handler);

    // True when a focused widget of this kind types the keys it gets: an
    // editable line, text or spin box, an editable combo box, a web page.
    static bool keepsTyping(const QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where the window's rules are tried for a key of this window: at the
    // focused widget, or at the window itself after a typing widget.
    QWidget* judge() const;

    QWidget* m_window;
    Handler m_handler;
};
