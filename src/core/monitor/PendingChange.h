#pragma once

#include <string>
#include <string_view>

namespace quillory {

// One line of a catalog's pending-changes file: an index whose document was renamed, moved or
// deleted on disk while the catalog was open, waiting to be applied.
//
//   <index id>|<old path>|<new path>        (the new path is empty for a deletion)
//
// Each field is written with the catalog files' escapes, so a "|" or a line end in a file name
// can neither add a field nor cut the line; a line holding no escape reads as it always did.
struct PendingChange {
    std::string indexId;
    std::string oldPath;
    std::string newPath;
    bool operator==(const PendingChange&) const = default;
};

std::string formatPendingChange(const PendingChange& change);

// The id is the text before the first "|", the old path the text up to the second, the new path
// the text after the last. A line with fewer than two separators leaves the missing fields
// empty and returns false; the change is still filled as far as it goes.
bool parsePendingChange(std::string_view line, PendingChange& change);

} // namespace quillory
