#include "singleinstance.h"

#include "platform.h"
#include "settings.h"
#include "showplayermessage.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QThread>

#include <cstring>

namespace {
void* asPointer(quint32 handle)
{
    return reinterpret_cast<void*>(quintptr(handle));
}
}  // namespace

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent), m_segment(scopedKey()), m_message(new ShowPlayerMessage(scopedKey(), this))
{
    connect(m_message, &ShowPlayerMessage::received, this, &SingleInstance::showPlayerRequested);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::scopedKey()
{
    QString scoped = QString::fromLatin1(key);
    const QString user = Platform::userScope();
    if (user.isEmpty())
        return scoped;
    // One player per profile: a player run on a data directory of its own
    // (the demo's) does not hand over to the user's everyday player.
    const QByteArray profile =
        QCryptographicHash::hash(Settings::dataDirectory().toUtf8(), QCryptographicHash::Sha1);
    return scoped + '-' + user + '-' + QString::fromLatin1(profile.toHex().left(8));
}

SingleInstance::Claim SingleInstance::claim()
{
    // A player that is closing still holds the segment for a moment after its
    // window has gone: a start right after a quit waits for it.
    QDeadlineTimer closing(closingPlayerWaitMs);
    for (;;) {
        if (handOver())
            return Claim::HandedOver;
        if (createSegment())
            break;
        if (closing.hasExpired())
            return Claim::Failed;
        QThread::msleep(100);
    }
    writeHandle(0);
    m_message->listen();
    return Claim::Owned;
}

bool SingleInstance::handOver()
{
    if (!m_segment.attach(QSharedMemory::ReadOnly))
        return false;
    const quint32 handle = readHandle();
    qDebug("Received HWND for SHOWPLAYERMSG %p", asPointer(handle));
    if (handle != 0 && m_message->post(handle)) {
        qDebug("Sending SHOWPLAYERMSG message to HWND %p", asPointer(handle));
        return true;
    }
    // Nobody took the message, or no window was published yet. Letting go
    // of the segment removes it when its owner is gone (killed), so that
    // the create that follows succeeds; a live owner keeps it.
    m_segment.detach();
    return false;
}

bool SingleInstance::createSegment()
{
    if (m_segment.create(sizeof(quint32), QSharedMemory::ReadWrite))
        return true;
    if (m_segment.error() != QSharedMemory::AlreadyExists)
        return false;
    // System V keys derive from the key file's inode. A player that died
    // without its shut-down leaves its segment; once its key file is gone, a
    // new key file (of any profile) may get the same inode and so meet that
    // segment. Our key file exists now, so attaching reaches the segment, and
    // detaching as its last user removes it.
    if (!m_segment.attach(QSharedMemory::ReadOnly))
        return false;
    m_segment.detach();
    if (!m_segment.create(sizeof(quint32), QSharedMemory::ReadWrite))
        return false;
    qDebug("[%s] Removed a segment left by a player that did not shut down",
           "SingleInstance::claim");
    return true;
}

void SingleInstance::publish(quint32 windowHandle)
{
    qDebug("Setting HWND for SHOWPLAYERMSG to %p", asPointer(windowHandle));
    writeHandle(windowHandle);
}

quint32 SingleInstance::readHandle()
{
    quint32 handle = 0;
    m_segment.lock();
    std::memcpy(&handle, m_segment.constData(), sizeof handle);
    m_segment.unlock();
    return handle;
}

void SingleInstance::writeHandle(quint32 handle)
{
    m_segment.lock();
    std::memcpy(m_segment.data(), &handle, sizeof handle);
    m_segment.unlock();
}
