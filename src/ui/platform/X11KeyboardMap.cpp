#include "ui/platform/X11KeyboardMap.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

namespace quillory {

namespace {

// Key symbols, from the X protocol's tables.
constexpr xcb_keysym_t kF1 = 0xffbe;
constexpr xcb_keysym_t kNumLock = 0xff7f;
constexpr xcb_keysym_t kAltLeft = 0xffe9;
constexpr xcb_keysym_t kSuperLeft = 0xffeb;
constexpr int kFunctionKeys = 35;

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply>;

} // namespace

X11KeyboardMap::X11KeyboardMap(xcb_connection_t* connection)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    firstKeycode_ = setup->min_keycode;
    const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    const xcb_get_keyboard_mapping_cookie_t keys = xcb_get_keyboard_mapping(connection, firstKeycode_, count);
    const xcb_get_modifier_mapping_cookie_t modifiers = xcb_get_modifier_mapping(connection);
    if (const ReplyPtr<xcb_get_keyboard_mapping_reply_t> reply{
            xcb_get_keyboard_mapping_reply(connection, keys, nullptr)}) {
        symbolsPerKeycode_ = reply->keysyms_per_keycode;
        const xcb_keysym_t* first = xcb_get_keyboard_mapping_keysyms(reply.get());
        symbols_.assign(first, first + xcb_get_keyboard_mapping_keysyms_length(reply.get()));
    }
    if (const ReplyPtr<xcb_get_modifier_mapping_reply_t> reply{
            xcb_get_modifier_mapping_reply(connection, modifiers, nullptr)}) {
        keycodesPerModifier_ = reply->keycodes_per_modifier;
        const xcb_keycode_t* first = xcb_get_modifier_mapping_keycodes(reply.get());
        modifierKeycodes_.assign(first, first + xcb_get_modifier_mapping_keycodes_length(reply.get()));
    }
}

std::optional<xcb_keysym_t> X11KeyboardMap::keysymOf(Qt::Key key)
{
    if (key >= Qt::Key_F1 && key < Qt::Key_F1 + kFunctionKeys)
        return kF1 + static_cast<xcb_keysym_t>(key - Qt::Key_F1);
    if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) // the Latin-1 symbols, letters unshifted
        return key >= Qt::Key_A && key <= Qt::Key_Z ? static_cast<xcb_keysym_t>(key - Qt::Key_A + 'a')
                                                    : static_cast<xcb_keysym_t>(key);
    return std::nullopt;
}

std::vector<xcb_keycode_t> X11KeyboardMap::keycodesOf(xcb_keysym_t symbol) const
{
    std::vector<xcb_keycode_t> keycodes;
    const auto perKeycode = static_cast<std::size_t>(symbolsPerKeycode_);
    const std::size_t columns = std::min<std::size_t>(perKeycode, 2);
    for (std::size_t row = 0; perKeycode > 0 && (row + 1) * perKeycode <= symbols_.size(); ++row) {
        const xcb_keysym_t* first = symbols_.data() + row * perKeycode;
        if (std::find(first, first + columns, symbol) != first + columns)
            keycodes.push_back(static_cast<xcb_keycode_t>(firstKeycode_ + row));
    }
    return keycodes;
}

std::uint16_t X11KeyboardMap::modifierOf(xcb_keysym_t symbol) const
{
    const std::vector<xcb_keycode_t> keycodes = keycodesOf(symbol);
    for (std::size_t i = 0; i < modifierKeycodes_.size(); ++i)
        if (modifierKeycodes_[i] != 0
            && std::find(keycodes.begin(), keycodes.end(), modifierKeycodes_[i]) != keycodes.end())
            return static_cast<std::uint16_t>(1U << (i / static_cast<std::size_t>(keycodesPerModifier_)));
    return 0;
}

std::uint16_t X11KeyboardMap::modifiersOf(Qt::KeyboardModifiers modifiers) const
{
    std::uint16_t bits = 0;
    if (modifiers & Qt::ShiftModifier)
        bits |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        bits |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier) {
        const std::uint16_t alt = modifierOf(kAltLeft);
        bits |= alt != 0 ? alt : std::uint16_t{XCB_MOD_MASK_1};
    }
    if (modifiers & Qt::MetaModifier) {
        const std::uint16_t super = modifierOf(kSuperLeft);
        bits |= super != 0 ? super : std::uint16_t{XCB_MOD_MASK_4};
    }
    return bits;
}

std::uint16_t X11KeyboardMap::numLock() const
{
    return modifierOf(kNumLock);
}

} // namespace quillory
