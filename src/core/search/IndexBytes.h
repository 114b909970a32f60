#pragma once
// Byte helpers of the search index files: fixed-width numbers in the
// machine's byte order (the files carry a byte-order mark), LEB128 numbers,
// length-prefixed texts and the checksum of the checked parts.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

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

inline void PutVarint(std::string& out, std::uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<char>((value & 0x7F) | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<char>(value));
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

// A 64-bit checksum taking eight bytes at a step, over bytes given in any
// number of pieces (the same value however they are cut): fast enough to
// check a changes file whole on every search, and it sees a torn or shifted
// write.
class TChecksum {
public:
    void Add(std::string_view bytes) {
        total_ += bytes.size();
        std::size_t k = 0;
        while (pending_ > 0 && pending_ < 8 && k < bytes.size())
            buffer_[pending_++] = bytes[k++];
        if (pending_ == 8) {
            Mix(Get<std::uint64_t>(std::string_view(buffer_, 8), 0));
            pending_ = 0;
        }
        for (; k + 8 <= bytes.size(); k += 8)
            Mix(Get<std::uint64_t>(bytes, k));
        for (; k < bytes.size(); ++k)
            buffer_[pending_++] = bytes[k];
    }
    std::uint64_t Value() const {
        std::uint64_t hash = hash_;
        for (std::size_t k = 0; k < pending_; ++k)
            hash = (hash ^ static_cast<unsigned char>(buffer_[k])) * kMul;
        return hash ^ (hash >> 29) ^ total_;
    }

private:
    static constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15;
    void Mix(std::uint64_t word) {
        hash_ = (hash_ ^ word) * kMul;
        hash_ ^= hash_ >> 32;
    }

    std::uint64_t hash_ = 0x243F6A8885A308D3, total_ = 0;
    char buffer_[8] = {};
    std::size_t pending_ = 0;
};

} // namespace orbisk::index_bytes
