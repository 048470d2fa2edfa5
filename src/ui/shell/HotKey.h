#pragma once

#include <functional>

namespace quillory {

class GlobalHotKey;

// The global hot key that brings up the clipboard import. The program's message loop is Qt's
// event loop; registering joins the key to it, unregistering (at exit) lets it go.
void registerHotKeyLoop(GlobalHotKey& key, std::function<void()> onPressed);
void unregisterHotKey(GlobalHotKey& key);

} // namespace quillory
