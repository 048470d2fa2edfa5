#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quillory {

// Texts are shown at most this long: laying out a name of many megabytes to fit it into a row
// would freeze the window, and nobody reads that far.
inline constexpr size_t kMaxShownBytes = 2000;

// The folder tree shows folders down to this depth. Deeper chains (found in damaged or hostile
// catalogs) overflow the stack of the tree's own layout when expanded.
inline constexpr int kMaxShownDepth = 1000;

// text as the window shows it: one longer than maxBytes is cut at a character boundary and ends
// in "…". The stored value is never changed.
std::string shownText(std::string_view text, size_t maxBytes = kMaxShownBytes);

// A configured text with its places %1 to %9 filled by values[0] to values[8]. A place without a
// value, and a value without a place, are left out; "%%" is a percent sign.
std::string withValues(std::string_view text, const std::vector<std::string>& values);

} // namespace quillory
