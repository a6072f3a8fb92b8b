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
    settings.setWindowSize(window.size());
    settings.setWindowMaximized(window.isMaximized());
    settings.setWindowPosition(window.pos());
}
