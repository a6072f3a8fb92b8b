#include "keepawake.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusUnixFileDescriptor>
#include <QStringList>

#include <optional>

namespace {

const int kCallTimeoutMs = 3000;

// Two inhibitors, as neither covers everything: the login manager's keeps
// the system from sleeping as long as its file descriptor is open; the
// screen saver's keeps the display on until its cookie is handed back.
class DBusKeepAwake final : public KeepAwake
{
public:
    DBusKeepAwake(const QString& who, const QString& why) : m_who(who), m_why(why) {}
    ~DBusKeepAwake() override { setOn(false); }

    void setOn(bool on) override
    {
        if (on == m_on)
            return;
        m_on = on;
        if (on)
            inhibit();
        else
            release();
    }

private:
    void inhibit()
    {
        QStringList failures;
        const bool sleepHeld = inhibitSleep(&failures);
        const bool displayHeld = inhibitScreenSaver(&failures);
        if (!sleepHeld && !displayHeld)
            qDebug("[KeepAwake::setOn] cannot keep the system awake: %s",
                   qPrintable(failures.join(QStringLiteral("; "))));
    }

    bool inhibitSleep(QStringList* failures)
    {
        QDBusConnection bus = QDBusConnection::systemBus();
        if (!bus.isConnected()) {
            failures->append(QStringLiteral("no system bus"));
            return false;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
            QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
        call << QStringLiteral("sleep:idle") << m_who << m_why << QStringLiteral("block");
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        const QList<QVariant> arguments = reply.arguments();
        if (reply.type() != QDBusMessage::ReplyMessage || arguments.isEmpty()) {
            failures->append(QStringLiteral("login manager: ") + reply.errorMessage());
            return false;
        }
        m_sleepLock = arguments.first().value<QDBusUnixFileDescriptor>();
        if (!m_sleepLock.isValid()) {
            failures->append(QStringLiteral("login manager: no file descriptor"));
            return false;
        }
        return true;
    }

    bool inhibitScreenSaver(QStringList* failures)
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            failures->append(QStringLiteral("no session bus"));
            return false;
        }
        QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit"));
        call << m_who << m_why;
        const QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            failures->append(QStringLiteral("screen saver: ") + reply.errorMessage());
            return false;
        }
        m_screenSaverCookie = reply.arguments().first().toUInt();
        return true;
    }

    void release()
    {
        m_sleepLock = QDBusUnixFileDescriptor();  // closing it ends the inhibitor
        if (m_screenSaverCookie) {
            QDBusMessage call = screenSaverCall(QStringLiteral("UnInhibit"));
            call << *m_screenSaverCookie;
            QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
            m_screenSaverCookie.reset();
        }
    }

    static QDBusMessage screenSaverCall(const QString& method)
    {
        return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                              QStringLiteral("/org/freedesktop/ScreenSaver"),
                                              QStringLiteral("org.freedesktop.ScreenSaver"),
                                              method);
    }

    QString m_who;
    QString m_why;
    bool m_on = false;
    QDBusUnixFileDescriptor m_sleepLock;
    std::optional<uint> m_screenSaverCookie;
};

}  // namespace

std::unique_ptr<KeepAwake> KeepAwake::create(const QString& who, const QString& why)
{
    return std::make_unique<DBusKeepAwake>(who, why);
}
