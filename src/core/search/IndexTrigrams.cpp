// The trigram regions of an index segment (see SearchIndex.cpp for the
// segment's layout): the sorted trigrams of the entries' upper-cased names,
// where each one's list begins, and the lists of blocks holding them.
#include "core/search/IndexTrigrams.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

#include "core/search/IndexBytes.h"
#include "core/search/SearchIndex.h"

namespace orbisk {

namespace {

using namespace index_bytes;

// A trigram held by more than half of an archive's blocks (and by more than
// a few) filters nothing worth its list: it is kept without one.
bool EveryBlock(std::size_t holders, std::size_t blocks) {
    return holders > 8 && holders * 2 > blocks;
}

unsigned char UpperByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'a' && byte <= 'z' ? static_cast<unsigned char>(byte - 32) : byte;
}

// UpperByte of every byte value, for the loops that run once per byte of
// every name.
struct TUpperTable {
    std::uint32_t Of[256];
    TUpperTable() {
        for (int b = 0; b < 256; ++b)
            Of[b] = UpperByte(static_cast<char>(b));
    }
};
const TUpperTable kUpper;

// A buffer kept per thread and grown, never cleared: indexing archive after
// archive neither allocates nor fills memory again.
template <typename T>
struct TKeptBuffer {
    std::unique_ptr<T[]> Data;
    std::size_t Capacity = 0;
    T* Reserve(std::size_t count) {
        if (count > Capacity) {
            Capacity = std::max(count, 2 * Capacity);
            Data.reset(new T[Capacity]);
        }
        return Data.get();
    }
};

// How many bytes a and b have alike from their start (Prefix) or from their
// end (Suffix), looking at most at the first or last `most`: eight at a
// time, the differing byte found from the bits that differ.
std::size_t CommonPrefix(const char* a, const char* b, std::size_t most) {
    std::size_t k = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; k + 8 <= most; k += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, a + k, 8);
            std::memcpy(&y, b + k, 8);
            if (x != y) return k + static_cast<std::size_t>(std::countr_zero(x ^ y)) / 8;
        }
    }
    while (k < most && a[k] == b[k])
        ++k;
    return k;
}

// aEnd and bEnd point just past the bytes compared.
std::size_t CommonSuffix(const char* aEnd, const char* bEnd, std::size_t most) {
    std::size_t k = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; k + 8 <= most; k += 8) {
            std::uint64_t x, y;
            std::memcpy(&x, aEnd - k - 8, 8);
            std::memcpy(&y, bEnd - k - 8, 8);
            if (x != y) return k + static_cast<std::size_t>(std::countl_zero(x ^ y)) / 8;
        }
    }
    while (k < most &&
           aEnd[-1 - static_cast<std::ptrdiff_t>(k)] == bEnd[-1 - static_cast<std::ptrdiff_t>(k)])
        ++k;
    return k;
}

// The (trigram << 32 | block) pairs of names in block order into pairs
// (room for one per byte of the names); returns how many. Neighbouring names
// share most of their trigrams at the same place from their start or from
// their end (a common beginning, an extension), so only the trigrams of a
// name between what it shares with the name before in the same block are
// written; the repeats this misses are dropped after sorting.
std::size_t TrigramPairs(const std::vector<std::string_view>& names, std::uint64_t* pairs,
                         TTrigramDigits& digits) {
    const std::uint32_t* const upper = kUpper.Of;
    std::size_t count = 0;
    std::string_view previous;
    for (std::uint32_t e = 0; e < names.size(); ++e) {
        const std::string_view name = names[e];
        const std::uint64_t block = e / kIndexBlockEntries;
        // The bytes name shares with the name before from the start (head)
        // and from the end (tail).
        std::size_t head = 0, tail = 0;
        if (e % kIndexBlockEntries != 0) {
            const std::size_t most = std::min(name.size(), previous.size());
            head = CommonPrefix(name.data(), previous.data(), most);
            tail = CommonSuffix(name.data() + name.size(), previous.data() + previous.size(), most);
        }
        previous = name;
        // Trigram k - 2 ends at byte k: shared when it lies within the head
        // (k < head) or within the tail (k - 2 >= size - tail).
        const std::size_t first = std::max<std::size_t>(2, head);
        const std::size_t last = std::min(name.size(), name.size() - tail + 2);
        if (first >= last) continue;
        const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
        std::uint32_t t = upper[bytes[first - 2]] << 8 | upper[bytes[first - 1]] << 16;
        for (std::size_t k = first; k < last; ++k) {
            t = t >> 8 | upper[bytes[k]] << 16;
            pairs[count++] = std::uint64_t{t} << 32 | block;
            digits.Add(t);
        }
    }
    return count;
}

// The end of the run of pairs sorted by trigram that begins at k: the first
// place after k with another trigram, or count. Steps double until one
// passes the run, then the gap is halved.
std::size_t RunEnd(const std::uint64_t* pairs, std::size_t k, std::size_t count) {
    const std::uint64_t trigram = pairs[k] >> 32;
    std::size_t low = k + 1, step = 1, high = count;
    for (;;) {
        const std::size_t probe = low + step - 1;
        if (probe >= count || pairs[probe] >> 32 != trigram) {
            high = std::min(probe, count);
            break;
        }
        low = probe + 1;
        step *= 2;
    }
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (pairs[mid] >> 32 == trigram)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

} // namespace

// The trigram regions of a segment from the names of its entries.
TTrigramRegions TrigramRegions(const std::vector<std::string_view>& names) {
    thread_local TKeptBuffer<std::uint64_t> pairBuffer, scratchBuffer;
    thread_local TKeptBuffer<char> keyBuffer, offsetBuffer, postingBuffer;
    std::size_t bytes = 0;
    for (const std::string_view name : names)
        bytes += name.size();
    std::uint64_t* const pairs = pairBuffer.Reserve(bytes);
    TTrigramDigits digits;
    const std::size_t count = TrigramPairs(names, pairs, digits);
    SortByTrigram(pairs, scratchBuffer.Reserve(bytes), count, digits);
    const std::size_t blocks = (names.size() + kIndexBlockEntries - 1) / kIndexBlockEntries;
    // Written through pointers into room for the most each region can take
    // (a posting takes at most five bytes).
    char* const keysStart = keyBuffer.Reserve(4 * count);
    char* const offsetsStart = offsetBuffer.Reserve(4 * count + 4);
    auto* const postingsStart =
        reinterpret_cast<unsigned char*>(postingBuffer.Reserve(5 * count + 1));
    char* key = keysStart;
    char* offset = offsetsStart;
    unsigned char* post = postingsStart;
    auto putOffset = [&] {
        const auto at = static_cast<std::uint32_t>(post - postingsStart);
        std::memcpy(offset, &at, 4);
        offset += 4;
    };
    std::size_t k = 0;
    while (k < count) {
        const auto trigram = static_cast<std::uint32_t>(pairs[k] >> 32);
        std::memcpy(key, &trigram, 4);
        key += 4;
        putOffset();
        // The trigram's pairs, found by galloping: most pairs belong to the
        // long runs of trigrams that get no list. The blocks they name are
        // counted only when there are enough pairs for most blocks (a block
        // is named twice where the sharing missed a repeat).
        const std::size_t end = RunEnd(pairs, k, count);
        std::size_t holders = end - k;
        if (EveryBlock(holders, blocks))
            for (std::size_t j = k + 1; j < end; ++j)
                holders -= pairs[j] == pairs[j - 1];
        if (!EveryBlock(holders, blocks)) {
            std::uint32_t previous = 0;
            for (std::size_t j = k; j < end; ++j) {
                const auto block = static_cast<std::uint32_t>(pairs[j]);
                if (j > k && block == previous) continue; // a repeat the pairs kept
                post = PutVarint(post, j == k ? block : block - previous);
                previous = block;
            }
        }
        k = end;
    }
    putOffset();
    auto view = [](const void* start, const void* end) {
        const auto* const first = static_cast<const char*>(start);
        return std::string_view(first,
                                static_cast<std::size_t>(static_cast<const char*>(end) - first));
    };
    return {view(keysStart, key), view(offsetsStart, offset), view(postingsStart, post)};
}

void AppendTrigrams(std::string_view text, std::vector<std::uint32_t>& out) {
    for (std::size_t k = 0; k + 3 <= text.size(); ++k)
        out.push_back(UpperByte(text[k]) | static_cast<std::uint32_t>(UpperByte(text[k + 1])) << 8 |
                      static_cast<std::uint32_t>(UpperByte(text[k + 2])) << 16);
}

} // namespace orbisk
