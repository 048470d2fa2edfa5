#include "core/store/FileIo.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace quillory {

int FileIo::open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t FileIo::write(int fd, const void* data, size_t size) { return ::write(fd, data, size); }
int FileIo::fsync(int fd) { return ::fsync(fd); }
int FileIo::close(int fd) { return ::close(fd); }
int FileIo::rename(const char* from, const char* to) { return ::rename(from, to); }
int FileIo::unlink(const char* path) { return ::unlink(path); }
int FileIo::ftruncate(int fd, off_t length) { return ::ftruncate(fd, length); }

FileIo& defaultFileIo()
{
    static FileIo io;
    return io;
}

} // namespace quillory
