#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "store/MyMap.h"

namespace quillory {

// The number of an id made of prefix and a decimal number without leading zeros, or 0.
inline size_t idNumber(std::string_view id, std::string_view prefix)
{
    if (id.size() <= prefix.size() || id.substr(0, prefix.size()) != prefix)
        return 0;
    const std::string_view digits = id.substr(prefix.size());
    if (digits.front() == '0')
        return 0;
    size_t number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    return (error == std::errc() && end == digits.data() + digits.size()) ? number : 0;
}

// prefix and the smallest k from 1 for which that is not a key of map, found in one pass over
// the keys rather than one lookup per candidate.
template <class T>
std::string smallestFreeId(const MyMap<T>& map, const std::string& prefix)
{
    const size_t limit = static_cast<size_t>(map.getCount()) + 2;
    std::vector<bool> used(limit + 1, false);
    map.forEach([&](const std::string& key, const auto&) {
        const size_t n = idNumber(key, prefix);
        if (n > 0 && n <= limit)
            used[n] = true;
    });
    for (size_t k = 1; k <= limit; ++k) {
        if (!used[k])
            return prefix + std::to_string(k);
    }
    return prefix + std::to_string(limit + 1);
}

} // namespace quillory
