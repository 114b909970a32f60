#pragma once
// Byte helpers of the search index files: fixed-width numbers in the
// machine's byte order (the files carry a byte-order mark), LEB128 numbers,
// length-prefixed texts and the checksum of the checked parts.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

namespace orbisk::index_bytes {

template <typename T>
void Put(std::string& out, T value) {
    char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.append(bytes, sizeof(T));
}

template <typename T>
void PutAt(std::string& out, std::size_t at, T value) {
    std::memcpy(out.data() + at, &value, sizeof(T));
}

// The value at `at`; the caller has checked that it lies within bytes.
template <typename T>
T Get(std::string_view bytes, std::size_t at) {
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof(T));
    return value;
}

// Writes value as LEB128 at at (room for five bytes); returns the byte
// after it.
template <typename TByte>
TByte* PutVarint(TByte* at, std::uint32_t value) {
    for (; value >= 0x80; value >>= 7)
        *at++ = static_cast<TByte>((value & 0x7F) | 0x80);
    *at++ = static_cast<TByte>(value);
    return at;
}

inline void PutVarint(std::string& out, std::uint32_t value) {
    char bytes[5];
    out.append(bytes, static_cast<std::size_t>(PutVarint(bytes, value) - bytes));
}

// Reads a LEB128 number at pos of bytes; false when it runs off the end or
// beyond 32 bits.
inline bool GetVarint(std::string_view bytes, std::size_t& pos, std::uint32_t& value) {
    value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (pos >= bytes.size()) return false;
        const auto byte = static_cast<unsigned char>(bytes[pos++]);
        if (shift == 28 && byte > 0x0F) return false;
        value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;
}

inline void PutText(std::string& out, std::string_view text) {
    PutVarint(out, static_cast<std::uint32_t>(text.size()));
    out.append(text);
}

inline bool GetText(std::string_view bytes, std::size_t& pos, std::string_view& text) {
    std::uint32_t length = 0;
    if (!GetVarint(bytes, pos, length) || length > bytes.size() - pos) return false;
    text = bytes.substr(pos, length);
    pos += length;
    return true;
}

// A 64-bit checksum over bytes given in any number of pieces (the same value
// however they are cut), four independent lanes of eight bytes at a step, so
// it runs near the speed of reading memory: a build checksums everything it
// writes, and a file not known to be whole is checked entirely. It sees a
// torn, shifted or overwritten part.
class TChecksum {
public:
    void Add(std::string_view bytes) {
        total_ += bytes.size();
        std::size_t k = 0;
        if (pending_ > 0) {
            while (pending_ < kBlock && k < bytes.size())
                buffer_[pending_++] = bytes[k++];
            if (pending_ < kBlock) return;
            Block(buffer_);
            pending_ = 0;
        }
        for (; k + kBlock <= bytes.size(); k += kBlock)
            Block(bytes.data() + k);
        for (; k < bytes.size(); ++k)
            buffer_[pending_++] = bytes[k];
    }
    std::uint64_t Value() const {
        std::uint64_t hash = total_;
        for (const std::uint64_t lane : lanes_)
            hash = Rotate((hash ^ lane) * kMul);
        for (std::size_t k = 0; k < pending_; ++k)
            hash = (hash ^ static_cast<unsigned char>(buffer_[k])) * kMul;
        return hash ^ (hash >> 29);
    }

private:
    static constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15;
    static constexpr std::size_t kBlock = 32;
    static std::uint64_t Rotate(std::uint64_t x) { return x << 31 | x >> 33; }
    void Block(const char* data) {
        for (std::size_t lane = 0; lane < 4; ++lane) {
            std::uint64_t word;
            std::memcpy(&word, data + 8 * lane, 8);
            lanes_[lane] = Rotate((lanes_[lane] ^ word) * kMul);
        }
    }

    std::uint64_t lanes_[4] = {0x243F6A8885A308D3, 0x13198A2E03707344, 0xA4093822299F31D0,
                               0x082EFA98EC4E6C89};
    std::uint64_t total_ = 0;
    char buffer_[kBlock] = {};
    std::size_t pending_ = 0;
};

// The place of value among the count ascending 32-bit numbers of keys, or
// -1 when it is not there.
inline std::int64_t FindKey(std::string_view keys, std::uint32_t count, std::uint32_t value) {
    std::uint32_t low = 0, high = count;
    while (low < high) {
        const std::uint32_t mid = low + (high - low) / 2;
        if (Get<std::uint32_t>(keys, 4 * std::size_t{mid}) < value)
            low = mid + 1;
        else
            high = mid;
    }
    if (low < count && Get<std::uint32_t>(keys, 4 * std::size_t{low}) == value) return low;
    return -1;
}

// How many trigrams have each value of the low and of the high 12 bits, for
// SortByTrigram: counted while the pairs are made, the pairs need not be
// read once more for them. Low[d + 1] counts the low bits d.
struct TTrigramDigits {
    std::uint32_t Low[4097] = {}, High[4097] = {};
    void Add(std::uint32_t trigram) {
        ++Low[(trigram & 0xFFF) + 1];
        ++High[((trigram >> 12) & 0xFFF) + 1];
    }
};

// The trigram of a pair: the high half of (trigram << 32 | number), the low
// 24 bits of (number << 24 | trigram).
inline std::uint32_t TrigramOfPair(std::uint64_t pair) {
    return static_cast<std::uint32_t>(pair >> 32);
}
inline std::uint32_t TrigramOfPair(std::uint32_t pair) {
    return pair & 0xFFFFFF;
}

// Sorts count pairs (see TrigramOfPair) by their 24-bit trigram, keeping
// the order of the pairs of one trigram: two stable passes of 12 bits,
// through scratch (room for count) and back into pairs. digits holds the
// counts of the pairs' trigrams (and is used up).
template <typename TPair>
void SortByTrigram(TPair* pairs, TPair* scratch, std::size_t count, TTrigramDigits& digits) {
    for (std::size_t k = 1; k < 4097; ++k) {
        digits.Low[k] += digits.Low[k - 1];
        digits.High[k] += digits.High[k - 1];
    }
    for (std::size_t k = 0; k < count; ++k)
        scratch[digits.Low[TrigramOfPair(pairs[k]) & 0xFFF]++] = pairs[k];
    for (std::size_t k = 0; k < count; ++k)
        pairs[digits.High[TrigramOfPair(scratch[k]) >> 12]++] = scratch[k];
}

template <typename TPair>
void SortByTrigram(TPair* pairs, TPair* scratch, std::size_t count) {
    TTrigramDigits digits;
    for (std::size_t k = 0; k < count; ++k)
        digits.Add(TrigramOfPair(pairs[k]));
    SortByTrigram(pairs, scratch, count, digits);
}

} // namespace orbisk::index_bytes
