#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "core/monitor/DiskProbe.h"

namespace quillory::test {

// A disk for the monitor's tests: the paths that exist, each with its identity, and the
// volumes not mounted. Moving a path moves everything below it and keeps the identities.
class FakeDisk : public DiskProbe {
public:
    std::map<std::string, FileIdentity> items;
    std::vector<std::string> unmounted; // folders where a volume is missing

    void add(const std::string& path) { items[path] = FileIdentity{1, ++lastInode_}; }
    void remove(const std::string& path) { items.erase(path); }
    void move(const std::string& from, const std::string& to)
    {
        std::map<std::string, FileIdentity> moved;
        for (auto it = items.begin(); it != items.end();) {
            if (it->first == from || it->first.starts_with(from + "/")) {
                moved[to + it->first.substr(from.size())] = it->second;
                it = items.erase(it);
            } else {
                ++it;
            }
        }
        items.merge(moved);
    }

    bool exists(const std::string& path) const override { return items.count(path) != 0; }
    bool isVolumeMounted(const std::string& path) const override
    {
        for (const std::string& folder : unmounted) {
            if (path.starts_with(folder + "/"))
                return false;
        }
        return true;
    }
    FileIdentity identify(const std::string& path) const override
    {
        const auto found = items.find(path);
        return found == items.end() ? FileIdentity{} : found->second;
    }
    std::vector<FolderEntry> listFolder(const std::string& path) const override
    {
        std::vector<FolderEntry> entries;
        const std::string prefix = path == "/" ? "/" : path + "/";
        for (const auto& [item, identity] : items) {
            if (item.starts_with(prefix) && item.size() > prefix.size()
                && item.find('/', prefix.size()) == std::string::npos)
                entries.push_back(FolderEntry{item.substr(prefix.size()), identity});
        }
        return entries;
    }

private:
    uint64_t lastInode_ = 0;
};

// The real file system (a link counts as there, whatever it names), but for the folders in
// unmounted, which stand for volumes not mounted.
struct RealDisk : FakeDisk {
    bool exists(const std::string& path) const override
    {
        std::error_code ignored;
        return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
    }
};

} // namespace quillory::test
