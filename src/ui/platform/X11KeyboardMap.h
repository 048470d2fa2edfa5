#pragma once

#include <QKeyCombination>
#include <cstdint>
#include <optional>
#include <vector>
#include <xcb/xcb.h>

namespace quillory {

// The X server's keyboard tables as one key grab needs them: which key codes produce a key
// symbol, and which modifier bit a key such as Num Lock or Alt sets. Read once when made.
class X11KeyboardMap {
public:
    explicit X11KeyboardMap(xcb_connection_t* connection);

    // The key symbol of a Qt key (function keys, and the keys of printable ASCII); none for
    // the others.
    static std::optional<xcb_keysym_t> keysymOf(Qt::Key key);

    // Every key code that produces symbol, unshifted or shifted.
    std::vector<xcb_keycode_t> keycodesOf(xcb_keysym_t symbol) const;
    // The modifier bit that a key producing symbol sets; 0 when none does.
    std::uint16_t modifierOf(xcb_keysym_t symbol) const;
    // The modifier bits of Qt's modifiers on this keyboard (Alt and Meta where their keys are).
    std::uint16_t modifiersOf(Qt::KeyboardModifiers modifiers) const;
    std::uint16_t numLock() const;

private:
    xcb_keycode_t firstKeycode_ = 0;
    int symbolsPerKeycode_ = 0;
    std::vector<xcb_keysym_t> symbols_;
    int keycodesPerModifier_ = 0;
    std::vector<xcb_keycode_t> modifierKeycodes_; // eight rows, Shift to Mod5
};

} // namespace quillory
