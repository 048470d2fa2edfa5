#pragma once

#include <cstdint>
#include <string>

namespace quillory {

// A change the folder watcher saw on disk. The kinds carry the numbers the change records have
// always used for them.
enum class WatchEventKind : uint32_t {
    RenamedFile = 0x1,       // oldPath -> newPath (a rename, or a move between watched folders)
    Created = 0x2,           // newPath
    DeletedFile = 0x4,       // oldPath (also a move into the desktop trash or out of sight)
    DeletedFolder = 0x10,    // oldPath
    RenamedFolder = 0x20000, // oldPath -> newPath
    EventsLost = 0x80000000, // the watcher fell behind: what changed must be found out anew
};

struct WatchEvent {
    WatchEventKind kind = WatchEventKind::Created;
    std::string oldPath;
    std::string newPath;
};

} // namespace quillory
