#pragma once

#include <sys/types.h>

namespace quillory {

// The few system calls through which every catalog and configuration file is written.
// Tests replace this with one that fails a chosen call (ENOSPC, EIO, a short count): as root,
// file permissions cannot be used to provoke a failing write, and a full disk is hard to stage.
class FileIo {
public:
    virtual ~FileIo() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
    virtual int ftruncate(int fd, off_t length);
};

// The program's real file system.
FileIo& defaultFileIo();

} // namespace quillory
