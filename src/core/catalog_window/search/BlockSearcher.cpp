#include "core/catalog_window/search/BlockSearcher.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <set>
#include <unordered_map>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/store/TextConvert.h"

namespace quillory {
namespace {

constexpr char32_t kInvalidFirst = 0xDC80, kInvalidLast = 0xDCFF;

std::string utf8(char32_t cp)
{
    std::string out;
    appendUtf8(out, cp);
    return out;
}

// Every code point whose fold is another one, by that fold: the variants of a folded character
// besides itself. Letters with case live below U+20000.
const std::unordered_map<char32_t, std::vector<char32_t>>& caseVariants()
{
    static const auto variants = [] {
        std::unordered_map<char32_t, std::vector<char32_t>> map;
        for (char32_t cp = 0; cp < 0x20000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue;
            if (const char32_t folded = foldCodePoint(cp); folded != cp)
                map[folded].push_back(cp);
        }
        return map;
    }();
    return variants;
}

// How often a byte turns up in ordinary text, roughly (higher: more often). Anchoring the search
// on the rarest bytes of a match keeps the places to compare few.
int frequency(uint8_t byte)
{
    static const auto table = [] {
        std::array<int, 256> f{};
        for (int b = 0; b < 256; ++b) {
            if (b < 0x20)
                f[b] = 10;
            else if (b < 0x80)
                f[b] = 120; // punctuation
            else if (b < 0xC0)
                f[b] = 140; // continuation bytes
            else if (b < 0xC2 || b > 0xF4)
                f[b] = 5;
            else if (b < 0xE0)
                f[b] = 100;
            else if (b < 0xF0)
                f[b] = 120;
            else
                f[b] = 60;
        }
        f['\n'] = 180;
        f['\r'] = 170;
        f[' '] = 255;
        for (int d = '0'; d <= '9'; ++d)
            f[d] = 160;
        f[','] = f['.'] = 185;
        f[0xC3] = f[0xD0] = f[0xD1] = 150;
        const char* letters = "etaoinshrdlucmfwgypbvkxjqz"; // most frequent first
        for (int i = 0; letters[i]; ++i) {
            const int lower = 250 - i * 5;
            f[static_cast<uint8_t>(letters[i])] = lower;
            f[static_cast<uint8_t>(letters[i] - 32)] = lower - 70;
        }
        return f;
    }();
    return table[byte];
}

bool hasHighByte(std::string_view text)
{
    size_t i = 0;
#if defined(__SSE2__)
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (; i + 64 <= text.size(); i += 64) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 32));
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 48));
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0)
            return true;
    }
#endif
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80)
            return true;
    }
    return false;
}

// Whether text holds the bytes of what (two or more), exactly: its first and last bytes are
// looked for sixteen places at a time.
bool containsBytes(std::string_view text, std::string_view what)
{
    const size_t length = what.size();
    if (text.size() < length)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t starts = text.size() - length + 1;
    size_t start = 0;
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi8(what.front());
    const __m128i last = _mm_set1_epi8(what.back());
    for (; start + 16 <= starts; start += 16) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + start));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + start + length - 1));
        auto places = static_cast<uint32_t>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
        while (places) {
            const size_t at = start + static_cast<size_t>(std::countr_zero(places));
            if (std::memcmp(p + at, what.data(), length) == 0)
                return true;
            places &= places - 1;
        }
    }
#endif
    for (; start < starts; ++start) {
        if (std::memcmp(p + start, what.data(), length) == 0)
            return true;
    }
    return false;
}

unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

} // namespace

BlockSearcher::BlockSearcher(std::string_view text) : slow_(text)
{
    fast_ = plan(text);
}

bool BlockSearcher::plan(std::string_view text)
{
    // The typed text itself, whatever its form, bounds a match of the slow way.
    size_t codePoints = 0;
    for (size_t i = 0; i < text.size(); ++codePoints) {
        const char32_t cp = decodeUtf8(text, i);
        if (cp >= kInvalidFirst && cp <= kInvalidLast) {
            longestMatch_ = text.size() * 4;
            return false; // a text that is not UTF-8: compared the slow way
        }
        folded_ += foldCodePoint(cp);
    }
    longestMatch_ = std::max(text.size(), codePoints * 4);
    if (folded_.empty())
        return false;

    // Each character's encodings: its own and its variants'. A character whose encodings all
    // have one length is "fixed".
    const auto& variants = caseVariants();
    std::vector<std::vector<std::string>> encodings;
    std::vector<bool> fixed;
    size_t longest = 0;
    for (const char32_t c : folded_) {
        if (foldCodePoint(c) != c)
            return false;
        std::vector<std::string> all{utf8(c)};
        if (const auto found = variants.find(c); found != variants.end()) {
            for (const char32_t v : found->second)
                all.push_back(utf8(v));
        }
        size_t widest = 0;
        bool same = true;
        for (const std::string& e : all) {
            widest = std::max(widest, e.size());
            same &= e.size() == all.front().size();
        }
        longest += widest;
        encodings.push_back(std::move(all));
        fixed.push_back(same);
    }
    longestMatch_ = std::max(longestMatch_, longest);

    // The anchors are looked for in the longest run of fixed characters, where every byte of a
    // match has a known place; the characters before it are compared backwards from there, those
    // after it forwards, whatever their lengths. So a variant of another length (KELVIN SIGN for
    // k, capital sharp s) costs nothing until the anchors find a place. A text of no fixed
    // character at all is anchored on its own encoding, and a block holding a variant of another
    // length is folded after all.
    size_t bestBegin = 0, bestEnd = 0, bestBytes = 0;
    for (size_t begin = 0; begin < folded_.size();) {
        if (!fixed[begin]) {
            ++begin;
            continue;
        }
        size_t end = begin, runBytes = 0;
        for (; end < folded_.size() && fixed[end]; ++end)
            runBytes += encodings[end].front().size();
        if (runBytes > bestBytes) {
            bestBegin = begin;
            bestEnd = end;
            bestBytes = runBytes;
        }
        begin = end;
    }
    if (bestBytes == 0) {
        bestBegin = 0;
        bestEnd = folded_.size();
        for (const auto& all : encodings) {
            for (const std::string& e : all) {
                if (e.size() != all.front().size())
                    oddVariants_.push_back(e);
            }
        }
    }
    segmentBegin_ = bestBegin;
    segmentEnd_ = bestEnd;
    for (size_t i = bestBegin; i-- > 0;)
        before_.push_back(encodings[i]);

    // The values each byte of the run may take.
    std::vector<std::set<uint8_t>> bytes;
    for (size_t i = bestBegin; i < bestEnd; ++i) {
        const size_t at = bytes.size(), length = encodings[i].front().size();
        bytes.resize(at + length);
        for (const std::string& e : encodings[i]) {
            if (e.size() != length)
                continue;
            for (size_t k = 0; k < length; ++k)
                bytes[at + k].insert(static_cast<uint8_t>(e[k]));
        }
    }
    matchBytes_ = bytes.size();
    longestMatch_ = std::max(longestMatch_, matchBytes_);
    if (std::all_of(folded_.begin() + static_cast<std::ptrdiff_t>(bestBegin),
                    folded_.begin() + static_cast<std::ptrdiff_t>(bestEnd), [](char32_t c) { return c < 0x80; }))
        asciiRun_.assign(folded_.begin() + static_cast<std::ptrdiff_t>(bestBegin),
                         folded_.begin() + static_cast<std::ptrdiff_t>(bestEnd));

    // The two rarest bytes become the anchors.
    struct Candidate {
        int score;
        Anchor anchor;
    };
    std::vector<Candidate> candidates;
    for (size_t k = 0; k < bytes.size(); ++k) {
        const auto& values = bytes[k];
        if (values.size() > 4)
            continue;
        Anchor anchor;
        anchor.offset = k;
        int score = 0;
        for (const uint8_t v : values)
            score += frequency(v);
        const uint8_t low = *values.rbegin();
        if (values.size() == 2 && low >= 'a' && low <= 'z' && values.count(static_cast<uint8_t>(low - 32))) {
            anchor.orBits = 0x20;
            anchor.values.fill(low);
            anchor.count = 1;
        } else {
            int n = 0;
            for (const uint8_t v : values)
                anchor.values[static_cast<size_t>(n++)] = v;
            for (int j = n; j < 4; ++j)
                anchor.values[static_cast<size_t>(j)] = anchor.values[0];
            anchor.count = n;
        }
        candidates.push_back({score, anchor});
    }
    if (candidates.empty())
        return false;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    // A byte of one value that is seldom in text at all (one of a letter outside ASCII, most
    // often) is looked for alone, by the C library's search for a byte, which reads a block many
    // times faster than the loop over the anchors: in most text it is not there.
    for (const Candidate& candidate : candidates) {
        if (candidate.anchor.count == 1 && candidate.anchor.orBits == 0 && candidate.score <= 150) {
            rareOffset_ = candidate.anchor.offset;
            rareByte_ = candidate.anchor.values[0];
            break;
        }
    }
    first_ = candidates[0].anchor;
    second_ = candidates.size() > 1 ? candidates[1].anchor : first_;
    // A third byte, of one value (in either case), thins out the places to compare when the
    // match is made of common letters.
    third_.orBits = 0xFF; // until one is found: any byte
    third_.values.fill(0xFF);
    for (size_t i = 2; i < candidates.size(); ++i) {
        if (candidates[i].anchor.count == 1) {
            third_ = candidates[i].anchor;
            break;
        }
    }
    return true;
}

bool BlockSearcher::contains(std::string_view block) const
{
    if (!fast_)
        return slow_.matches(block);
    if (fastContains(block))
        return true;
    // A variant of another length fits no anchor: a block holding one is folded after all.
    return !oddVariants_.empty() && holdsOddVariant(block) && slow_.matches(block);
}

bool BlockSearcher::holdsOddVariant(std::string_view block) const
{
    if (!hasHighByte(block))
        return false;
    for (const std::string& odd : oddVariants_) {
        if (containsBytes(block, odd))
            return true;
    }
    return false;
}

bool BlockSearcher::verifyAt(const unsigned char* text, size_t size, size_t start) const
{
    // The run of fixed characters, at start.
    size_t at = start;
    const std::string_view rest(reinterpret_cast<const char*>(text), size);
    if (!asciiRun_.empty()) {
        if (start + asciiRun_.size() > size)
            return false;
        for (size_t k = 0; k < asciiRun_.size(); ++k) {
            if (lowerAscii(text[start + k]) != static_cast<unsigned char>(asciiRun_[k]))
                return false;
        }
        at += asciiRun_.size();
    } else {
        for (size_t i = segmentBegin_; i < segmentEnd_; ++i) {
            if (at >= size || foldCodePoint(decodeUtf8(rest, at)) != folded_[i])
                return false;
        }
    }
    // The characters before it, backwards: UTF-8 is never the end of another character's
    // encoding, so at most one encoding fits, and a text decoded from the start sees it as well.
    size_t begin = start;
    for (const auto& all : before_) {
        const auto fits = std::find_if(all.begin(), all.end(), [&](const std::string& e) {
            return e.size() <= begin && std::memcmp(text + begin - e.size(), e.data(), e.size()) == 0;
        });
        if (fits == all.end())
            return false;
        begin -= fits->size();
    }
    // The characters after it, forwards.
    for (size_t i = segmentEnd_; i < folded_.size(); ++i) {
        if (at >= size || foldCodePoint(decodeUtf8(rest, at)) != folded_[i])
            return false;
    }
    return true;
}

#if defined(__SSE2__)
namespace {

template <int N>
inline __m128i anyOf(__m128i block, __m128i orBits, const __m128i* values)
{
    __m128i m = _mm_cmpeq_epi8(_mm_or_si128(block, orBits), values[0]);
    if constexpr (N > 1)
        m = _mm_or_si128(m, _mm_cmpeq_epi8(block, values[1]));
    if constexpr (N > 2)
        m = _mm_or_si128(m, _mm_cmpeq_epi8(block, values[2]));
    if constexpr (N > 3)
        m = _mm_or_si128(m, _mm_cmpeq_epi8(block, values[3]));
    return m;
}

} // namespace
#endif

template <int N1, int N2>
bool BlockSearcher::scan(const unsigned char* text, size_t size, size_t start) const
{
    const size_t starts = size - matchBytes_ + 1;
#if defined(__SSE2__)
    const __m128i or1 = _mm_set1_epi8(static_cast<char>(first_.orBits));
    const __m128i or2 = _mm_set1_epi8(static_cast<char>(second_.orBits));
    __m128i values1[4], values2[4];
    for (int j = 0; j < 4; ++j) {
        values1[j] = _mm_set1_epi8(static_cast<char>(first_.values[static_cast<size_t>(j)]));
        values2[j] = _mm_set1_epi8(static_cast<char>(second_.values[static_cast<size_t>(j)]));
    }
    const __m128i or3 = _mm_set1_epi8(static_cast<char>(third_.orBits));
    const __m128i value3 = _mm_set1_epi8(static_cast<char>(third_.values[0]));
    const unsigned char* at1 = text + first_.offset;
    const unsigned char* at2 = text + second_.offset;
    const unsigned char* at3 = text + third_.offset;
    // Thirty-two places per round: both anchors must stand where they must.
    for (; start + 32 <= starts; start += 32) {
        const __m128i a0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at1 + start));
        const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at2 + start));
        const __m128i a1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at1 + start + 16));
        const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at2 + start + 16));
        const __m128i c0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at3 + start));
        const __m128i c1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at3 + start + 16));
        const __m128i m0 = _mm_and_si128(_mm_and_si128(anyOf<N1>(a0, or1, values1), anyOf<N2>(b0, or2, values2)),
                                         _mm_cmpeq_epi8(_mm_or_si128(c0, or3), value3));
        const __m128i m1 = _mm_and_si128(_mm_and_si128(anyOf<N1>(a1, or1, values1), anyOf<N2>(b1, or2, values2)),
                                         _mm_cmpeq_epi8(_mm_or_si128(c1, or3), value3));
        auto places = static_cast<uint32_t>(_mm_movemask_epi8(m0))
                      | (static_cast<uint32_t>(_mm_movemask_epi8(m1)) << 16);
        while (places) {
            if (verifyAt(text, size, start + static_cast<size_t>(std::countr_zero(places))))
                return true;
            places &= places - 1;
        }
    }
#endif
    for (; start < starts; ++start) {
        if (first_.fits(text[start + first_.offset]) && second_.fits(text[start + second_.offset])
            && verifyAt(text, size, start))
            return true;
    }
    return false;
}

bool BlockSearcher::rareByteScan(const unsigned char* text, size_t size, size_t& from) const
{
    const size_t starts = size - matchBytes_ + 1;
    const unsigned char* const column = text + rareOffset_;
    size_t places = 0;
    while (from < starts) {
        const void* hit = std::memchr(column + from, rareByte_, starts - from);
        if (!hit) {
            from = starts;
            return false;
        }
        const auto start = static_cast<size_t>(static_cast<const unsigned char*>(hit) - column);
        if (first_.fits(text[start + first_.offset]) && second_.fits(text[start + second_.offset])
            && verifyAt(text, size, start))
            return true;
        from = start + 1;
        // The byte is not rare in this text after all (German, for a lead byte of its umlauts):
        // the vector loop, which costs the same however many places there are, takes over.
        if (++places * 256 > from + 4096)
            return false;
    }
    return false;
}

bool BlockSearcher::fastContains(std::string_view block) const
{
    if (block.size() < matchBytes_)
        return false;
    const auto* text = reinterpret_cast<const unsigned char*>(block.data());
    const size_t size = block.size();
    // One scan per pair of value counts, so that the loop holds no branch on them.
    using Scan = bool (BlockSearcher::*)(const unsigned char*, size_t, size_t) const;
    static constexpr Scan scans[4][4] = {
        {&BlockSearcher::scan<1, 1>, &BlockSearcher::scan<1, 2>, &BlockSearcher::scan<1, 3>,
         &BlockSearcher::scan<1, 4>},
        {&BlockSearcher::scan<2, 1>, &BlockSearcher::scan<2, 2>, &BlockSearcher::scan<2, 3>,
         &BlockSearcher::scan<2, 4>},
        {&BlockSearcher::scan<3, 1>, &BlockSearcher::scan<3, 2>, &BlockSearcher::scan<3, 3>,
         &BlockSearcher::scan<3, 4>},
        {&BlockSearcher::scan<4, 1>, &BlockSearcher::scan<4, 2>, &BlockSearcher::scan<4, 3>,
         &BlockSearcher::scan<4, 4>},
    };
    size_t from = 0;
    if (rareByte_ >= 0 && rareByteScan(text, size, from))
        return true;
    return from < size - matchBytes_ + 1 && (this->*scans[first_.count - 1][second_.count - 1])(text, size, from);
}

} // namespace quillory
