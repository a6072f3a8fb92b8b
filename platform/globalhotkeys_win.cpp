#include "globalhotkeys.h"

#ifdef Q_OS_WIN

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QSet>

#include <windows.h>

namespace {

UINT windowsModifiers(Qt::KeyboardModifiers modifiers)
{
    UINT mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= MOD_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= MOD_ALT;
    if (modifiers & Qt::ShiftModifier)
        mask |= MOD_SHIFT;
    return mask;
}

// Letters and digits only: their virtual-key codes are the upper-case ASCII
// codes, as Qt's key codes are.
UINT virtualKeyOf(Qt::Key key)
{
    const bool letter = key >= Qt::Key_A && key <= Qt::Key_Z;
    const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
    return letter || digit ? UINT(key) : 0;
}

}  // namespace

// The hotkeys belong to the GUI thread rather than to a window, so that they
// survive the re-creation of the native window; WM_HOTKEY then arrives as a
// thread message with the identifier in wParam.
class GlobalHotkeys::NativeFilter : public QAbstractNativeEventFilter
{
public:
    explicit NativeFilter(GlobalHotkeys* owner) : m_owner(owner) {}
    ~NativeFilter() override
    {
        for (int id : QSet<int>(m_ids))
            remove(id);
    }

    bool add(int id, UINT modifiers, UINT key)
    {
        if (!RegisterHotKey(nullptr, id, modifiers, key))
            return false;
        if (m_ids.isEmpty())
            QCoreApplication::instance()->installNativeEventFilter(this);
        m_ids.insert(id);
        return true;
    }

    void remove(int id)
    {
        if (!m_ids.remove(id))
            return;
        UnregisterHotKey(nullptr, id);
        if (m_ids.isEmpty())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool contains(int id) const { return m_ids.contains(id); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override
    {
        if (eventType != "windows_generic_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_HOTKEY || !m_ids.contains(int(msg->wParam)))
            return false;
        QMetaObject::invokeMethod(
            m_owner, [owner = m_owner, id = int(msg->wParam)] { emit owner->activated(id); },
            Qt::QueuedConnection);
        if (result)
            *result = 0;
        return true;
    }

private:
    GlobalHotkeys* m_owner;
    QSet<int> m_ids;
};

GlobalHotkeys::GlobalHotkeys(QObject* parent)
    : QObject(parent), m_filter(std::make_unique<NativeFilter>(this))
{
}

GlobalHotkeys::~GlobalHotkeys() = default;

bool GlobalHotkeys::registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    unregisterHotkey(id);
    const UINT virtualKey = virtualKeyOf(key);
    return virtualKey != 0 && m_filter->add(id, windowsModifiers(modifiers), virtualKey);
}

void GlobalHotkeys::unregisterHotkey(int id)
{
    m_filter->remove(id);
}

bool GlobalHotkeys::isRegistered(int id) const
{
    return m_filter->contains(id);
}

#endif  // Q_OS_WIN
