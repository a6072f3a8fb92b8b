#include "globalhotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHash>
#include <QList>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace {

// A grab holds whatever NumLock and CapsLock happen to be, so every
// combination is grabbed with each of their states.
constexpr uint16_t numLockMask = XCB_MOD_MASK_2;
constexpr uint16_t lockVariants[] = {0, XCB_MOD_MASK_LOCK, numLockMask,
                                     XCB_MOD_MASK_LOCK | numLockMask};

struct Grab
{
    QList<xcb_keycode_t> keycodes;
    uint16_t modifiers = 0;
};

xcb_connection_t* x11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

uint16_t x11Modifiers(Qt::KeyboardModifiers modifiers)
{
    uint16_t mask = 0;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    return mask;
}

// Letters and digits only: their keysyms are the lower-case Latin-1 codes.
xcb_keysym_t keysymOf(Qt::Key key)
{
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return xcb_keysym_t('a' + (key - Qt::Key_A));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return xcb_keysym_t(key);
    return 0;
}

QList<xcb_keycode_t> keycodesOf(xcb_connection_t* connection, xcb_keysym_t keysym)
{
    QList<xcb_keycode_t> result;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection);
    if (!symbols)
        return result;
    if (xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym)) {
        for (xcb_keycode_t* code = codes; *code != XCB_NO_SYMBOL; ++code)
            result << *code;
        std::free(codes);
    }
    xcb_key_symbols_free(symbols);
    return result;
}

void ungrab(xcb_connection_t* connection, const Grab& grab)
{
    const xcb_window_t root = rootWindow(connection);
    for (xcb_keycode_t keycode : grab.keycodes) {
        for (uint16_t variant : lockVariants)
            xcb_ungrab_key(connection, keycode, root, grab.modifiers | variant);
    }
    xcb_flush(connection);
}

// All or nothing: a combination that another client holds fails as a whole.
bool grab(xcb_connection_t* connection, const Grab& grab)
{
    const xcb_window_t root = rootWindow(connection);
    QList<xcb_void_cookie_t> cookies;
    for (xcb_keycode_t keycode : grab.keycodes) {
        for (uint16_t variant : lockVariants)
            cookies << xcb_grab_key_checked(connection, 1, root, grab.modifiers | variant, keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    }
    bool granted = true;
    for (const xcb_void_cookie_t& cookie : cookies) {
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            granted = false;
            std::free(error);
        }
    }
    if (!granted)
        ungrab(connection, grab);
    return granted;
}

}  // namespace

class GlobalHotkeys::NativeFilter : public QAbstractNativeEventFilter
{
public:
    explicit NativeFilter(GlobalHotkeys* owner) : m_owner(owner) {}
    ~NativeFilter() override { clear(); }

    bool add(int id, const Grab& keys)
    {
        xcb_connection_t* connection = x11Connection();
        if (!connection || !grab(connection, keys))
            return false;
        if (m_grabs.isEmpty())
            QCoreApplication::instance()->installNativeEventFilter(this);
        m_grabs.insert(id, keys);
        return true;
    }

    void remove(int id)
    {
        const auto found = m_grabs.constFind(id);
        if (found == m_grabs.cend())
            return;
        if (xcb_connection_t* connection = x11Connection())
            ungrab(connection, *found);
        m_grabs.erase(found);
        if (m_grabs.isEmpty())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    void clear()
    {
        for (int id : m_grabs.keys())
            remove(id);
    }

    bool contains(int id) const { return m_grabs.contains(id); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override
    {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto* event = static_cast<const xcb_generic_event_t*>(message);
        if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
            return false;
        const auto* press = static_cast<const xcb_key_press_event_t*>(message);
        const uint16_t state = press->state & ~(XCB_MOD_MASK_LOCK | numLockMask);
        for (auto grab = m_grabs.cbegin(); grab != m_grabs.cend(); ++grab) {
            if (grab->modifiers == state && grab->keycodes.contains(press->detail)) {
                // Out of the native event handling before anything reacts.
                QMetaObject::invokeMethod(
                    m_owner, [owner = m_owner, id = grab.key()] { emit owner->activated(id); },
                    Qt::QueuedConnection);
                return true;
            }
        }
        return false;
    }

private:
    GlobalHotkeys* m_owner;
    QHash<int, Grab> m_grabs;
};

GlobalHotkeys::GlobalHotkeys(QObject* parent)
    : QObject(parent), m_filter(std::make_unique<NativeFilter>(this))
{
}

GlobalHotkeys::~GlobalHotkeys() = default;

bool GlobalHotkeys::registerHotkey(int id, Qt::KeyboardModifiers modifiers, Qt::Key key)
{
    xcb_connection_t* connection = x11Connection();
    if (!connection) {
        qDebug("[GlobalHotkeys::registerHotkey] no global hotkeys on the platform %s",
               qPrintable(QGuiApplication::platformName()));
        return false;
    }
    unregisterHotkey(id);
    const xcb_keysym_t keysym = keysymOf(key);
    Grab keys{keysym ? keycodesOf(connection, keysym) : QList<xcb_keycode_t>{},
              x11Modifiers(modifiers)};
    if (keys.keycodes.isEmpty()) {
        qDebug("[GlobalHotkeys::registerHotkey] !!! no key code for key 0x%x !!!", int(key));
        return false;
    }
    return m_filter->add(id, keys);
}

void GlobalHotkeys::unregisterHotkey(int id)
{
    m_filter->remove(id);
}

bool GlobalHotkeys::isRegistered(int id) const
{
    return m_filter->contains(id);
}
