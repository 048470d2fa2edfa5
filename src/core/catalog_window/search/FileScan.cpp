#include "core/catalog_window/search/FileScan.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

#include "core/catalog_window/IndexRows.h"
#include "core/store/TextMatch.h"
#include "core/store/TextSplit.h"

namespace quillory {
namespace {

// The extensions of documents that hold text, in lower case with their dot.
constexpr std::array<std::string_view, 51> kTextExtensions = {
    ".bat",     ".323", ".bin",     ".c",       ".chm",     ".cmd",     ".cpp", ".acl", ".css", ".dat",  ".dic",
    ".dochtml", ".h",   ".hlp",     ".hpp",     ".htm",     ".html",    ".htt", ".htw", ".ini", ".java", ".log",
    ".mak",     ".mht", ".mhtml",   ".plg",     ".prj",     ".rtf",     ".scp", ".sct", ".txt", ".wtx",  ".xml",
    ".xsl",     ".htc", ".js",      ".jsp",     ".asp",     ".php",     ".jad", ".r3t", ".rt",  ".sol",  ".sor",
    ".uls",     ".wsc", ".pothtml", ".ppthtml", ".xlshtml", ".xlthtml", ".hex",
};

// Reads up to size bytes at into; fewer only at the end of the file. -1 on an error.
ssize_t readFully(FileIo& io, int fd, char* into, size_t size)
{
    size_t got = 0;
    while (got < size) {
        const ssize_t n = io.read(fd, into + got, size - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (n == 0)
            break;
        got += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

} // namespace

bool isTextFileExt(std::string_view extension)
{
    return std::any_of(kTextExtensions.begin(), kTextExtensions.end(), [&](std::string_view known) {
        return extension.size() == known.size() && startsWithIgnoringAsciiCase(extension, known);
    });
}

DocumentSearcher::DocumentSearcher(std::string_view text, FileIo& io)
    : io_(io), searcher_(text), overlap_(std::max<size_t>(searcher_.longestMatch(), 1) - 1)
{
    buffer_.resize(overlap_ + kScanBlockSize);
}

bool DocumentSearcher::fileContains(const std::string& path)
{
    // The extension is the text after the last dot of the path, as the file's type is told
    // everywhere else.
    if (isWebAddress(path))
        return false;
    std::string extension(1, '.');
    extension += getLastStrs(path, ".");
    if (!isTextFileExt(extension))
        return false;
    // Never waits on a pipe or a device put where a document was.
    const int fd = io_.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
    if (fd < 0)
        return false;
    struct stat info {};
    bool found = false;
    if (io_.fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        found = searchOpenFile(fd, static_cast<size_t>(info.st_size));
    }
    io_.close(fd);
    return found;
}

bool DocumentSearcher::searchOpenFile(int fd, size_t length)
{
    if (length >= kMapFrom && overlap_ < kMapWindow / 4) {
        bool answered = false;
        const bool found = searchMapped(fd, length, answered);
        if (answered)
            return found;
    }
    return searchRead(fd, length);
}

bool DocumentSearcher::searchMapped(int fd, size_t length, bool& answered)
{
    // Window by window, each repeating the end of the one before it from a page boundary, so that
    // a match across two is found; within a window, block by block as a read would go.
    const size_t page = FileIo::pageSize();
    auto look = [this](std::string_view window) {
        for (size_t at = 0;; at += kScanBlockSize) {
            const size_t end = std::min(window.size(), at + kScanBlockSize + overlap_);
            if (searcher_.contains(window.substr(at, end - at)))
                return true;
            if (end == window.size())
                return false;
        }
    };
    for (size_t from = 0;;) {
        if (stop_ && stop_->load(std::memory_order_relaxed)) {
            answered = true;
            return false;
        }
        const size_t end = std::min(length, from + kMapWindow);
        const FileIo::MappedAnswer answer = io_.lookMapped(fd, static_cast<off_t>(from), end - from, look);
        if (answer == FileIo::MappedAnswer::Unavailable && from == 0)
            return false; // not answered: the document is read instead
        // Found; or a document that can no longer be mapped, or was cut short meanwhile, is not
        // read further (as a read that fails ends the search).
        answered = true;
        if (answer != FileIo::MappedAnswer::No)
            return answer == FileIo::MappedAnswer::Yes;
        if (end == length)
            return false;
        from = (end - overlap_) / page * page;
    }
}

bool DocumentSearcher::searchRead(int fd, size_t length)
{
    // The document's length when it was opened bounds the reading: one that grows meanwhile
    // does not keep the search going.
    size_t remaining = length;
    size_t kept = 0; // bytes of the previous block repeated at the start of this one
    char* const buffer = buffer_.data();
    while (remaining > 0) {
        if (stop_ && stop_->load(std::memory_order_relaxed))
            return false;
        const size_t size = std::min(kScanBlockSize, remaining);
        const ssize_t got = readFully(io_, fd, buffer + kept, size);
        if (got <= 0)
            return false;
        const size_t filled = kept + static_cast<size_t>(got);
        if (searcher_.contains(std::string_view(buffer, filled)))
            return true;
        remaining -= static_cast<size_t>(got);
        kept = std::min(overlap_, filled);
        std::memmove(buffer, buffer + filled - kept, kept);
        if (static_cast<size_t>(got) < size)
            break; // the document ended sooner than it said
    }
    return false;
}

bool fileContainsText(const std::string& path, std::string_view text)
{
    return DocumentSearcher(text).fileContains(path);
}

} // namespace quillory
