#include "streamrecorder.h"

#include "playerhandle.h"
#include "vlcinternals.h"

#include <QDebug>
#include <QDir>
#include <QSignalBlocker>

namespace {

constexpr char startOperation[] = "MediaPlayer::startRecord";
constexpr char stopOperation[] = "MediaPlayer::stopRecord";

// How often and how long a finished recording is tried to be put in place.
constexpr int finishInterval = 250;
constexpr int finishAttempts = 20;

}  // namespace

StreamRecorder::StreamRecorder(std::shared_ptr<const PlayerHandle> handle, QObject* parent)
    : QObject(parent), m_handle(std::move(handle)), m_finishTimer(this)
{
    m_finishTimer.setInterval(finishInterval);
    connect(&m_finishTimer, &QTimer::timeout, this, &StreamRecorder::finishPending);
}

// The owner is going: the recording is put in place, but nobody is told.
StreamRecorder::~StreamRecorder()
{
    const QSignalBlocker quiet(this);
    finishPending();
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
    m_finishTimer.start();
    emit recordStopped();
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
