#include "ui/shell/HotKey.h"

namespace quillory {

// The hot key itself is not wired up yet; start-up and exit already call these at the places
// where it is registered and released.
void registerHotKeyLoop(MDIMainForm&) {}
void unregisterHotKey(MDIMainForm&) {}

} // namespace quillory
