#include "recordcontroller.h"

#include "channel.h"
#include "channelmanager.h"
#include "messageboxes.h"
#include "recordcontrollerhost.h"
#include "recordingnames.h"
#include "recordtablefile.h"
#include "recordtablemanager.h"
#include "serverclock.h"
#include "settings.h"
#include "telecast.h"

#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QWidget>

RecordController::RecordController(RecordControllerHost& host, QObject* parent)
    : QObject(parent), m_host(host), m_checkTimer(this)
{
    m_checkTimer.setInterval(checkIntervalMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &RecordController::checkOn);
    connect(&m_checkTimer, &QTimer::timeout, this, &RecordController::checkOff);
    connect(RecordTableManager::instance(), &RecordTableManager::changed, this,
            &RecordController::recordTableChange);
    m_checkTimer.start();
}

QWidget* RecordController::boxParent() const
{
    return qobject_cast<QWidget*>(parent());
}

void RecordController::record(const QString& fileName)
{
    m_pendingRecord = false;
    if (m_host.playerRecording())
        return;
    if (m_host.playerPlaying()) {
        m_host.startRecording(fileName);
        return;
    }
    m_pendingRecord = true;
    m_pendingFileName = fileName;
    m_host.startPlayer();
}

void RecordController::recordOnPlay()
{
    if (m_pendingRecord && !m_host.playerRecording())
        m_host.startRecording(m_pendingFileName);
    m_pendingRecord = false;
}

void RecordController::stop()
{
    if (!m_host.playerRecording())
        return;
    if (m_currentTelecast) {
        const bool cancel = MessageBoxes::ask(
            boxParent(), MessageBoxes::title(tr("Question")),
            tr("Do you really wish to cancel recording? Program will be removed from the "
               "recording schedule."));
        if (!cancel)
            return;
        unschedule(m_currentTelecast);
    }
    m_host.stopRecording();
}

void RecordController::clearCurrentTelecast()
{
    m_stoppedTelecast = m_currentTelecast;
    m_currentTelecast = nullptr;
}

void RecordController::recordingFailed()
{
    Telecast* telecast = m_currentTelecast ? m_currentTelecast : m_stoppedTelecast;
    m_stoppedTelecast = nullptr;
    if (telecast)
        unschedule(telecast);
}

void RecordController::checkOff()
{
    Telecast* telecast = m_currentTelecast;
    if (!telecast || ServerClock::serverLocalNow() - telecast->stop() < stopAfterSeconds)
        return;
    unschedule(telecast);
    m_host.stopRecording();
}

void RecordController::recordTableChange()
{
    if (m_currentTelecast && !RecordTableManager::instance()->contains(m_currentTelecast)) {
        m_currentTelecast = nullptr;
        if (m_host.playerRecording())
            m_host.stopRecording();
        return;
    }
    checkOn();
}

void RecordController::checkOn()
{
    // The question box runs an event loop of its own while the timer goes on.
    if (m_questionOpen)
        return;
    Telecast* telecast = RecordTableManager::instance()->nextPending();
    if (!telecast || !m_host.channelManager())
        return;
    // Switched to its channel, it waits for that channel's picture: until
    // then the player still plays, and records, the channel it left.
    if (m_pendingRecord && telecast == m_currentTelecast)
        return;
    if (telecast->start() - ServerClock::serverLocalNow() > startAheadSeconds)
        return;

    const Action action = chooseAction(telecast);
    if (action == Action::None)
        return;
    if (action == Action::Cancel) {
        unschedule(telecast);
        return;
    }
    if (action == Action::SwitchAndRecord)
        switchTo(telecast);
    const QPointer<Telecast> scheduled = telecast;  // the folder warning waits for the user
    if (!recordTelecast(telecast, action == Action::SwitchAndRecord) && scheduled)
        unschedule(scheduled);
}

RecordController::Action RecordController::chooseAction(Telecast* telecast)
{
    ChannelManager* channels = m_host.channelManager();
    const bool recording = m_host.playerRecording();
    const bool sameChannel =
        m_host.inIptvMode() && channels->currentChannel() == telecast->channel();
    QWidget* questionParent = m_host.questionParent();

    if (!recording) {
        if (sameChannel)
            return Action::Record;
        // Nobody to ask in the tray: the schedule is what the user wanted.
        if (!questionParent)
            return Action::SwitchAndRecord;
        return askToRecord(telecast,
                           tr("Do you wish to switch the channel and start scheduled "
                              "recording?"),
                           questionParent);
    }

    if (sameChannel) {
        if (!m_currentTelecast || m_currentTelecast == telecast) {
            m_currentTelecast = telecast;
            return Action::None;
        }
        // Back to back on one channel: each telecast gets its own file.
        m_host.stopRecording();
        return Action::Record;
    }

    const Action answer = askToRecord(
        telecast,
        tr("Do you wish to turn current recording off, switch the channel, and start scheduled "
           "recording?"),
        questionParent);
    if (answer == Action::SwitchAndRecord)
        m_host.stopRecording();
    return answer;
}

RecordController::Action RecordController::askToRecord(Telecast* telecast, const QString& question,
                                                       QWidget* parent)
{
    const Channel* channel = telecast->channel();
    const QString text =
        tr("Telecast recording (<b>%1</b> on <b>%2</b>) is scheduled at %3.<br/>")
            .arg(telecast->title().toHtmlEscaped(),
                 channel ? channel->name().toHtmlEscaped() : QString(),
                 RecordTableFile::formatStart(telecast->start())) +
        question + tr("<br/>To cancel scheduled telecast recording press <b>Reject</b> button.");

    const QPointer<Telecast> asked = telecast;
    m_questionOpen = true;
    const bool quitOnLastWindowClosed = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    const bool yes = MessageBoxes::askWithCountdown(parent, MessageBoxes::title(tr("Question")),
                                                    text, tr("Reject"), questionSeconds);
    QGuiApplication::setQuitOnLastWindowClosed(quitOnLastWindowClosed);
    m_questionOpen = false;
    // Meanwhile the telecast may have been unscheduled or the channel list
    // reloaded.
    if (!asked || !RecordTableManager::instance()->contains(asked))
        return Action::None;
    return yes ? Action::SwitchAndRecord : Action::Cancel;
}

void RecordController::switchTo(Telecast* telecast)
{
    if (ChannelManager* channels = m_host.channelManager())
        channels->setCurrentChannel(telecast->channel());
    if (!m_host.inIptvMode())
        m_host.switchToIptvMode();
}

bool RecordController::recordTelecast(Telecast* telecast, bool afterSwitch)
{
    const QDir folder(Settings::instance()->scheduledRecordSaveFolder());
    if (!folder.exists() && !QDir().mkpath(folder.absolutePath())) {
        MessageBoxes::show(MessageBoxes::Kind::Warning, boxParent(),
                           MessageBoxes::title(tr("Warning")),
                           tr("Cannot access folder -- %1!\nScheduled recording will be cancelled.")
                               .arg(folder.absolutePath()));
        return false;
    }
    const Channel* channel = telecast->channel();
    const QString path = folder.absoluteFilePath(RecordingNames::scheduled(
        QDateTime::currentDateTime(), channel ? channel->name() : QString(), telecast->title()));
    m_currentTelecast = telecast;
    if (!afterSwitch) {
        record(path);
        return true;
    }
    // The old channel may still count as playing until the new stream opens;
    // its playing() starts the file.
    m_pendingRecord = true;
    m_pendingFileName = path;
    return true;
}

void RecordController::unschedule(Telecast* telecast)
{
    // The table's change still sees the telecast as current and so stops its
    // recording rather than going on to the next telecast.
    telecast->setRecordScheduled(false);
    if (m_currentTelecast == telecast)
        m_currentTelecast = nullptr;
}
