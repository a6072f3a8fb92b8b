// The recordings page: the browser over the recordings folder, the scheduled
// list, and playing a recorded file.
#include "mainwindow.h"

#include "customfilesystemmodel.h"
#include "recordtablemanager.h"
#include "settings.h"

#include <QApplication>
#include <QFileInfo>

void MainWindow::setupRecordView()
{
    m_ui.scheduledRecordList->setRecordTableManager(RecordTableManager::instance());
    CustomFileSystemModel* files = m_ui.viewRecordings->fileSystemModel();
    if (!files) {
        qDebug("[MainWindow::MainWindow] !!! cannot get viewRecordings->model !!!");
        return;
    }
    files->setFileIcon(QIcon(":/images/video-x-generic.png"));
    files->setNameFilters({"*.mpg", "*.ts", "*.ps", "*.avi", "*.mkv", "*.mp4", "*.mov", "*.flv"});
    connect(files, &CustomFileSystemModel::pathChanged, this,
            &MainWindow::updateRecordViewCurrentPath);
    connect(m_ui.viewRecordings, &DirView::fileActivated, this, &MainWindow::playLocalMovie);
    // Back from a film (stopped, ended), the browser has the keys again: the
    // video page took them.
    connect(m_ui.logoSwitcher, &QStackedWidget::currentChanged, this, [this](int page) {
        if (page == RecordingsPage)
            m_ui.viewRecordings->setFocus();
    });
}

void MainWindow::enterRecordView()
{
    CustomFileSystemModel* files = m_ui.viewRecordings->fileSystemModel();
    if (!files) {
        qDebug("[MainWindow::setupCurrentMode] !!! cannot get viewRecordings->model !!!");
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    files->setPath(Settings::instance()->scheduledRecordSaveFolder());
    m_ui.viewRecordings->selectFirst();
    m_ui.viewRecordings->setFocus();
    QApplication::restoreOverrideCursor();
}

void MainWindow::updateRecordViewCurrentPath(const QString& path)
{
    m_ui.recordViewCurrentPath->setText(path);
}

void MainWindow::playLocalMovie(const QString& fileName)
{
    stopForFilm();
    applyPictureSettings();
    m_ui.mediaPlayer->openFile(fileName, true, -1);
    showMovieProgress(QFileInfo(fileName).fileName());
    m_trackMenus.preferLanguageOnce();
    showPage(StandByPage);
}
