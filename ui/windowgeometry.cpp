#include "windowgeometry.h"

#include "settings.h"

#include <QWidget>

void WindowGeometry::restore(QWidget& window, const Settings& settings)
{
    if (settings.isWindowMaximized()) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
        return;
    }
    window.resize(settings.windowSize());
    window.move(settings.windowPosition());
}

void WindowGeometry::store(const QWidget& window, Settings& settings)
{
    settings.setWindowMaximized(window.isMaximized());
    // Full screen and maximised fill the screen: the size to come back to is
    // the normal one, and the place stays the one stored.
    if (window.isFullScreen() || window.isMaximized()) {
        if (window.normalGeometry().isValid())
            settings.setWindowSize(window.normalGeometry().size());
        return;
    }
    settings.setWindowSize(window.size());
    settings.setWindowPosition(window.pos());
}
