#pragma once

#include <string>
#include <string_view>

namespace quillory {

// Tests whether texts contain a needle, ignoring letter case. Text is UTF-8; letters outside
// ASCII are compared through the C library's Unicode case mapping, and bytes that are not
// valid UTF-8 match only themselves.
class CaseInsensitiveMatcher {
public:
    explicit CaseInsensitiveMatcher(std::string_view needle);
    bool matches(std::string_view haystack) const;

private:
    std::u32string needle_;   // folded
    std::string asciiNeedle_; // folded, when the needle is all ASCII
    std::string asciiPart_;   // otherwise: the longest run of ASCII in the folded needle
    bool isAsciiNeedle_ = true;
    bool foldedNeedleHasNonAscii_ = false;
};

// Whether text begins with lowerPrefix, ASCII letters compared in either case (lowerPrefix is in
// lower case).
inline bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view lowerPrefix)
{
    if (text.size() < lowerPrefix.size())
        return false;
    for (size_t i = 0; i < lowerPrefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        if (c != lowerPrefix[i])
            return false;
    }
    return true;
}

// Decodes the code point at text[i] and moves i past it; a byte that does not begin a valid
// UTF-8 sequence decodes on its own, as U+DC00 + byte.
char32_t decodeUtf8(std::string_view text, size_t& i);
// The lower case of one code point as foldCase makes it.
char32_t foldCodePoint(char32_t cp);

// Lower-case fold of UTF-8 text into code points (invalid bytes become U+DC80..U+DCFF).
void foldCase(std::string_view text, std::u32string& out);

} // namespace quillory
