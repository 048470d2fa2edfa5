#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/TextMatch.h"

namespace quillory {

// Finds a text in blocks of a document, ignoring letter case the way the index searches do (the
// folded block contains the folded text), without making a folded copy of the block.
//
// Nearly every character has case variants of one UTF-8 length (e and E, é and É), so a match
// takes a known number of bytes and each of its bytes is one of a few values. Two of its bytes,
// the rarest in ordinary text, are looked for sixteen places at a time; only where both stand
// where they must is the place compared character by character. The few variants of another
// length (KELVIN SIGN for k) are looked for separately: a block holding one is searched the slow
// way, by folding it.
class BlockSearcher {
public:
    explicit BlockSearcher(std::string_view text);

    bool contains(std::string_view block) const;
    // The most bytes one match can take: a match that spans two blocks is found when they
    // overlap by one byte less.
    size_t longestMatch() const { return longestMatch_; }

private:
    // A byte of the match and the values it may take. The first value is compared after OR-ing
    // orBits into the block's byte (0x20 catches both cases of an ASCII letter at once).
    struct Anchor {
        size_t offset = 0;
        uint8_t orBits = 0;
        std::array<uint8_t, 4> values{};
        int count = 1;
    };

    bool plan(std::string_view text);
    bool fastContains(std::string_view block) const;
    template <int N1, int N2>
    bool scan(const unsigned char* text, size_t size) const;
    bool verifyAt(const unsigned char* text, size_t size, size_t start) const;
    bool holdsOddVariant(std::string_view block) const;

    CaseInsensitiveMatcher slow_;
    std::u32string folded_;
    std::string asciiFolded_; // the folded text as bytes, when it is all ASCII
    bool fast_ = false;
    size_t matchBytes_ = 0;
    size_t longestMatch_ = 0;
    Anchor first_, second_, third_;
    std::vector<std::string> oddVariants_;
};

} // namespace quillory
