#include "core/store/FileIo.h"

#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <sys/mman.h>

namespace quillory {
namespace {

// A bus error is how the system tells a thread that it touched a page of a mapped file beyond
// the file's end: another program cut the file while it was mapped. lookMapped catches it and
// lands back where it started; any other bus error goes on as it would have without it.
thread_local sigjmp_buf* busErrorLanding = nullptr;
struct sigaction busErrorBefore {};

void onBusError(int signal, siginfo_t* info, void* context)
{
    if (busErrorLanding)
        siglongjmp(*busErrorLanding, 1);
    if ((busErrorBefore.sa_flags & SA_SIGINFO) && busErrorBefore.sa_sigaction) {
        busErrorBefore.sa_sigaction(signal, info, context);
    } else if (busErrorBefore.sa_handler != SIG_DFL && busErrorBefore.sa_handler != SIG_IGN) {
        busErrorBefore.sa_handler(signal);
    } else {
        // The faulting access runs again on return, and meets the action there was before.
        ::sigaction(SIGBUS, &busErrorBefore, nullptr);
    }
}

void catchBusErrors()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &busErrorBefore);
    });
}

} // namespace

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
FileIo::MappedAnswer FileIo::lookMapped(int fd, off_t offset, size_t length,
                                        const std::function<bool(std::string_view)>& look)
{
    if (length == 0)
        return look({}) ? MappedAnswer::Yes : MappedAnswer::No;
    catchBusErrors();
    // Mapped as they are first touched, a few pages at a time: a search that stops at an early
    // match maps no more than it read.
    void* const mapped = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, offset);
    if (mapped == MAP_FAILED)
        return MappedAnswer::Unavailable;
    sigjmp_buf landing;
    sigjmp_buf* const outer = busErrorLanding;
    volatile int answer = static_cast<int>(MappedAnswer::Lost);
    if (sigsetjmp(landing, 1) == 0) {
        busErrorLanding = &landing;
        answer = static_cast<int>(look(std::string_view(static_cast<const char*>(mapped), length)) ? MappedAnswer::Yes
                                                                                                   : MappedAnswer::No);
    }
    busErrorLanding = outer;
    ::munmap(mapped, length);
    return static_cast<MappedAnswer>(answer);
}
size_t FileIo::pageSize()
{
    static const auto size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    return size;
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
