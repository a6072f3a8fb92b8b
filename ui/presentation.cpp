#include "presentation.h"

#include "fullscreenprogresspanel.h"
#include "settings.h"
#include "tempinfowidget.h"

#include <QApplication>
#include <QSignalBlocker>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int cursorHideMs = 3000;

struct Hotkey
{
    int id;
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    bool portal;  // else television
};

constexpr Qt::KeyboardModifiers Ctrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers CtrlAlt = Qt::ControlModifier | Qt::AltModifier;

constexpr Hotkey hotkeys[] = {
    {0x344, CtrlAlt, Qt::Key_D, false},
    {0x342, CtrlAlt, Qt::Key_B, true},
    {0x254, Ctrl, Qt::Key_T, false},
    {0x245, Ctrl, Qt::Key_E, true},
};

}  // namespace

Presentation::Presentation(QWidget& window, Settings& settings)
    : QObject(&window), m_window(window), m_settings(settings)
{
    static_assert(std::size(hotkeys) == std::tuple_size_v<decltype(m_hotkeyIds)>);
    m_cursorTimer.setSingleShot(true);
    m_cursorTimer.setInterval(cursorHideMs);
    connect(&m_cursorTimer, &QTimer::timeout, this, &Presentation::hideCursor);
    connect(&m_hotkeys, &GlobalHotkeys::activated, this, &Presentation::onHotkey);
    connect(&settings, &Settings::useHotKeysChanged, this, &Presentation::renewHotkeys);
    renewHotkeys();
}

Presentation::~Presentation()
{
    unregisterHotkeys();
}

bool Presentation::isAlwaysOnTop() const
{
    return m_window.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void Presentation::toggleFullscreen(bool overVideo)
{
    if (!m_window.isFullScreen()) {
        setOnlyPlayer(true);
        // Fullscreen always shows only the player.
        m_overlays.panel()->onlyPlayerToggle()->hide();
        m_window.setWindowState(m_window.windowState() | Qt::WindowFullScreen);
        m_window.raise();
        if (overVideo)
            m_cursorTimer.start();
    } else {
        m_cursorTimer.stop();
        m_window.setWindowState(m_window.windowState() & ~Qt::WindowFullScreen);
        setOnlyPlayer(false);
        m_overlays.banner()->hide();
    }
}

void Presentation::setOnlyPlayer(bool onlyPlayer)
{
    if (onlyPlayer == m_onlyPlayer)
        return;
    m_onlyPlayer = onlyPlayer;
    m_overlays.hideAll();
    QToolButton* toggle = m_overlays.panel()->onlyPlayerToggle();
    toggle->show();
    {
        const QSignalBlocker blocker(toggle);
        toggle->setChecked(onlyPlayer);
    }
    emit onlyPlayerChanged(onlyPlayer);
    setAlwaysOnTop(onlyPlayer, false);
}

void Presentation::setAlwaysOnTop(bool onTop, bool store)
{
    if (isAlwaysOnTop() == onTop)
        return;
    qDebug("[MainWindow::setAlwaysOnTop] changing On-Top state");
    // setWindowFlag() would replace the native window, and with it the video
    // surface libVLC draws into: the window system is told directly instead.
    const Qt::WindowFlags flags = m_window.windowFlags().setFlag(Qt::WindowStaysOnTopHint, onTop);
    m_window.overrideWindowFlags(flags);
    if (QWindow* handle = m_window.windowHandle())
        handle->setFlags(flags);
    if (store)
        m_settings.setAlwaysOnTop(onTop);
    emit alwaysOnTopChanged(onTop);
}

void Presentation::hideCursorLater()
{
    m_cursorTimer.start();
}

void Presentation::hideCursor()
{
    if (QApplication::activePopupWidget() || m_overlays.holdsCursor())
        return;
    if (QApplication::overrideCursor())
        QApplication::changeOverrideCursor(Qt::BlankCursor);
    else
        QApplication::setOverrideCursor(Qt::BlankCursor);
}

void Presentation::renewHotkeys()
{
    unregisterHotkeys();
    if (!m_settings.useHotKeys())
        return;
    for (std::size_t i = 0; i < std::size(hotkeys); ++i) {
        if (m_hotkeys.registerHotkey(hotkeys[i].id, hotkeys[i].modifiers, hotkeys[i].key))
            m_hotkeyIds[i] = hotkeys[i].id;
    }
}

void Presentation::onHotkey(int id)
{
    const auto hotkey = std::find_if(std::cbegin(hotkeys), std::cend(hotkeys),
                                     [id](const Hotkey& entry) { return entry.id == id; });
    if (hotkey != std::cend(hotkeys))
        emit hotkeyPressed(hotkey->portal);
}

void Presentation::unregisterHotkeys()
{
    for (int& id : m_hotkeyIds) {
        if (id != 0)
            m_hotkeys.unregisterHotkey(id);
        id = 0;
    }
}
