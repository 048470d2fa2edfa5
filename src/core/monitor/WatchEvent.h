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

// Who answers for a watched folder: the number the watcher gave it when it began to watch it.
inline constexpr int kNoWatch = -1;

// One record as the watcher reads it, before the two halves of a move are joined: what happened
// to the entry name of the folder watched as watch. A move arrives as MovedFrom in the old
// folder and MovedTo in the new one, both with the same cookie; a half without the other is a
// move out of, or into, the watched folders.
struct WatchNotice {
    enum class Kind { Created, Deleted, MovedFrom, MovedTo, EventsLost };
    Kind kind = Kind::Created;
    int watch = kNoWatch;
    std::string name;
    bool isFolder = false;
    uint32_t cookie = 0;
};

} // namespace quillory
