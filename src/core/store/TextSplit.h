#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quillory {

// Line end written after every line of every text file.
inline constexpr std::string_view kLineEnd = "\r\n";

// The small splitting functions every file format is parsed with. A line ends at CR LF or at a
// lone CR; a lone LF stays inside the line.

// Calls onLine with each non-empty line of text, in order.
void forEachLine(std::string_view text, const std::function<void(std::string_view)>& onLine);
// The same, with each line's number in the file (every line end counts, empty lines too).
template <class OnLine>
void forEachNumberedLine(std::string_view text, OnLine&& onLine)
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

// The text before the first separator; "" when there is none.
std::string getFirstStrs(std::string_view text, std::string_view separator);
// The text after the last separator; all of it when there is none.
std::string getLastStrs(std::string_view text, std::string_view separator);
// The text after the first separator; all of it when there is none.
std::string getNotFirstStrs(std::string_view text, std::string_view separator);
// The text between the first and the second separator; "" when there are not two.
std::string getSecondStrs(std::string_view text, std::string_view separator);
// A configured text with "|" as line breaks: each "|" ends a line, text after the last one is dropped.
std::string getNewLinesStr(std::string_view value);

} // namespace quillory
