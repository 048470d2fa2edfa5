// Another client of the X server that wants Ctrl+F2 as well: it grabs the key on the root window
// in every state of Caps Lock and Num Lock, which the server refuses while another client holds
// any of them.
//   key-grabber try    exits 0 when the grabs were given (and lets them go), 1 when refused
//   key-grabber hold   prints "grabbed" (or exits 1), then "pressed" for each press it is sent,
//                      until it is ended
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <xcb/xcb.h>

namespace {

constexpr xcb_keysym_t kF2 = 0xffbf;
constexpr xcb_keysym_t kNumLock = 0xff7f;

xcb_keycode_t keycodeOf(xcb_connection_t* connection, xcb_keysym_t symbol)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto count = static_cast<uint8_t>(setup->max_keycode - setup->min_keycode + 1);
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, count), nullptr);
    xcb_keycode_t found = 0;
    if (reply) {
        const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply);
        for (int key = 0; key < count && found == 0; ++key)
            if (symbols[key * reply->keysyms_per_keycode] == symbol)
                found = static_cast<xcb_keycode_t>(setup->min_keycode + key);
        std::free(reply);
    }
    return found;
}

uint16_t numLockMask(xcb_connection_t* connection)
{
    const xcb_keycode_t numLock = keycodeOf(connection, kNumLock);
    xcb_get_modifier_mapping_reply_t* reply = xcb_get_modifier_mapping_reply(
        connection, xcb_get_modifier_mapping(connection), nullptr);
    uint16_t mask = 0;
    if (reply) {
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply);
        for (int i = 0; i < 8 * reply->keycodes_per_modifier; ++i)
            if (numLock != 0 && keycodes[i] == numLock)
                mask = static_cast<uint16_t>(1 << (i / reply->keycodes_per_modifier));
        std::free(reply);
    }
    return mask;
}

} // namespace

int main(int argc, char* argv[])
{
    const bool hold = argc > 1 && std::strcmp(argv[1], "hold") == 0;
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return 2;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const xcb_keycode_t f2 = keycodeOf(connection, kF2);
    const uint16_t numLock = numLockMask(connection);
    bool refused = f2 == 0;
    const uint16_t lock = XCB_MOD_MASK_LOCK;
    for (const uint16_t locks : {uint16_t{0}, lock, numLock, static_cast<uint16_t>(numLock | lock)})
        if (xcb_generic_error_t* error = xcb_request_check(
                connection, xcb_grab_key_checked(connection, 0, root, XCB_MOD_MASK_CONTROL | locks, f2,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC))) {
            std::free(error);
            refused = true;
        }
    if (refused) {
        xcb_disconnect(connection);
        return 1;
    }
    if (hold) {
        std::printf("grabbed\n");
        std::fflush(stdout);
        while (xcb_generic_event_t* event = xcb_wait_for_event(connection)) {
            if ((event->response_type & ~0x80) == XCB_KEY_PRESS) {
                std::printf("pressed\n");
                std::fflush(stdout);
            }
            std::free(event);
        }
    }
    xcb_disconnect(connection);
    return 0;
}
