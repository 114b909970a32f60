#pragma once
// Writes MP3 bytes for the tests: an optional ID3v2 tag with padding in front,
// a few bytes of MPEG frames, an optional ID3v1 tag at the end.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orbisk::test {

struct TId3v1Fields {
    std::string Title, Artist, Album, Year, Comment; // cut or padded to their widths
    char Pad = '\0';
};

// The 128 bytes of a version 1 tag.
std::string MakeId3v1(const TId3v1Fields& fields);

struct TId3v2Frame {
    TId3v2Frame(std::string id, std::string text, char encoding = 0,
                std::optional<std::uint32_t> size = {})
        : Id(std::move(id)), Text(std::move(text)), Encoding(encoding), Size(size) {}
    std::string Id;   // four characters
    std::string Text; // the body after the encoding byte
    char Encoding = 0;
    std::optional<std::uint32_t> Size; // the size the header claims; body size when unset
};

// A version 2.3 tag: the 10-byte header, the frames, then padding zero bytes.
std::string MakeId3v2(const std::vector<TId3v2Frame>& frames, std::size_t padding = 0);

// id3v2 + audioBytes of MPEG frame data + id3v1.
std::string MakeMp3(std::string_view id3v2, std::size_t audioBytes, std::string_view id3v1);

} // namespace orbisk::test
