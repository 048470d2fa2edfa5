#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quillory {

class DiskProbe;

// What stands at the place an index points at.
enum class Presence : uint8_t {
    Present, // the document or folder is there, or the index points at no place on disk
    Missing, // nothing is there, on a volume that is mounted
    Offline, // the place lies on a volume that is not mounted now: nothing can be said of it
};

// The place on disk an index's path names: "" for a web address or a blank path, a relative
// path inside root.
std::string placeOnDisk(std::string_view path, std::string_view root);

// Whether something is at place (a full path; "" is never looked at and counts as there).
Presence presenceOf(const DiskProbe& disk, const std::string& place);

} // namespace quillory
