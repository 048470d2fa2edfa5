#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <vector>
#include <xcb/xcb.h>

#include "ui/platform/GlobalHotKey.h"

namespace quillory {

// The hot key on an X server: a passive grab of the key on the root window, so that the server
// sends its presses to this program whichever window has the focus. The key is grabbed once for
// each state of Caps Lock and Num Lock, which the server counts as modifiers. Presses are read
// from Qt's own connection, before Qt sees them; Qt's shortcut for the same key is then never
// reached, so one press does one thing, also when a window of the program has the focus.
class X11GlobalHotKey : public GlobalHotKey, public QAbstractNativeEventFilter {
public:
    X11GlobalHotKey(xcb_connection_t* connection, xcb_window_t root, QObject* parent = nullptr);
    ~X11GlobalHotKey() override;

    bool isSupported() const override { return true; }
    bool registerKey(const QKeySequence& key) override;
    void unregisterKey() override;
    bool isRegistered() const override { return !keycodes_.empty(); }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    // The modifier bits of each lock state the key is grabbed in.
    std::vector<std::uint16_t> lockStates() const;

    xcb_connection_t* connection_;
    xcb_window_t root_;
    std::vector<xcb_keycode_t> keycodes_; // empty while the key is not held
    std::uint16_t modifiers_ = 0;
    std::uint16_t numLock_ = 0;
};

} // namespace quillory
