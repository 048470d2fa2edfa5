#include "store/TextMatch.h"

#include <algorithm>
#include <clocale>
#include <cwctype>
#include <locale.h>

namespace quillory {
namespace {

locale_t utf8Locale()
{
    static const locale_t locale = [] {
        locale_t l = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        return l ? l : ::newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(0));
    }();
    return locale;
}

char32_t lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char32_t>(c + 32) : c;
}

// Decodes one code point at text[i], advancing i; an invalid byte decodes as U+DC00 + byte.
char32_t decode(std::string_view text, size_t& i)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    auto invalid = [&]() {
        ++i;
        return static_cast<char32_t>(0xDC00 + b0);
    };
    size_t length;
    char32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
    } else {
        return invalid();
    }
    if (i + length > text.size())
        return invalid();
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if ((b & 0xC0) != 0x80)
            return invalid();
        cp = (cp << 6) | (b & 0x3F);
    }
    const char32_t minimum = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return invalid();
    i += length;
    return cp;
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool asciiContainsIgnoringCase(std::string_view haystack, const std::u32string& needle)
{
    if (needle.size() > haystack.size())
        return false;
    const size_t last = haystack.size() - needle.size();
    for (size_t start = 0; start <= last; ++start) {
        size_t k = 0;
        while (k < needle.size() && lowerAscii(static_cast<unsigned char>(haystack[start + k])) == needle[k])
            ++k;
        if (k == needle.size())
            return true;
    }
    return false;
}

} // namespace

void foldCase(std::string_view text, std::u32string& out)
{
    out.clear();
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(lowerAscii(b));
            ++i;
            continue;
        }
        const char32_t cp = decode(text, i);
        if (cp >= 0xDC80 && cp <= 0xDCFF)
            out.push_back(cp);
        else
            out.push_back(static_cast<char32_t>(::towlower_l(static_cast<wint_t>(cp), utf8Locale())));
    }
}

CaseInsensitiveMatcher::CaseInsensitiveMatcher(std::string_view needle)
{
    foldCase(needle, needle_);
    asciiNeedle_ = isAscii(needle);
}

bool CaseInsensitiveMatcher::matches(std::string_view haystack) const
{
    if (needle_.empty())
        return true;
    if (asciiNeedle_ && isAscii(haystack))
        return asciiContainsIgnoringCase(haystack, needle_);
    thread_local std::u32string folded;
    foldCase(haystack, folded);
    return folded.find(needle_) != std::u32string::npos;
}

} // namespace quillory
