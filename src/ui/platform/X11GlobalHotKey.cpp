#include "ui/platform/X11GlobalHotKey.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>

#include "ui/platform/NullGlobalHotKey.h"
#include "ui/platform/X11KeyboardMap.h"

namespace quillory {

namespace {

constexpr std::uint16_t kModifierBits = 0xff; // Shift, Lock, Control, Mod1 to Mod5

// The root window of the screen the program's display names.
xcb_window_t rootWindow(xcb_connection_t* connection)
{
    int display = 0;
    int screen = 0;
    char* host = nullptr;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    std::free(host);
    xcb_screen_iterator_t roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    const xcb_window_t first = roots.rem > 0 ? roots.data->root : XCB_NONE;
    for (; roots.rem > 0; xcb_screen_next(&roots), --screen)
        if (screen == 0)
            return roots.data->root;
    return first;
}

} // namespace

X11GlobalHotKey::X11GlobalHotKey(xcb_connection_t* connection, xcb_window_t root, QObject* parent)
    : GlobalHotKey(parent), connection_(connection), root_(root)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotKey::~X11GlobalHotKey()
{
    unregisterKey();
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool X11GlobalHotKey::registerKey(const QKeySequence& key)
{
    unregisterKey();
    if (key.count() != 1)
        return false;
    const std::optional<xcb_keysym_t> symbol = X11KeyboardMap::keysymOf(key[0].key());
    if (!symbol)
        return false;
    const X11KeyboardMap keyboard(connection_);
    std::vector<xcb_keycode_t> keycodes = keyboard.keycodesOf(*symbol);
    modifiers_ = keyboard.modifiersOf(key[0].keyboardModifiers());
    numLock_ = keyboard.numLock();

    std::vector<xcb_void_cookie_t> grabs;
    for (const xcb_keycode_t keycode : keycodes)
        for (const std::uint16_t locks : lockStates())
            grabs.push_back(xcb_grab_key_checked(connection_, 0, root_, modifiers_ | locks, keycode,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    // A grab another client holds already is refused; then none of ours is kept.
    bool taken = !grabs.empty();
    for (const xcb_void_cookie_t grab : grabs)
        if (xcb_generic_error_t* error = xcb_request_check(connection_, grab)) {
            std::free(error);
            taken = false;
        }
    keycodes_ = std::move(keycodes);
    if (!taken)
        unregisterKey();
    return taken;
}

void X11GlobalHotKey::unregisterKey()
{
    if (keycodes_.empty())
        return;
    for (const xcb_keycode_t keycode : keycodes_)
        for (const std::uint16_t locks : lockStates())
            xcb_ungrab_key(connection_, keycode, root_, modifiers_ | locks);
    xcb_flush(connection_);
    keycodes_.clear();
}

std::vector<std::uint16_t> X11GlobalHotKey::lockStates() const
{
    std::vector<std::uint16_t> states{0, XCB_MOD_MASK_LOCK};
    if (numLock_ != 0 && numLock_ != XCB_MOD_MASK_LOCK)
        states.insert(states.end(), {numLock_, static_cast<std::uint16_t>(numLock_ | XCB_MOD_MASK_LOCK)});
    return states;
}

bool X11GlobalHotKey::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (keycodes_.empty() || eventType != "xcb_generic_event_t")
        return false;
    const auto type = static_cast<std::uint8_t>(static_cast<xcb_generic_event_t*>(message)->response_type & ~0x80);
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release have the same layout.
    const auto* event = static_cast<xcb_key_press_event_t*>(message);
    const std::uint16_t locks = XCB_MOD_MASK_LOCK | numLock_;
    if (event->event != root_ || std::find(keycodes_.begin(), keycodes_.end(), event->detail) == keycodes_.end()
        || (event->state & kModifierBits & ~locks) != modifiers_)
        return false;
    // Answered from the event loop, not from inside Qt's reading of the connection: the command
    // may open a dialog with an event loop of its own.
    if (type == XCB_KEY_PRESS)
        QMetaObject::invokeMethod(
            this, [this] { emit activated(); }, Qt::QueuedConnection);
    return true;
}

std::unique_ptr<GlobalHotKey> makeGlobalHotKey()
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (QGuiApplication::platformName() == QLatin1String("xcb") && x11 && x11->connection())
        if (const xcb_window_t root = rootWindow(x11->connection()); root != XCB_NONE)
            return std::make_unique<X11GlobalHotKey>(x11->connection(), root);
    return std::make_unique<NullGlobalHotKey>();
}

} // namespace quillory
