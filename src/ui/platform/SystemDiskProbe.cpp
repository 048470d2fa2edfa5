#include "ui/platform/SystemDiskProbe.h"

#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quillory {

namespace {

FileIdentity identityOf(const struct stat& info)
{
    return {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
}

// Whether folder is a mount point: it lies on another device than its parent.
bool isMountPoint(const std::string& folder)
{
    struct stat self {};
    struct stat parent {};
    return ::stat(folder.c_str(), &self) == 0 && S_ISDIR(self.st_mode) && ::stat((folder + "/..").c_str(), &parent) == 0
           && self.st_dev != parent.st_dev;
}

} // namespace

bool SystemDiskProbe::exists(const std::string& path) const
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool SystemDiskProbe::isVolumeMounted(const std::string& path) const
{
    std::string_view base;
    for (const std::string_view place : {"/run/media/", "/media/", "/mnt/"}) {
        if (path.starts_with(place)) {
            base = place;
            break;
        }
    }
    if (base.empty())
        return true;
    // The volume is mounted at the first or second folder below the base (/mnt/usb,
    // /media/<user>/usb).
    size_t end = base.size();
    for (int level = 0; level < 2; ++level) {
        end = path.find('/', end);
        const std::string folder = path.substr(0, end);
        if (isMountPoint(folder))
            return true;
        if (end == std::string::npos)
            break;
        ++end;
    }
    return false;
}

FileIdentity SystemDiskProbe::identify(const std::string& path) const
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? identityOf(info) : FileIdentity{};
}

std::vector<FolderEntry> SystemDiskProbe::listFolder(const std::string& path) const
{
    std::vector<FolderEntry> entries;
    DIR* folder = ::opendir(path.c_str());
    if (!folder)
        return entries;
    const int descriptor = ::dirfd(folder);
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat info {};
        if (::fstatat(descriptor, entry->d_name, &info, 0) == 0)
            entries.push_back({std::string(name), identityOf(info)});
    }
    ::closedir(folder);
    return entries;
}

} // namespace quillory
