#pragma once

#include <string>
#include <string_view>

namespace quillory {

class QlrDirContentModel;
class qlrDbOpe;

// A path is a web address when its scheme is "http:" or "https:", in any letter case.
bool isWebAddress(std::string_view path);

// The name a row shows for a path: the part after the last separator, or the whole address for
// a web address (whose last part would often be empty).
std::string rowFileName(std::string_view path);

// The texts of one row of the index list, column by column.
struct ContentRowTexts {
    std::string key;     // the index id
    std::string file;    // rowFileName of the path
    std::string title;
    std::string dirName; // the folder that holds the index
    std::string path;
    std::string addTime;
    bool webAddress = false;
};

ContentRowTexts contentRowTexts(qlrDbOpe& store, const QlrDirContentModel& index);

// Where the desktop is to open an index's path: a web address or a full path as it is, a
// relative path inside the catalog's root.
std::string openablePath(std::string_view path, std::string_view rootPath);

// The path after renaming the shown file name of path to newName: only the last part changes.
std::string renamedPath(std::string_view path, std::string_view newName);

} // namespace quillory
