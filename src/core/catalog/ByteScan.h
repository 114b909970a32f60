#pragma once
// Byte searches for the hot loops of the readers: lines of a catalogue are
// short, so scanning whole blocks for the bytes that split them beats a
// library call per field.
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace orbisk {

// How many bytes of [p, end) equal c.
inline std::size_t CountByte(const char* p, const char* end, char c) {
    std::size_t n = 0;
#if defined(__SSE2__)
    const __m128i vc = _mm_set1_epi8(c);
    while (end - p >= 16) {
        // Each match subtracts -1 from its byte lane; lanes are summed before
        // they can overflow.
        __m128i acc = _mm_setzero_si128();
        for (int i = 0; i < 255 && end - p >= 16; ++i, p += 16) {
            __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            acc = _mm_sub_epi8(acc, _mm_cmpeq_epi8(chunk, vc));
        }
        __m128i sums = _mm_sad_epu8(acc, _mm_setzero_si128());
        n += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
             static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
    }
#endif
    for (; p < end; ++p)
        n += *p == c;
    return n;
}

// Yields, in order, every position in a text that holds one of two bytes.
// The text is examined 64 bytes at a time into a bit mask, so a reader that
// splits short lines into fields pays one mask test per field, not one search.
class DelimiterScanner {
public:
    DelimiterScanner(const char* begin, const char* end, char a, char b)
        : block_(begin), end_(end), a_(a), b_(b) {
        mask_ = MaskAt(block_);
    }
    // The next delimiter at or after the last one returned, or end.
    const char* Next() {
        while (mask_ == 0) {
            block_ += 64;
            if (block_ >= end_) return end_;
            mask_ = MaskAt(block_);
        }
        const char* at = block_ + __builtin_ctzll(mask_);
        mask_ &= mask_ - 1;
        return at;
    }

private:
    std::uint64_t MaskAt(const char* p) const {
        std::uint64_t mask = 0;
#if defined(__SSE2__)
        if (end_ - p >= 64) {
            const __m128i va = _mm_set1_epi8(a_);
            const __m128i vb = _mm_set1_epi8(b_);
            for (int i = 0; i < 4; ++i) {
                __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
                unsigned bits = static_cast<unsigned>(_mm_movemask_epi8(
                    _mm_or_si128(_mm_cmpeq_epi8(chunk, va), _mm_cmpeq_epi8(chunk, vb))));
                mask |= static_cast<std::uint64_t>(bits) << (16 * i);
            }
            return mask;
        }
#endif
        std::ptrdiff_t n = end_ - p < 64 ? end_ - p : 64;
        for (std::ptrdiff_t i = 0; i < n; ++i)
            if (p[i] == a_ || p[i] == b_) mask |= std::uint64_t{1} << i;
        return mask;
    }

    const char* block_;
    const char* end_;
    char a_, b_;
    std::uint64_t mask_;
};

} // namespace orbisk
