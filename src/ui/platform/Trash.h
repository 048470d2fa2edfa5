#pragma once

#include <string>

namespace quillory {

// Moves the file at path to the desktop's trash, from where the user can get it back; where
// there is no trash for it, deletes it. True when it is gone from path.
bool moveToTrash(const std::string& path);

} // namespace quillory
