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
// where they must is the place compared character by character. The two bytes are taken from the
// longest run of characters whose variants all have one length; the characters around the run
// (k, whose KELVIN SIGN takes three bytes; ß, whose capital takes three) are compared from the
// run's place, backwards and forwards, so they cost no pass of their own over the block. Where the
// run holds a byte of one value that is rare in any text (a lead byte of a letter outside ASCII),
// that byte is looked for alone with memchr, until it turns out frequent in the block.
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

        bool fits(uint8_t byte) const
        {
            if ((byte | orBits) == values[0])
                return true;
            for (int j = 1; j < count; ++j) {
                if (byte == values[static_cast<size_t>(j)])
                    return true;
            }
            return false;
        }
    };

    bool plan(std::string_view text);
    bool fastContains(std::string_view block) const;
    template <int N1, int N2>
    bool scan(const unsigned char* text, size_t size, size_t from) const;
    // Looks for the rare byte from from on; leaves from where the vector loop is to go on when
    // the byte turns out frequent.
    bool rareByteScan(const unsigned char* text, size_t size, size_t& from) const;
    bool verifyAt(const unsigned char* text, size_t size, size_t start) const;
    bool holdsOddVariant(std::string_view block) const;

    CaseInsensitiveMatcher slow_;
    std::u32string folded_;
    // The run the anchors are in: folded_[segmentBegin_, segmentEnd_), matchBytes_ long.
    size_t segmentBegin_ = 0, segmentEnd_ = 0;
    std::string asciiRun_; // the run's folded text as bytes, when it is all ASCII
    // The encodings of each character before the run, the nearest first.
    std::vector<std::vector<std::string>> before_;
    bool fast_ = false;
    size_t matchBytes_ = 0;
    size_t longestMatch_ = 0;
    Anchor first_, second_, third_;
    int rareByte_ = -1; // a byte of one value that is rare in any text, if the run has one
    size_t rareOffset_ = 0;
    std::vector<std::string> oddVariants_; // only when no character has variants of one length
};

} // namespace quillory
