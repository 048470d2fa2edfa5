#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/Paths.h"
#include "core/store/FileIo.h"
#include "core/store/SafeFile.h"
#include "core/store/TextSplit.h"

namespace quillory {

enum WriteMode : int16_t {
    FILE_OUTPUT = 1, // replace the file: each item as one line
    FILE_APPEND = 2, // add to the end: each item as one line
    FILE_BINARY = 3, // replace the file: the items' bytes, nothing between them
    FILE_RANDOM = 4, // put the items as lines from record number on, keeping the lines before it
};

// The one place where the program reads and writes line-oriented text files (the lines are
// split as TextSplit.h says).
//
// Lines are written with CR LF. When reading, a line ends at CR LF or at a lone CR; a lone LF
// stays inside the line; empty lines are skipped; the last line needs no line end. Text is
// handled as bytes and never re-encoded, so whatever another program wrote comes back as it was.
class TextFiles {
public:
    explicit TextFiles(FileIo& io = defaultFileIo());

    // Makes an empty file at path when there is none; a file already there is left as it is.
    bool createFile(const std::string& path);
    bool deleteFile(const std::string& path);

    // Appends the non-empty lines of the file to lines. A missing or unreadable file adds nothing.
    void readLines(const std::string& path, std::vector<std::string>& lines);

    // Writes items in the given mode. A file that could not be written is left as it was, and the
    // outcome says why; the caller tells the user in its own words. A value outside the four
    // writes nothing and fails (EINVAL).
    WriteOutcome writeFile(const std::string& path, WriteMode mode, int16_t recordNumber,
                           const std::vector<std::string>& items);

    // The whole file with each line followed by one CR; std::nullopt when it cannot be read.
    std::optional<std::string> readFileToStr(const std::string& path);

    FileIo& io() const { return io_; }

private:
    FileIo& io_;
};

} // namespace quillory
