#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quillory {

// How often c occurs in text, sixteen bytes at a time where the processor can. Loading a catalog
// asks this of every file once, to know whether its lines need looking at closely at all.
inline size_t countByte(std::string_view text, char c)
{
    size_t count = 0;
    size_t i = 0;
#if defined(__SSE2__)
    // Each byte lane counts its hits (a match compares to -1, so subtracting adds one), for at
    // most 255 rounds before the lanes are summed into the total.
    const __m128i wanted = _mm_set1_epi8(c);
    const __m128i zero = _mm_setzero_si128();
    __m128i total = zero;
    while (i + 16 <= text.size()) {
        const size_t rounds = std::min<size_t>((text.size() - i) / 16, 255);
        __m128i lanes = zero;
        for (size_t r = 0; r < rounds; ++r, i += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(chunk, wanted));
        }
        total = _mm_add_epi64(total, _mm_sad_epu8(lanes, zero));
    }
    count = static_cast<size_t>(_mm_cvtsi128_si64(total))
            + static_cast<size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(total, total)));
#endif
    for (; i < text.size(); ++i)
        count += text[i] == c;
    return count;
}

} // namespace quillory
