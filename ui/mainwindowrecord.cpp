// The window's recording: the record controller, the player calls it makes
// and the guard that asks before a channel change abandons a recording.
#include "mainwindow.h"

#include "mediaplayer.h"
#include "messageboxes.h"
#include "recordcontroller.h"
#include "settings.h"
#include "telecast.h"

void MainWindow::setupRecording()
{
    m_recordController = new RecordController(*this, this);
    MediaPlayer* player = m_ui.mediaPlayer;
    // What a player killed while recording left unfinished.
    for (const QString& folder : {Settings::instance()->recordSaveFolder(),
                                  Settings::instance()->scheduledRecordSaveFolder()})
        MediaPlayer::recoverAbandoned(folder);
    connect(player, &MediaPlayer::playing, m_recordController, &RecordController::recordOnPlay);
    connect(player, &MediaPlayer::recordStopped, m_recordController,
            &RecordController::clearCurrentTelecast);
    connect(player, &MediaPlayer::recordingFailed, this, [this](const QString& reason) {
        // Out of the schedule first: the box waits for the user, the
        // telecasts after this one do not.
        m_recordController->recordingFailed();
        MessageBoxes::show(MessageBoxes::Kind::Warning, this, MessageBoxes::title(tr("Warning")),
                           reason);
    });
}

bool MainWindow::allowChannelChange(Channel* from, Channel* to)
{
    Q_UNUSED(from)
    Q_UNUSED(to)
    if (!playerRecording())
        return true;
    const bool cancel = MessageBoxes::ask(
        this, MessageBoxes::title(tr("Question")),
        tr("Player is still recording. Do you really wish to cancel this record?"));
    if (!cancel)
        return false;
    if (Telecast* telecast = m_recordController->currentTelecast())
        telecast->setRecordScheduled(false);
    stopRecording();
    return true;
}

void MainWindow::switchToIptvMode()
{
    setMode(IptvMode, false);
}

QWidget* MainWindow::questionParent() const
{
    return isVisible() ? const_cast<MainWindow*>(this) : nullptr;
}

bool MainWindow::playerRecording() const
{
    return m_ui.mediaPlayer->isRecording();
}

void MainWindow::startPlayer()
{
    m_ui.mediaPlayer->play();
}

bool MainWindow::startRecording(const QString& path)
{
    return m_ui.mediaPlayer->startRecord(path);
}

void MainWindow::stopRecording()
{
    m_ui.mediaPlayer->stopRecord();
}
