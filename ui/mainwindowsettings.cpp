#include "mainwindow.h"

// ---- the settings dialog ---------------------------------------------------

void MainWindow::setupSettings() {}

void MainWindow::showSettingsDialog() {}
