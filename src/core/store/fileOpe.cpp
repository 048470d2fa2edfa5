#include "core/store/fileOpe.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

#include "core/config/Messages.h"

namespace quillory {

fileOpe::fileOpe(Messages& messages, FileIo& io) : messages_(messages), io_(io) {}

bool fileOpe::createFile(const std::string& path)
{
    // Never O_TRUNC: a file that is there already keeps what it holds.
    const int fd = io_.open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    return io_.close(fd) == 0;
}

bool fileOpe::deleteFile(const std::string& path)
{
    return !path.empty() && io_.unlink(path.c_str()) == 0;
}

void fileOpe::forEachLine(std::string_view text, const std::function<void(std::string_view)>& onLine)
{
    forEachNumberedLine(text, [&onLine](std::string_view line, int) { onLine(line); });
}

void fileOpe::reaFile(const std::string& path, std::vector<std::string>& lines)
{
    const auto content = readWholeFile(path);
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

WriteOutcome fileOpe::writeFileQuietly(const std::string& path, int16_t mode, int16_t recordNumber,
                                       const std::vector<std::string>& items)
{
    switch (mode) {
    case FILE_OUTPUT:
        return replaceFileAtomically(io_, path, joinLines(items));
    case FILE_APPEND:
        return appendToFile(io_, path, joinLines(items));
    case FILE_BINARY: {
        std::string bytes;
        for (const auto& item : items)
            bytes += item;
        return replaceFileAtomically(io_, path, bytes);
    }
    case FILE_RANDOM: {
        std::vector<std::string> lines;
        reaFile(path, lines);
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

bool fileOpe::writeFile(const std::string& path, int16_t mode, int16_t recordNumber,
                        const std::vector<std::string>& items)
{
    const WriteOutcome outcome = writeFileQuietly(path, mode, recordNumber, items);
    if (!outcome)
        messages_.show(outcome.folderMissing ? "Err009" : "Err014", MsgButtons::Ok, path + " (" + outcome.reason() + ")");
    return static_cast<bool>(outcome);
}

std::optional<std::string> fileOpe::readFileToStr(const std::string& path)
{
    const auto content = readWholeFile(path);
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

std::string fileOpe::getFirstStrs(std::string_view text, std::string_view separator)
{
    if (text.empty() || separator.empty())
        return {};
    const auto at = text.find(separator);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

// Like the other two "after" functions, this starts one character after the start of the
// separator; every caller passes a one-character separator.
std::string fileOpe::getLastStrs(std::string_view text, std::string_view separator)
{
    const auto at = separator.empty() ? std::string_view::npos : text.rfind(separator);
    return at == std::string_view::npos ? std::string(text) : std::string(text.substr(at + 1));
}

std::string fileOpe::getNotFirstStrs(std::string_view text, std::string_view separator)
{
    const auto at = separator.empty() ? std::string_view::npos : text.find(separator);
    return at == std::string_view::npos ? std::string(text) : std::string(text.substr(at + 1));
}

std::string fileOpe::getSecondStrs(std::string_view text, std::string_view separator)
{
    if (text.empty() || separator.empty())
        return {};
    const auto first = text.find(separator);
    if (first == std::string_view::npos)
        return {};
    const auto from = first + separator.size();
    const auto second = text.find(separator, from);
    if (second == std::string_view::npos)
        return {};
    return std::string(text.substr(from, second - from));
}

std::string fileOpe::getNewLinesStr(std::string_view value)
{
    std::string result;
    size_t start = 0;
    bool first = true;
    for (size_t bar = value.find('|'); bar != std::string_view::npos; bar = value.find('|', start)) {
        if (!first)
            result += kLineEnd;
        result += value.substr(start, bar - start);
        first = false;
        start = bar + 1;
    }
    return result;
}

} // namespace quillory
