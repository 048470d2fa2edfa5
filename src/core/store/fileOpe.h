#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/FileIo.h"
#include "core/store/SafeFile.h"

namespace quillory {

class Messages;

// The program's path separator; every path is built with it.
inline constexpr char kPathSep = '/';
inline constexpr std::string_view kPathSepStr = "/";

// Line end written after every line of every text file.
inline constexpr std::string_view kLineEnd = "\r\n";

enum WriteMode : int16_t {
    FILE_OUTPUT = 1, // replace the file: each item as one line
    FILE_APPEND = 2, // add to the end: each item as one line
    FILE_BINARY = 3, // replace the file: the items' bytes, nothing between them
    FILE_RANDOM = 4, // put the items as lines from record number on, keeping the lines before it
};

// The one place where the program reads and writes line-oriented text files, and the small
// splitting functions every file format is parsed with.
//
// Lines are written with CR LF. When reading, a line ends at CR LF or at a lone CR; a lone LF
// stays inside the line; empty lines are skipped; the last line needs no line end. Text is
// handled as bytes and never re-encoded, so whatever another program wrote comes back as it was.
class fileOpe {
public:
    explicit fileOpe(Messages& messages, FileIo& io = defaultFileIo());

    // Makes an empty file at path when there is none; a file already there is left as it is.
    bool createFile(const std::string& path);
    bool deleteFile(const std::string& path);

    // Appends the non-empty lines of the file to lines. A missing or unreadable file adds nothing.
    void reaFile(const std::string& path, std::vector<std::string>& lines);
    // Calls onLine with each non-empty line of text, in order.
    static void forEachLine(std::string_view text, const std::function<void(std::string_view)>& onLine);
    // The same, with each line's number in the file (every line end counts, empty lines too).
    template <class OnLine>
    static void forEachNumberedLine(std::string_view text, OnLine&& onLine)
    {
        int number = 0;
        size_t start = 0;
        const size_t size = text.size();
        while (start < size) {
            size_t end = text.find('\r', start);
            if (end == std::string_view::npos)
                end = size;
            ++number;
            if (end > start)
                onLine(text.substr(start, end - start), number);
            start = end + 1;
            if (end < size && start < size && text[start] == '\n')
                ++start; // CR LF is one line end; a lone CR is one too
        }
    }

    // Writes items in the given mode. Returns false when the file could not be written; the
    // text of Err009 (its folder is missing) or Err014 (any other failure) is then shown with
    // the path and the reason, and the previous file is left as it was. A mode outside 1 to 4
    // writes nothing and fails (EINVAL).
    bool writeFile(const std::string& path, int16_t mode, int16_t recordNumber,
                   const std::vector<std::string>& items);
    // The same without a message: the caller reports the failure in its own words.
    WriteOutcome writeFileQuietly(const std::string& path, int16_t mode, int16_t recordNumber,
                                  const std::vector<std::string>& items);

    // The whole file with each line followed by one CR; std::nullopt when it cannot be read.
    std::optional<std::string> readFileToStr(const std::string& path);

    static std::string getFirstStrs(std::string_view text, std::string_view separator);
    static std::string getLastStrs(std::string_view text, std::string_view separator);
    static std::string getNotFirstStrs(std::string_view text, std::string_view separator);
    static std::string getSecondStrs(std::string_view text, std::string_view separator);
    static std::string getNewLinesStr(std::string_view value);

    FileIo& io() { return io_; }

private:
    Messages& messages_;
    FileIo& io_;
};

} // namespace quillory
