#include "streamer.h"

#include <QDir>
#include <QFile>
#include <QTcpSocket>

namespace {

constexpr int kTickMs = 20;
constexpr quint8 kSyncByte = 0x47;
constexpr qint64 kPcrClock = 90000;  // the 33-bit PCR base counts at 90 kHz
constexpr qint64 kTimestampMask = (qint64(1) << 33) - 1;

struct Pcr
{
    int pid = -1;
    qint64 base = 0;
};

// The PCR in a packet's adaptation field, if it carries one.
bool readPcr(const char* data, Pcr* pcr)
{
    const auto* packet = reinterpret_cast<const quint8*>(data);
    const bool hasAdaptationField = packet[3] & 0x20;
    if (!hasAdaptationField || packet[4] < 7 || !(packet[5] & 0x10))
        return false;
    pcr->pid = ((packet[1] & 0x1f) << 8) | packet[2];
    pcr->base = (qint64(packet[6]) << 25) | (packet[7] << 17) | (packet[8] << 9) |
                (packet[9] << 1) | (packet[10] >> 7);
    return true;
}

// A PES header's 33-bit time in its five bytes, marker bits and prefix kept.
void shiftPesTime(quint8* field, qint64 ticks)
{
    qint64 time = (qint64(field[0] >> 1) & 7) << 30 | field[1] << 22 | (field[2] >> 1) << 15 |
                  field[3] << 7 | field[4] >> 1;
    time = (time + ticks) & kTimestampMask;
    field[0] = quint8((field[0] & 0xf1) | ((time >> 29) & 0x0e));
    field[1] = quint8(time >> 22);
    field[2] = quint8(((time >> 14) & 0xfe) | 1);
    field[3] = quint8(time >> 7);
    field[4] = quint8(((time << 1) & 0xfe) | 1);
}

// Audio, video and private streams carry the optional PES header.
bool hasPesTimes(quint8 streamId)
{
    return streamId == 0xbd || (streamId >= 0xc0 && streamId <= 0xef);
}

qint64 measureRate(const QByteArray& packets)
{
    Pcr first, last;
    qint64 firstOffset = 0;
    qint64 lastOffset = 0;
    for (qint64 offset = 0; offset < packets.size(); offset += TsSample::kPacketSize) {
        Pcr pcr;
        if (!readPcr(packets.constData() + offset, &pcr) ||
            (first.pid >= 0 && pcr.pid != first.pid))
            continue;
        if (first.pid < 0) {
            first = pcr;
            firstOffset = offset;
        }
        last = pcr;
        lastOffset = offset;
    }
    if (last.base <= first.base)
        return 0;
    return (lastOffset - firstOffset) * kPcrClock / (last.base - first.base);
}

bool isTransportStream(const QByteArray& packets)
{
    if (packets.isEmpty())
        return false;
    for (qint64 offset = 0; offset < packets.size(); offset += TsSample::kPacketSize) {
        if (quint8(packets[offset]) != kSyncByte)
            return false;
    }
    return true;
}

}  // namespace

qint64 TsSample::loopTicks() const
{
    return packets.size() * kPcrClock / bytesPerSecond;
}

void TsSample::shiftTimestamps(char* data, qint64 ticks)
{
    auto* packet = reinterpret_cast<quint8*>(data);
    const bool hasAdaptationField = packet[3] & 0x20;
    if (hasAdaptationField && packet[4] >= 7 && (packet[5] & 0x10)) {
        Pcr pcr;
        readPcr(data, &pcr);
        const qint64 base = (pcr.base + ticks) & kTimestampMask;
        packet[6] = quint8(base >> 25);
        packet[7] = quint8(base >> 17);
        packet[8] = quint8(base >> 9);
        packet[9] = quint8(base >> 1);
        packet[10] = quint8((packet[10] & 0x7f) | ((base & 1) << 7));
    }
    const qsizetype payload = 4 + (hasAdaptationField ? packet[4] + 1 : 0);
    const bool startsPes = (packet[1] & 0x40) && (packet[3] & 0x10);
    if (!startsPes || payload + 19 > kPacketSize)
        return;
    quint8* pes = packet + payload;
    if (pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || !hasPesTimes(pes[3]))
        return;
    const int timeFlags = pes[7] >> 6;
    if (timeFlags & 2)
        shiftPesTime(pes + 9, ticks);
    if (timeFlags == 3)
        shiftPesTime(pes + 14, ticks);
}

bool SampleLibrary::load(const QString& name, QString* error)
{
    if (m_samples.contains(name))
        return true;
    QFile file(QDir(m_directory).filePath(name));
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString(
                     "sample %1 missing in %2 (build the zentria_samples target, or point "
                     "--samples at a folder with it)")
                     .arg(name, QDir(m_directory).absolutePath());
        return false;
    }
    TsSample sample;
    sample.packets = file.readAll();
    sample.packets.truncate(sample.packets.size() / TsSample::kPacketSize * TsSample::kPacketSize);
    sample.bytesPerSecond = measureRate(sample.packets);
    if (!isTransportStream(sample.packets) || sample.bytesPerSecond <= 0) {
        *error = QString("%1 is not an MPEG transport stream with timing").arg(file.fileName());
        return false;
    }
    m_samples.insert(name, sample);
    return true;
}

const TsSample* SampleLibrary::find(const QString& name) const
{
    const auto it = m_samples.constFind(name);
    return it == m_samples.constEnd() ? nullptr : &*it;
}

StreamSession::StreamSession(const TsSample& sample, QTcpSocket* socket, QObject* parent)
    : QObject(parent), m_sample(sample), m_socket(socket)
{
    connect(&m_timer, &QTimer::timeout, this, &StreamSession::writeDue);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.start(kTickMs);
    m_clock.start();
}

void StreamSession::writeDue()
{
    const qint64 dueBytes = m_clock.elapsed() * m_sample.bytesPerSecond / 1000;
    const qint64 missing = dueBytes / TsSample::kPacketSize * TsSample::kPacketSize - m_sent;
    // A live source does not wait for a reader that stalls: what it misses is gone.
    if (m_socket->bytesToWrite() > m_sample.bytesPerSecond / 2)
        skip(missing);
    else
        write(missing);
}

void StreamSession::write(qint64 bytes)
{
    while (bytes > 0) {
        const qint64 chunk = qMin(bytes, m_sample.packets.size() - m_position);
        const char* packets = m_sample.packets.constData() + m_position;
        if (m_pass == 0) {
            m_socket->write(packets, chunk);
        } else {
            QByteArray shifted(packets, chunk);
            for (qsizetype offset = 0; offset < chunk; offset += TsSample::kPacketSize)
                TsSample::shiftTimestamps(shifted.data() + offset, m_pass * m_sample.loopTicks());
            m_socket->write(shifted);
        }
        skip(chunk);
        bytes -= chunk;
    }
}

void StreamSession::skip(qint64 bytes)
{
    m_sent += bytes;
    m_pass += (m_position + bytes) / m_sample.packets.size();
    m_position = (m_position + bytes) % m_sample.packets.size();
}
