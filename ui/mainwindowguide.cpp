// The programme guide page: search, the telecasts as HTML and their record
// links.
#include "mainwindow.h"

void MainWindow::setupGuide() {}

void MainWindow::checkSearchText(const QString& text)
{
    m_ui.startSearch->setEnabled(text.size() >= 3);
}

void MainWindow::startProgramSearch() {}

void MainWindow::reformatTvProgram() {}

void MainWindow::toggleTelecastRecording(const QUrl&) {}
