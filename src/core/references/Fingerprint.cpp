#include "core/references/Fingerprint.h"

#include <vector>

// The hash is inlined from the header: nothing to link, nothing for the program to load.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quillory {

namespace {

// Reads size bytes at offset into data; false when the file gives fewer.
bool readFully(FileIo& io, int fd, char* data, size_t size, off_t offset)
{
    while (size > 0) {
        const ssize_t n = io.pread(fd, data, size, offset);
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
        offset += n;
    }
    return true;
}

} // namespace

std::optional<Fingerprint> fingerprintOf(FileIo& io, const std::string& path)
{
    // Not blocking: a pipe found where a document was must not hold the caller.
    const int fd = io.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK, 0);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    std::optional<Fingerprint> result;
    if (io.fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        const auto size = static_cast<uint64_t>(info.st_size);
        thread_local std::vector<char> buffer(2 * kFingerprintSpan);
        // The whole document when it is small, else its first and its last span.
        const bool whole = size <= 2 * kFingerprintSpan;
        const size_t first = whole ? static_cast<size_t>(size) : kFingerprintSpan;
        const size_t last = whole ? 0 : kFingerprintSpan;
        if (readFully(io, fd, buffer.data(), first, 0)
            && readFully(io, fd, buffer.data() + first, last, static_cast<off_t>(size - last)))
            result = Fingerprint{size, XXH64(buffer.data(), first + last, size)};
    }
    io.close(fd);
    return result;
}

uint64_t hashOfText(std::string_view text)
{
    return XXH64(text.data(), text.size(), 0);
}

} // namespace quillory
