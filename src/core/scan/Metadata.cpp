#include "core/scan/Metadata.h"

#include <array>
#include <cstdint>

#include "core/catalog/TextFile.h"

namespace orbisk {

namespace {

// A regular file opened for reading through the file layer, never waiting
// on a pipe or a device.
class RegularFile {
public:
    explicit RegularFile(const std::string& path) { open_ = OpenRegularFile(path, fd_, &size_).ok; }
    bool IsOpen() const { return open_; }
    std::uint64_t Size() const { return size_; }
    // Up to count bytes from offset (fewer at the end of the file); false on a
    // read error.
    bool ReadAt(std::uint64_t offset, std::size_t count, std::string& out) const {
        return orbisk::ReadAt(fd_.Get(), offset, count, out);
    }

private:
    TUniqueFd fd_;
    std::uint64_t size_ = 0;
    bool open_ = false;
};

constexpr char kMark = kLineMark;

void BlankBytes(std::string& text, std::string_view bytes) {
    for (char& c : text)
        if (bytes.find(c) != std::string_view::npos) c = ' ';
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// How the body of a recognised frame becomes its field.
struct FrameKind {
    std::string_view id;
    int field;          // 0-based place in the result, -1 for a frame read and skipped
    std::size_t skip;   // characters dropped from the front of the text
    std::size_t length; // at most this many characters kept
};

constexpr std::size_t kWhole = std::string_view::npos;
constexpr std::size_t kFieldCount = 11;

// In the order the identifiers are compared.
constexpr std::array<FrameKind, 12> kFrames{{
    {"TRCK", -1, 0, kWhole},
    {"TENC", 10, 0, kWhole},
    {"WXXX", 9, 1, 255},
    {"TCOP", 8, 0, kWhole},
    {"TOPE", 7, 0, kWhole},
    {"TCOM", 6, 0, kWhole},
    {"COMM", 5, 4, 255},
    {"TCON", 4, 0, kWhole},
    {"TYER", 3, 0, kWhole},
    {"TALB", 2, 0, kWhole},
    {"TPE1", 1, 0, kWhole},
    {"TIT2", 0, 0, kWhole},
}};

// A frame header is 10 bytes and the encoding byte follows it.
constexpr std::size_t kFrameHeader = 10;

} // namespace

std::string CleanTextDescription(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        switch (c) {
        case '\0':
        case '\x07':
        case '\t':
        case '\r':
        case '\x1A':
            break;
        case '\n':
            out.push_back(kMark);
            break;
        default:
            out.push_back(c);
        }
    }
    return out;
}

std::string ReadTextDescription(const std::string& path, int limit) {
    if (limit < kDescriptionLimitMin || limit > kDescriptionLimitMax)
        limit = kDescriptionLimitDefault;
    RegularFile file(path);
    std::string bytes;
    if (!file.IsOpen() || !file.ReadAt(0, static_cast<std::size_t>(limit), bytes)) return {};
    return CleanTextDescription(bytes);
}

TId3v1 ParseId3v1(std::string_view tag) {
    if (tag.size() != 128 || tag.substr(0, 3) != "TAG") return {};
    std::string body(tag.substr(3));
    BlankBytes(body, std::string_view("\0\x07\t\n\r\x1A", 6));
    std::string_view b(body);
    TId3v1 result;
    result.Title = std::string(b.substr(0, 30));
    result.Text.reserve(130);
    result.Text.append(b.substr(0, 30)).push_back(kMark);
    result.Text.append(b.substr(30, 30)).push_back(kMark);
    result.Text.append(b.substr(60, 30)).push_back(kMark);
    result.Text.append(b.substr(90, 4)).push_back(kMark);
    result.Text.append(b.substr(94, 28)).push_back(kMark);
    result.Text.push_back(kMark);
    return result;
}

TId3v1 ReadId3v1(const std::string& path) {
    RegularFile file(path);
    std::string tag;
    if (!file.IsOpen() || file.Size() < 128 || !file.ReadAt(file.Size() - 128, 128, tag)) return {};
    return ParseId3v1(tag);
}

std::string ReadFrameText(std::string_view buffer, std::size_t& offset) {
    // The size is an unsigned 32-bit value, so no frame can move the scan
    // backwards or keep it in place.
    if (offset > buffer.size() || buffer.size() - offset < kFrameHeader + 3) {
        offset = buffer.size();
        return {};
    }
    const std::uint64_t size = BigEndian32(buffer, offset + 4);
    const std::uint64_t room = buffer.size() - offset - (kFrameHeader + 3);
    if (size > room) {
        offset += 4;
        return {};
    }
    std::string text;
    if (size > 0)
        text.assign(buffer.substr(offset + kFrameHeader + 1, static_cast<std::size_t>(size - 1)));
    offset += kFrameHeader + static_cast<std::size_t>(size);
    return text;
}

std::string ParseId3v2(std::string_view head) {
    if (head.size() != kId3v2Window || head.substr(0, 3) != "ID3") return {};
    std::array<std::string, kFieldCount> fields;
    // Identifiers are looked for up to the last place where a frame header and
    // one byte of body still fit into the head.
    const std::size_t end = kId3v2Window - 21;
    std::size_t offset = 10;
    while (offset < end) {
        const std::string_view id = head.substr(offset, 4);
        const FrameKind* kind = nullptr;
        for (const FrameKind& k : kFrames)
            if (k.id == id) {
                kind = &k;
                break;
            }
        if (!kind) {
            ++offset;
            continue;
        }
        std::string text = ReadFrameText(head, offset);
        if (kind->field < 0) continue;
        fields[static_cast<std::size_t>(kind->field)] =
            text.size() > kind->skip ? text.substr(kind->skip, kind->length) : std::string();
    }
    std::string result;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (i > 0) result.push_back(kMark);
        result += fields[i];
    }
    BlankBytes(result, std::string_view("\0\t\n\r\x1A", 5));
    return result;
}

std::string ReadId3v2(const std::string& path) {
    RegularFile file(path);
    std::string head;
    if (!file.IsOpen() || !file.ReadAt(0, kId3v2Window, head)) return {};
    return ParseId3v2(head);
}

} // namespace orbisk
