#pragma once

#include <string>

namespace quillory {

// Moves the file (or link) at path to the desktop's trash, from where the user can get it back:
// the home trash ($XDG_DATA_HOME/Trash, by default ~/.local/share/Trash), or, for a file on
// another file system, that volume's own trash at its top ($topdir/.Trash/$UID, or
// $topdir/.Trash-$UID). The trash folders are made when they are missing (mode 0700). A file
// that cannot be moved to a trash is never deleted: it stays where it is. True when it went.
bool moveToTrash(const std::string& path);

} // namespace quillory
