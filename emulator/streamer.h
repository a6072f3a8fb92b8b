#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>

class QTcpSocket;

// An MPEG transport stream held in memory, whole 188-byte packets, with the
// rate it plays at: the bytes between its first and last PCR over the time
// between them.
struct TsSample
{
    static constexpr qsizetype kPacketSize = 188;

    QByteArray packets;
    qint64 bytesPerSecond = 0;

    // The length of one pass in 90 kHz ticks, at that rate.
    qint64 loopTicks() const;
    // Moves a packet's clock reference and presentation and decoding times
    // on by ticks, so that a later pass of a looped sample follows the one
    // before it, as a live source's clock does, instead of going back.
    static void shiftTimestamps(char* packet, qint64 ticks);
};

// The sample files of one folder, each read once.
class SampleLibrary
{
public:
    explicit SampleLibrary(const QString& directory) : m_directory(directory) {}

    const QString& directory() const { return m_directory; }
    bool load(const QString& name, QString* error);
    const TsSample* find(const QString& name) const;

private:
    QString m_directory;
    QHash<QString, TsSample> m_samples;
};

// Plays a sample to one client as a live source would: looped for ever, paced
// at the sample's rate, in whole packets, until the client goes away.
class StreamSession : public QObject
{
    Q_OBJECT

public:
    StreamSession(const TsSample& sample, QTcpSocket* socket, QObject* parent);

private slots:
    void writeDue();

private:
    void write(qint64 bytes);
    void skip(qint64 bytes);

    const TsSample& m_sample;
    QTcpSocket* m_socket;
    QElapsedTimer m_clock;
    QTimer m_timer;
    qint64 m_sent = 0;      // bytes sent or skipped since the start
    qint64 m_position = 0;  // in the sample
    qint64 m_pass = 0;      // passes through the sample completed
};
