#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The message with which a second start asks the running player to show its
// window. On Windows it is the window message SHOWPLAYERMSG posted to the
// published window handle, which the window itself receives; elsewhere it
// travels over a local socket named after the single-instance key.
class ShowPlayerMessage : public QObject
{
    Q_OBJECT
public:
    static constexpr unsigned int messageId = 0x0401;  // WM_USER + 1

    explicit ShowPlayerMessage(const QString& key, QObject* parent = nullptr);

    // Running instance: starts receiving the message.
    bool listen();

    // Second start: sends the message to the instance whose window has the
    // given handle. Returns false when nobody received it.
    bool post(quint32 windowHandle);

signals:
    void received();

private:
    void onNewConnection();

    QString m_key;
    QLocalServer* m_server = nullptr;
};
