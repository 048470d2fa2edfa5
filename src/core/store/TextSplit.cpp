#include "core/store/TextSplit.h"

namespace quillory {

void forEachLine(std::string_view text, const std::function<void(std::string_view)>& onLine)
{
    forEachNumberedLine(text, [&onLine](std::string_view line, int) { onLine(line); });
}

std::string getFirstStrs(std::string_view text, std::string_view separator)
{
    if (text.empty() || separator.empty())
        return {};
    const auto at = text.find(separator);
    return at == std::string_view::npos ? std::string() : std::string(text.substr(0, at));
}

// Like the other two "after" functions, this starts one character after the start of the
// separator; every caller passes a one-character separator.
std::string getLastStrs(std::string_view text, std::string_view separator)
{
    const auto at = separator.empty() ? std::string_view::npos : text.rfind(separator);
    return at == std::string_view::npos ? std::string(text) : std::string(text.substr(at + separator.size()));
}

std::string getNotFirstStrs(std::string_view text, std::string_view separator)
{
    const auto at = separator.empty() ? std::string_view::npos : text.find(separator);
    return at == std::string_view::npos ? std::string(text) : std::string(text.substr(at + separator.size()));
}

std::string getSecondStrs(std::string_view text, std::string_view separator)
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

std::string getNewLinesStr(std::string_view value)
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
