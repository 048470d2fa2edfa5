#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quillory {

// What tells one file from another on the same machine, whatever its name: its device and
// inode numbers. Zero for both when nothing is there.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    explicit operator bool() const { return inode != 0 || device != 0; }
    bool operator==(const FileIdentity&) const = default;
};

struct FolderEntry {
    std::string name;
    FileIdentity identity;
};

// The monitor's and the synchronisation's only view of the disk. The program answers from the
// file system; tests answer from a table.
class DiskProbe {
public:
    virtual ~DiskProbe() = default;
    virtual bool exists(const std::string& path) const = 0;
    // False when the path lies where a volume is expected that is not mounted now (a removable
    // drive taken away, a network share gone): nothing can be said of what is there.
    virtual bool isVolumeMounted(const std::string& path) const = 0;
    virtual FileIdentity identify(const std::string& path) const = 0;
    // The entries of a folder (files and folders alike); empty when it cannot be read.
    virtual std::vector<FolderEntry> listFolder(const std::string& path) const = 0;
};

} // namespace quillory
