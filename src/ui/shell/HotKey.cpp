#include "ui/shell/HotKey.h"

#include "ui/platform/GlobalHotKey.h"

namespace quillory {

void registerHotKeyLoop(GlobalHotKey& key, std::function<void()> onPressed)
{
    QObject::disconnect(&key, &GlobalHotKey::activated, nullptr, nullptr);
    QObject::connect(&key, &GlobalHotKey::activated, &key, [onPressed = std::move(onPressed)] { onPressed(); });
    // A key another program holds is not an error: everything else works without it.
    key.registerKey();
}

void unregisterHotKey(GlobalHotKey& key)
{
    key.unregisterKey();
    QObject::disconnect(&key, &GlobalHotKey::activated, nullptr, nullptr);
}

} // namespace quillory
