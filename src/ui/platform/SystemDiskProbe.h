#pragma once

#include "core/monitor/DiskProbe.h"

namespace quillory {

// The disk as the monitor and the synchronisation see it, from the file system itself.
class SystemDiskProbe : public DiskProbe {
public:
    // Something is at path (a link counts, even one whose target is gone).
    bool exists(const std::string& path) const override;
    // A path below a folder where removable drives and shares are mounted (/media/<user>/<name>,
    // /run/media/<user>/<name>, /mnt/<name>) lies on a mounted volume only while one of those
    // folders is a mount point; every other path is taken for mounted.
    bool isVolumeMounted(const std::string& path) const override;
    FileIdentity identify(const std::string& path) const override;
    std::vector<FolderEntry> listFolder(const std::string& path) const override;
};

} // namespace quillory
