#pragma once

class QKeyEvent;

namespace quillory {

// What a key pressed in the folder tree or the index list asks of the catalog window.
enum class ViewKey {
    Other,  // the view's own (moving, renaming, ...)
    Delete, // the Delete key: delete what is chosen
    Menu,   // Shift+F10: the context menu, as the Menu key (which arrives as a menu request)
};
// editing: an item of the view is being renamed, and its editor keeps every key.
ViewKey viewKeyOf(const QKeyEvent* event, bool editing);

} // namespace quillory
