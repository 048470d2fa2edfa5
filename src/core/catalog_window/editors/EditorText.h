#pragma once

#include <string>
#include <string_view>

namespace quillory {

// A text typed into an editor as it is stored: without the blanks and line breaks around it.
inline std::string trimmedField(std::string_view text)
{
    constexpr std::string_view kBlanks = " \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

} // namespace quillory
