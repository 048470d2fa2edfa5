#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/store/FileIo.h"

namespace quillory {

// How much of a document's beginning and of its end its fingerprint reads.
inline constexpr size_t kFingerprintSpan = 64 * 1024;

// What tells a document's content from another's without reading all of it: its size and a hash
// of its first and last 64 KB (of the whole document when it is smaller than twice that). Two
// documents with the same fingerprint are taken for the same document, wherever they lie.
struct Fingerprint {
    uint64_t size = 0;
    uint64_t hash = 0;
    bool operator==(const Fingerprint&) const = default;
};

// The fingerprint of the plain file at path (a link followed); std::nullopt when there is none or
// it cannot be read whole where it is read.
std::optional<Fingerprint> fingerprintOf(FileIo& io, const std::string& path);

// A 64-bit hash of text (the same one the fingerprint uses), for names made from a path.
uint64_t hashOfText(std::string_view text);

} // namespace quillory
