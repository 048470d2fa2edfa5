#include "core/store/TextFiles.h"

#include <cerrno>

namespace quillory {

TextFiles::TextFiles(FileIo& io) : io_(io) {}

bool TextFiles::createFile(const std::string& path)
{
    // Never O_TRUNC: a file that is there already keeps what it holds.
    const int fd = io_.open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    return io_.close(fd) == 0;
}

bool TextFiles::deleteFile(const std::string& path)
{
    return !path.empty() && io_.unlink(path.c_str()) == 0;
}

void TextFiles::readLines(const std::string& path, std::vector<std::string>& lines)
{
    const auto content = readWholeFile(io_, path);
    if (!content)
        return;
    forEachLine(*content, [&lines](std::string_view line) { lines.emplace_back(line); });
}

namespace {

std::string joinLines(const std::vector<std::string>& items)
{
    size_t size = 0;
    for (const auto& item : items)
        size += item.size() + kLineEnd.size();
    std::string text;
    text.reserve(size);
    for (const auto& item : items) {
        text += item;
        text += kLineEnd;
    }
    return text;
}

} // namespace

WriteOutcome TextFiles::writeFile(const std::string& path, WriteMode mode, int16_t recordNumber,
                                  const std::vector<std::string>& items)
{
    switch (mode) {
    case FILE_OUTPUT: return replaceFileAtomically(io_, path, joinLines(items));
    case FILE_APPEND: return appendToFile(io_, path, joinLines(items));
    case FILE_BINARY: {
        std::string bytes;
        for (const auto& item : items)
            bytes += item;
        return replaceFileAtomically(io_, path, bytes);
    }
    case FILE_RANDOM: {
        std::vector<std::string> lines;
        readLines(path, lines);
        const size_t first = recordNumber > 1 ? static_cast<size_t>(recordNumber - 1) : 0;
        const size_t at = std::min(first, lines.size());
        for (size_t i = 0; i < items.size(); ++i) {
            if (at + i < lines.size())
                lines[at + i] = items[i];
            else
                lines.push_back(items[i]);
        }
        return replaceFileAtomically(io_, path, joinLines(lines));
    }
    default: {
        WriteOutcome unknown;
        unknown.errorNumber = EINVAL; // nothing is written in a mode the program does not know
        return unknown;
    }
    }
}

std::optional<std::string> TextFiles::readFileToStr(const std::string& path)
{
    const auto content = readWholeFile(io_, path);
    if (!content)
        return std::nullopt;
    std::string text;
    text.reserve(content->size());
    size_t start = 0;
    const size_t size = content->size();
    // Every line, empty ones included, followed by one CR.
    while (start < size) {
        size_t end = content->find('\r', start);
        if (end == std::string::npos)
            end = size;
        text.append(*content, start, end - start);
        text += '\r';
        start = end + 1;
        if (end < size && start < size && (*content)[start] == '\n')
            ++start;
    }
    return text;
}

} // namespace quillory
