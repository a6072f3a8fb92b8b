#pragma once

#include <QObject>
#include <QSharedMemory>

class ShowPlayerMessage;

// The 4-byte shared segment "ZENTRIAPLAYERCHANNEL" through which a second
// start finds the running player's window and hands over to it.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    static constexpr char key[] = "ZENTRIAPLAYERCHANNEL";
    // How long a start waits for a player that is still closing.
    static constexpr int closingPlayerWaitMs = 3000;

    enum class Claim {
        HandedOver,  // another instance runs and was asked to show itself
        Owned,       // this process now owns the segment
        Failed,      // the segment could not be created
    };

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    Claim claim();

    // Publishes the handle of the window that is to receive the hand-over.
    void publish(quint32 windowHandle);

    // The key scoped to the running user and profile, so that users of one
    // machine each run their own player.
    static QString scopedKey();

signals:
    void showPlayerRequested();

private:
    bool handOver();
    bool createSegment();
    quint32 readHandle();
    void writeHandle(quint32 handle);

    QSharedMemory m_segment;
    ShowPlayerMessage* m_message;
};
