#pragma once

namespace quillory {

class MDIMainForm;

// The global hot key that brings up the clipboard import. Registration joins the program's
// event loop; unregistering ends it.
void registerHotKeyLoop(MDIMainForm& frame);
void unregisterHotKey(MDIMainForm& frame);

} // namespace quillory
