#pragma once

#include <fcntl.h>
#include <functional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace quillory {

// The system calls of the core: every catalog, configuration and document file is opened, read,
// written, looked at and listed through here, and nowhere else. Tests replace this with one
// that fails a chosen call (ENOSPC, EIO, a short count): as root, file permissions cannot be
// used to provoke a failing write, and a full disk is hard to stage. The calls keep the
// system's own contract (-1 and errno on failure).
class FileIo {
public:
    virtual ~FileIo() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t read(int fd, void* data, size_t size);
    // As read, from offset, leaving the file's position where it was.
    virtual ssize_t pread(int fd, void* data, size_t size, off_t offset);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    // As rename, but refuses (EEXIST) when to is there; EINVAL or ENOSYS where the file system
    // cannot promise that.
    virtual int renameNoReplace(const char* from, const char* to);
    // A new name to for the file from names (a link there followed).
    virtual int link(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int mkdir(const char* path, mode_t mode);
    virtual int ftruncate(int fd, off_t length);
    virtual int fchmod(int fd, mode_t mode);
    virtual int fchown(int fd, uid_t owner, gid_t group);
    virtual int stat(const char* path, struct stat* info);
    virtual int lstat(const char* path, struct stat* info);
    virtual int fstat(int fd, struct stat* info);
    // What look answers when given the bytes [offset, offset + length) of the open file fd as
    // they lie in the system's file cache, mapped into memory rather than copied (offset a
    // multiple of the page size). Unavailable when the file cannot be mapped: the caller reads it
    // instead. Lost when the file became shorter than that while look went through it (another
    // program cut it): look is left where the bytes gave out, and what it had allocated meanwhile
    // is not given back, so look should allocate nothing.
    enum class MappedAnswer { Yes, No, Unavailable, Lost };
    virtual MappedAnswer lookMapped(int fd, off_t offset, size_t length,
                                    const std::function<bool(std::string_view)>& look);
    // The names in folder, without "." and ".."; false when it cannot be read.
    virtual bool listFolder(const char* folder, std::vector<std::string>& names);
    // The path with every link resolved; "" when it cannot be.
    virtual std::string realPath(const char* path);
    // What the link at path holds; "" when it is no link.
    virtual std::string readLink(const char* path);

    // The size of a page of memory: what mapped files are cut into.
    static size_t pageSize();
    // The user and group the program runs as.
    static uid_t effectiveUser();
    static gid_t effectiveGroup();
};

// The program's real file system.
FileIo& defaultFileIo();

} // namespace quillory
