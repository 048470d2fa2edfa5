#pragma once

#include <string>

namespace quillory {

// One folder of a catalog.
struct FolderRecord {
    static constexpr size_t kFieldCount = 8; // in a line of the folder file

    std::string dirId; // "D" and a number
    std::string dirName;
    std::string parentDirId;    // "0" for a top-level folder
    std::string dirDescription; // may hold line breaks
    std::string dirIcon;        // kept and written back; nothing else uses it
    bool needPwd = false;
    std::string pwd;         // recorded, never asked for
    std::string contentFile; // kept and written back; nothing else uses it
};

} // namespace quillory
