#pragma once

#include "recordingfile.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class PlayerHandle;

// Records the input being played through libVLC's "record" switch, into a
// folder or a named file (see RecordingFile). Lives on the GUI thread; the
// switch and the record folder are set through the shared player handle.
// While recording it watches the folder and the free space of its disk and
// stops the recording, with recordingFailed(), when either runs out.
class StreamRecorder : public QObject
{
    Q_OBJECT
public:
    explicit StreamRecorder(std::shared_ptr<const PlayerHandle> handle, QObject* parent = nullptr);
    ~StreamRecorder() override;

    // Starts recording into path (a folder or a file). Needs an input that
    // can record and is not recording yet.
    bool start(const QString& path);
    // Stops recording; a named file is in place shortly afterwards. Every end
    // of a recording, this one or another, emits recordStopped once.
    void stop();

    bool isRecording() const;
    bool canRecord() const;

    // Puts in place what a player that was killed while recording into
    // folder left in its staging folders; returns where it went.
    static QStringList recoverAbandoned(const QString& folder);

    // Below this many free bytes on its disk a recording stops.
    static constexpr qint64 defaultDiskMargin = 32 * 1024 * 1024;
    static constexpr int watchInterval = 2000;  // milliseconds
    void setDiskMargin(qint64 bytes) { m_diskMargin = bytes; }

public slots:
    // The input has ended or was replaced, and with it a recording that was
    // running.
    void onInputEnded();

signals:
    void recording();
    void recordStopped();
    // The recording is in place: for a named file under that name, or the
    // next free one beside it (see RecordingFile).
    void recordingFinished(const QString& path);
    // The recording stopped because its folder disappeared or its disk is
    // full (after recordStopped); reason is for the user.
    void recordingFailed(const QString& reason);

private:
    void ended();
    void finishPending();
    void watch();
    QStringList busyFolders() const;
    static QStringList recover(const QString& folder, const QStringList& busy);

    std::shared_ptr<const PlayerHandle> m_handle;
    RecordingFile m_current;
    QString m_currentPath;
    struct Pending
    {
        RecordingFile file;
        QString path;
        int attempts = 0;
    };
    QList<Pending> m_pending;
    QTimer m_finishTimer;
    QTimer m_watchTimer;
    qint64 m_diskMargin = defaultDiskMargin;
};
