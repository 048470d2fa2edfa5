#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quillory {

// "True" and "False" in any letter case, or a number (0 is false, any other number true).
std::optional<bool> parseBoolean(std::string_view text);
// A decimal whole number from -32768 to 32767.
std::optional<int16_t> parseInt16(std::string_view text);
// "True" or "False".
std::string formatBoolean(bool value);
// Appends a code point in UTF-8 (1 to 4 bytes), as it is: checking it is the caller's.
void appendUtf8(std::string& out, char32_t codePoint);

} // namespace quillory
