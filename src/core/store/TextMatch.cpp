#include "core/store/TextMatch.h"

#include <algorithm>
#include <array>
#include <bit>
#include <clocale>
#include <cstdint>
#include <cstring>
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

} // namespace

char32_t decodeUtf8(std::string_view text, size_t& i)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    auto invalid = [&]() {
        ++i;
        return static_cast<char32_t>(0xDC00 + b0);
    };
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
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

namespace {

// The lower case of a code point outside ASCII, from the C library's Unicode case mapping. The
// code points of two-byte UTF-8 (Latin letters with marks, Greek, Cyrillic, ...) are asked for
// once and kept in a table; searching folds them over and over.
char32_t lowerNonAscii(char32_t cp)
{
    static const auto table = [] {
        std::array<char32_t, 0x800> lower{};
        for (char32_t c = 0; c < lower.size(); ++c)
            lower[c] = static_cast<char32_t>(::towlower_l(static_cast<wint_t>(c), utf8Locale()));
        return lower;
    }();
    if (cp < table.size())
        return table[cp];
    return static_cast<char32_t>(::towlower_l(static_cast<wint_t>(cp), utf8Locale()));
}

// True when none of the eight bytes at p has its high bit set.
bool asciiWord(const char* p)
{
    uint64_t word;
    std::memcpy(&word, p, 8);
    return (word & 0x8080808080808080ULL) == 0;
}

bool isAscii(std::string_view text)
{
    // Eight bytes at a time: this runs on every index a search looks at.
    size_t i = 0;
    while (i + 8 <= text.size() && asciiWord(text.data() + i))
        i += 8;
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return false;
    }
    return true;
}

// All eight bytes of a word set to c.
uint64_t broadcast(unsigned char c)
{
    return 0x0101010101010101ULL * c;
}

// What to OR into a byte so that it equals the letter c in either case (nothing for a non-letter):
// c | 0x20 is c exactly when c is that letter, upper or lower case.
unsigned char caseBit(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? 0x20 : 0;
}

// needle: non-empty, lower-case ASCII. Compares bytes, so a match found here is a match of the
// folded texts too: ASCII bytes always decode as themselves.
//
// Eight starting places at a time: a place is looked at closely only when both the needle's first
// and last letters stand where they must (tested for all eight at once in a 64-bit word), which
// keeps the loop short and its branches predictable.
bool asciiContainsIgnoringCase(std::string_view haystack, std::string_view needle)
{
    const size_t length = needle.size();
    if (length > haystack.size())
        return false;
    const auto* text = reinterpret_cast<const unsigned char*>(haystack.data());
    const auto first = static_cast<unsigned char>(needle[0]);
    const auto lastChar = static_cast<unsigned char>(needle[length - 1]);
    const unsigned char firstBit = caseBit(first), lastBit = caseBit(lastChar);
    auto middleMatches = [&](size_t start) {
        for (size_t k = 1; k + 1 < length; ++k) {
            if (lowerAscii(text[start + k]) != static_cast<unsigned char>(needle[k]))
                return false;
        }
        return true;
    };
    const size_t starts = haystack.size() - length + 1;
    size_t start = 0;
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    for (; start + 8 <= starts; start += 8) {
        uint64_t atFirst, atLast;
        std::memcpy(&atFirst, text + start, 8);
        std::memcpy(&atLast, text + start + length - 1, 8);
        // A zero byte where both letters match; then the high bit of that byte in `places`.
        const uint64_t differ = ((atFirst | broadcast(firstBit)) ^ broadcast(first))
                                | ((atLast | broadcast(lastBit)) ^ broadcast(lastChar));
        uint64_t places = ~(((differ & kLow7) + kLow7) | differ | kLow7);
        while (places) {
            const size_t place = start + static_cast<size_t>(std::countr_zero(places) / 8);
            if (middleMatches(place))
                return true;
            places &= places - 1;
        }
    }
    for (; start < starts; ++start) {
        if ((text[start] | firstBit) == first && (text[start + length - 1] | lastBit) == lastChar
            && middleMatches(start))
            return true;
    }
    return false;
}

// True when a character of text outside ASCII has an ASCII lower case (KELVIN SIGN has "k"):
// only then can an all-ASCII needle match text that its bytes did not match.
bool hasCharacterFoldingIntoAscii(std::string_view text)
{
    const size_t size = text.size();
    size_t i = 0;
    for (;;) {
        while (i + 8 <= size && asciiWord(text.data() + i))
            i += 8;
        while (i < size && static_cast<unsigned char>(text[i]) < 0x80)
            ++i;
        if (i == size)
            return false;
        const char32_t cp = decodeUtf8(text, i);
        if (cp >= 0xDC80 && cp <= 0xDCFF)
            continue; // a byte that is not UTF-8 folds to itself
        if (lowerNonAscii(cp) < 0x80)
            return true;
    }
}

} // namespace

char32_t foldCodePoint(char32_t cp)
{
    if (cp < 0x80)
        return lowerAscii(static_cast<unsigned char>(cp));
    if (cp >= 0xDC80 && cp <= 0xDCFF)
        return cp;
    return lowerNonAscii(cp);
}

void foldCase(std::string_view text, std::u32string& out)
{
    // Never more code points than bytes: write into a buffer of that size, then cut it back.
    out.resize(text.size());
    char32_t* next = out.data();
    size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            *next++ = lowerAscii(b);
            ++i;
            continue;
        }
        const char32_t cp = decodeUtf8(text, i);
        if (cp >= 0xDC80 && cp <= 0xDCFF)
            *next++ = cp;
        else
            *next++ = lowerNonAscii(cp);
    }
    out.resize(static_cast<size_t>(next - out.data()));
}

CaseInsensitiveMatcher::CaseInsensitiveMatcher(std::string_view needle)
{
    foldCase(needle, needle_);
    isAsciiNeedle_ = isAscii(needle);
    if (isAsciiNeedle_)
        asciiNeedle_.assign(needle_.begin(), needle_.end());
    foldedNeedleHasNonAscii_ = std::any_of(needle_.begin(), needle_.end(), [](char32_t c) { return c >= 0x80; });
    if (!isAsciiNeedle_) {
        for (size_t start = 0; start < needle_.size();) {
            size_t end = start;
            while (end < needle_.size() && needle_[end] < 0x80)
                ++end;
            if (end - start > asciiPart_.size())
                asciiPart_.assign(needle_.begin() + static_cast<std::ptrdiff_t>(start),
                                  needle_.begin() + static_cast<std::ptrdiff_t>(end));
            start = end + 1;
        }
    }
}

// The needle is found when the folded haystack contains the folded needle. The shortcuts below
// give the same answer without folding the haystack whenever they can.
bool CaseInsensitiveMatcher::matches(std::string_view haystack) const
{
    if (needle_.empty())
        return true;
    if (isAsciiNeedle_) {
        if (asciiContainsIgnoringCase(haystack, asciiNeedle_))
            return true;
        if (!hasCharacterFoldingIntoAscii(haystack))
            return false;
    } else {
        if (foldedNeedleHasNonAscii_ && isAscii(haystack))
            return false; // an ASCII text folds to ASCII only
        // The ASCII part of the needle must stand in the haystack's bytes, unless some character
        // of the haystack folds into ASCII.
        if (!asciiPart_.empty() && !asciiContainsIgnoringCase(haystack, asciiPart_)
            && !hasCharacterFoldingIntoAscii(haystack))
            return false;
    }
    thread_local std::u32string folded;
    foldCase(haystack, folded);
    return folded.find(needle_) != std::u32string::npos;
}

} // namespace quillory
