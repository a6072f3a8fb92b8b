#pragma once

class QWidget;
class Settings;

// The window's size, position and maximised state in the settings store:
// restored at start and on the first show, stored when the window closes.
namespace WindowGeometry {

void restore(QWidget& window, const Settings& settings);
void store(const QWidget& window, Settings& settings);

}  // namespace WindowGeometry
