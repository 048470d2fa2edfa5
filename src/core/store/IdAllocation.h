#pragma once

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "core/store/OrderedMap.h"

namespace quillory {

// The number of an id made of prefix and a decimal number without leading zeros, or 0.
inline size_t idNumber(std::string_view id, std::string_view prefix)
{
    if (id.size() <= prefix.size() || !std::equal(prefix.begin(), prefix.end(), id.begin()))
        return 0;
    const std::string_view digits = id.substr(prefix.size());
    if (digits.front() == '0')
        return 0;
    size_t number = 0;
    if (digits.size() > 19) { // may not fit: let from_chars tell
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        return (error == std::errc() && end == digits.data() + digits.size()) ? number : 0;
    }
    // Up to 19 digits always fit. This runs once per key when a new id is chosen, so it is
    // written out rather than left to from_chars.
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return 0;
        number = number * 10 + static_cast<size_t>(c - '0');
    }
    return number;
}

// prefix and the smallest k from 1 for which that is not a key of map, found in one pass over
// the keys rather than one lookup per candidate.
template <class T>
std::string smallestFreeId(const OrderedMap<T>& map, const std::string& prefix)
{
    const size_t limit = static_cast<size_t>(map.getCount()) + 2;
    std::vector<unsigned char> used(limit + 1, 0); // bytes, not bits: cheaper to set and to scan
    map.forEach([&](const std::string& key, const auto&) {
        const size_t n = idNumber(key, prefix);
        if (n > 0 && n <= limit)
            used[n] = 1;
    });
    const auto firstFree = std::find(used.begin() + 1, used.end(), 0);
    return prefix + std::to_string(static_cast<size_t>(firstFree - used.begin()));
}

} // namespace quillory
