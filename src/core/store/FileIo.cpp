#include "core/store/FileIo.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>

namespace quillory {

int FileIo::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}
ssize_t FileIo::read(int fd, void* data, size_t size)
{
    return ::read(fd, data, size);
}
ssize_t FileIo::pread(int fd, void* data, size_t size, off_t offset)
{
    return ::pread(fd, data, size, offset);
}
ssize_t FileIo::write(int fd, const void* data, size_t size)
{
    return ::write(fd, data, size);
}
int FileIo::fsync(int fd)
{
    return ::fsync(fd);
}
int FileIo::close(int fd)
{
    return ::close(fd);
}
int FileIo::rename(const char* from, const char* to)
{
    return ::rename(from, to);
}
int FileIo::renameNoReplace(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}
int FileIo::link(const char* from, const char* to)
{
    return ::linkat(AT_FDCWD, from, AT_FDCWD, to, AT_SYMLINK_FOLLOW);
}
int FileIo::unlink(const char* path)
{
    return ::unlink(path);
}
int FileIo::mkdir(const char* path, mode_t mode)
{
    return ::mkdir(path, mode);
}
int FileIo::ftruncate(int fd, off_t length)
{
    return ::ftruncate(fd, length);
}
int FileIo::fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}
int FileIo::fchown(int fd, uid_t owner, gid_t group)
{
    return ::fchown(fd, owner, group);
}
int FileIo::stat(const char* path, struct stat* info)
{
    return ::stat(path, info);
}
int FileIo::lstat(const char* path, struct stat* info)
{
    return ::lstat(path, info);
}
int FileIo::fstat(int fd, struct stat* info)
{
    return ::fstat(fd, info);
}

bool FileIo::listFolder(const char* folder, std::vector<std::string>& names)
{
    DIR* dir = ::opendir(folder);
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..")
            names.emplace_back(name);
    }
    ::closedir(dir);
    return true;
}

std::string FileIo::realPath(const char* path)
{
    char* real = ::realpath(path, nullptr);
    if (!real)
        return {};
    std::string resolved(real);
    std::free(real);
    return resolved;
}

std::string FileIo::readLink(const char* path)
{
    std::string buffer(4096, '\0');
    const ssize_t n = ::readlink(path, buffer.data(), buffer.size());
    if (n <= 0)
        return {};
    buffer.resize(static_cast<size_t>(n));
    return buffer;
}

uid_t FileIo::effectiveUser()
{
    return ::geteuid();
}
gid_t FileIo::effectiveGroup()
{
    return ::getegid();
}

FileIo& defaultFileIo()
{
    static FileIo io;
    return io;
}

} // namespace quillory
