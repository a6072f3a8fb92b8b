#include "mainwindow.h"

#include "channelmanager.h"
#include "customfilesystemmodel.h"
#include "settings.h"
#include "settingsdialog.h"

// ---- the settings dialog ---------------------------------------------------

void MainWindow::setupSettings()
{
    connect(m_ui.buttonSettings, &QToolButton::clicked, this, &MainWindow::showSettingsDialog);
}

// The store's change signal re-applies the player's settings; what the
// window shows of them itself is taken again here.
void MainWindow::showSettingsDialog()
{
    SettingsDialog dialog(this, m_mode, m_ui.mediaPlayer,
                          m_serviceActive ? m_serviceClient : nullptr, m_serverManager,
                          m_channelManager);
    dialog.exec();
    const Settings* store = Settings::instance();
    showChannelNumbers(store->showChannelNumbers());
    if (m_mode != RecordViewMode)
        return;
    if (CustomFileSystemModel* files = m_ui.viewRecordings->fileSystemModel())
        files->setPath(store->scheduledRecordSaveFolder());
}
