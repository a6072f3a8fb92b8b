// The recordings page: the browser over the recordings folder, the scheduled
// list, and playing a recorded file.
#include "mainwindow.h"

void MainWindow::setupRecordView() {}

void MainWindow::enterRecordView() {}

void MainWindow::updateRecordViewCurrentPath(const QString& path)
{
    Q_UNUSED(path)
}

void MainWindow::playLocalMovie(const QString& fileName)
{
    Q_UNUSED(fileName)
}
