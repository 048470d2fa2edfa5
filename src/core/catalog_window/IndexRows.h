#pragma once

#include <string>
#include <string_view>

namespace quillory {

// A path is a web address when its scheme is "http:" or "https:", in any letter case.
bool isWebAddress(std::string_view path);

// The name a row shows for a path: the part after the last separator, or the whole address for
// a web address (whose last part would often be empty).
std::string rowFileName(std::string_view path);

// Where the desktop is to open an index's path: a web address or a full path as it is, a
// relative path inside the catalog's root.
std::string openablePath(std::string_view path, std::string_view rootPath);

// The path after renaming the shown file name of path to newName: only the last part changes.
std::string renamedPath(std::string_view path, std::string_view newName);

} // namespace quillory
