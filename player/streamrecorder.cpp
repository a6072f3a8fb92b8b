#include "streamrecorder.h"

#include "playerhandle.h"
#include "vlcinternals.h"

#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QThread>

namespace {

constexpr char startOperation[] = "MediaPlayer::startRecord";
constexpr char stopOperation[] = "MediaPlayer::stopRecord";

// How often and how long a finished recording is tried to be put in place.
constexpr int finishInterval = 250;
constexpr int finishAttempts = 20;
// How long the owner's end waits for a file it cannot move yet.
constexpr int lastFinishWait = 2000;
constexpr int lastFinishInterval = 50;

}  // namespace

StreamRecorder::StreamRecorder(std::shared_ptr<const PlayerHandle> handle, QObject* parent)
    : QObject(parent), m_handle(std::move(handle)), m_finishTimer(this), m_watchTimer(this)
{
    m_finishTimer.setInterval(finishInterval);
    connect(&m_finishTimer, &QTimer::timeout, this, &StreamRecorder::finishPending);
    m_watchTimer.setInterval(watchInterval);
    connect(&m_watchTimer, &QTimer::timeout, this, &StreamRecorder::watch);
}

// The owner is going, after libVLC has let go of the input and so closed the
// file: the recording is put in place, but nobody is told. A file that cannot
// be moved yet (a virus scanner may hold it a moment) is waited for a little.
StreamRecorder::~StreamRecorder()
{
    const QSignalBlocker quiet(this);
    if (m_current.isActive())
        m_pending.append({m_current, m_currentPath});
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        for (auto pending = m_pending.begin(); pending != m_pending.end();) {
            if (pending->file.hasRecorded()) {
                ++pending;
                continue;
            }
            pending->file.abandon();  // nothing was recorded, and nothing will be
            pending = m_pending.erase(pending);
        }
        finishPending();
        if (m_pending.isEmpty() || waited.elapsed() >= lastFinishWait)
            break;
        QThread::msleep(lastFinishInterval);
    }
    for (Pending& pending : m_pending) {
        qDebug("[%s] !!! no recording to put into %s !!!", stopOperation, qPrintable(pending.path));
        pending.file.abandon();
    }
}

QStringList StreamRecorder::recoverAbandoned(const QString& folder)
{
    return recover(folder, {});
}

QStringList StreamRecorder::recover(const QString& folder, const QStringList& busy)
{
    const QStringList placed = RecordingFile::recoverAbandoned(folder, busy);
    for (const QString& path : placed)
        qDebug("[MediaPlayer::recoverAbandoned] Recording recovered to %s",
               qPrintable(QDir::toNativeSeparators(path)));
    return placed;
}

QStringList StreamRecorder::busyFolders() const
{
    QStringList folders{m_current.folder()};
    for (const Pending& pending : m_pending)
        folders << pending.file.folder();
    return folders;
}

bool StreamRecorder::isRecording() const
{
    return VlcInternals::isRecording(m_handle->hold().get());
}

bool StreamRecorder::canRecord() const
{
    return VlcInternals::canRecord(m_handle->hold().get());
}

bool StreamRecorder::start(const QString& path)
{
    const PlayerHandle::Held player = m_handle->hold();
    if (!VlcInternals::canRecord(player.get()) || VlcInternals::isRecording(player.get()))
        return false;
    if (m_current.isActive())
        ended();  // libVLC has dropped it without a word
    if (const QFileInfo target(path); !target.isDir())
        recover(target.absolutePath(), busyFolders());
    if (!m_current.begin(path)) {
        qDebug("[%s] !!! cannot write into %s !!!", startOperation, qPrintable(path));
        qDebug("[%s] Failed to start recording, error = %d", startOperation,
               VlcInternals::genericError);
        return false;
    }
    const QByteArray folder = QDir::toNativeSeparators(m_current.folder()).toUtf8();
    const int pathResult = VlcInternals::setRecordPath(player.get(), folder);
    if (pathResult != VlcInternals::success) {
        qDebug("[%s] Cannot set input-record-path, return code = %d", startOperation, pathResult);
        m_current.abandon();
        return false;
    }
    const int result = VlcInternals::setRecording(player.get(), true);
    if (result != VlcInternals::success) {
        qDebug("[%s] Failed to start recording, error = %d", startOperation, result);
        m_current.abandon();
        return false;
    }
    m_currentPath = path;
    m_watchTimer.start();
    qDebug("[%s] Recording to %s", startOperation, qPrintable(QDir::toNativeSeparators(path)));
    emit recording();
    return true;
}

void StreamRecorder::stop()
{
    const PlayerHandle::Held player = m_handle->hold();
    if (!VlcInternals::isRecording(player.get()))
        return;
    const int result = VlcInternals::setRecording(player.get(), false);
    if (result != VlcInternals::success) {
        qDebug("[%s] Failed to stop recording, error = %d", stopOperation, result);
        return;
    }
    ended();
}

void StreamRecorder::onInputEnded()
{
    if (m_current.isActive())
        ended();
}

void StreamRecorder::ended()
{
    qDebug("[%s] Recording stopped", stopOperation);
    m_pending.append({m_current, m_currentPath});
    m_current = RecordingFile();
    m_watchTimer.stop();
    m_finishTimer.start();
    emit recordStopped();
}

// A recording without its folder or with a full disk stops, and what it
// wrote is put in place when it still can be.
void StreamRecorder::watch()
{
    const QString folder = QDir::toNativeSeparators(m_current.targetFolder());
    const bool vanished = !QFileInfo(m_current.folder()).isDir();
    QString reason;
    if (vanished) {
        reason = tr("The recording folder %1 has disappeared.").arg(folder);
    } else {
        const QStorageInfo disk(m_current.folder());
        if (disk.isValid() && disk.isReady() && disk.bytesAvailable() < m_diskMargin)
            reason = tr("The disk of %1 is full.").arg(folder);
    }
    if (reason.isEmpty())
        return;
    qDebug("[%s] !!! %s !!!", stopOperation, qPrintable(reason));
    stop();
    if (m_current.isActive())
        ended();  // the input had stopped recording already
    if (vanished && !m_pending.isEmpty()) {
        m_pending.last().file.abandon();
        m_pending.removeLast();
    }
    emit recordingFailed(reason);
}

void StreamRecorder::finishPending()
{
    for (auto pending = m_pending.begin(); pending != m_pending.end();) {
        if (const std::optional<QString> placed = pending->file.finish()) {
            emit recordingFinished(*placed);
        } else if (++pending->attempts < finishAttempts) {
            ++pending;
            continue;
        } else {
            qDebug("[%s] !!! no recording to put into %s !!!", stopOperation,
                   qPrintable(pending->path));
            pending->file.abandon();
        }
        pending = m_pending.erase(pending);
    }
    if (m_pending.isEmpty())
        m_finishTimer.stop();
}
