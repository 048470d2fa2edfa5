#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog_window/search/BlockSearcher.h"
#include "core/store/FileIo.h"

namespace quillory {

// Documents are read and searched this many bytes at a time, so a search of a large document
// holds little memory and stops reading at the first match.
inline constexpr size_t kScanBlockSize = 32000;
// A document of this many bytes or more is searched where it lies in the system's file cache,
// mapped a window at a time, rather than copied out of it block by block.
inline constexpr size_t kMapFrom = 1 << 20;
inline constexpr size_t kMapWindow = 4 << 20;

// True when a document with this extension (".txt", with its dot) is text the search reads.
// Letter case does not count: "REPORT.TXT" is as much a text document as "report.txt".
bool isTextFileExt(std::string_view extension);

// Whether documents contain one text, ignoring letter case. One searcher serves any number of
// documents; it may be used by one thread at a time.
class DocumentSearcher {
public:
    explicit DocumentSearcher(std::string_view text, FileIo& io = defaultFileIo());

    // True when path is a regular file with a text extension and contains the text. A missing,
    // unreadable or non-text document, a folder and a web address contain nothing. A match that
    // spans two blocks is found: each block repeats the end of the one before it.
    bool fileContains(const std::string& path);

    // Looked at between two blocks: once set, the reading of a document ends (as not containing
    // the text).
    void setStopFlag(const std::atomic<bool>* stop) { stop_ = stop; }

private:
    bool searchOpenFile(int fd, size_t length);
    // answered is false when the document could not be mapped (and is to be read).
    bool searchMapped(int fd, size_t length, bool& answered);
    bool searchRead(int fd, size_t length);

    FileIo& io_;
    BlockSearcher searcher_;
    size_t overlap_;
    std::vector<char> buffer_;
    const std::atomic<bool>* stop_ = nullptr;
};

// Whether the document at path contains text (see DocumentSearcher).
bool fileContainsText(const std::string& path, std::string_view text);

} // namespace quillory
