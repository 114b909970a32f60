#include "Mp3Writer.h"

namespace orbisk::test {

namespace {

void AppendField(std::string& out, const std::string& value, std::size_t width, char pad) {
    std::string field = value.substr(0, width);
    field.resize(width, pad);
    out += field;
}

void AppendBigEndian(std::string& out, std::uint32_t value, int bitsPerByte) {
    const std::uint32_t mask = (1u << bitsPerByte) - 1;
    for (int shift = 3; shift >= 0; --shift)
        out.push_back(static_cast<char>((value >> (shift * bitsPerByte)) & mask));
}

} // namespace

std::string MakeId3v1(const TId3v1Fields& f) {
    std::string tag = "TAG";
    AppendField(tag, f.Title, 30, f.Pad);
    AppendField(tag, f.Artist, 30, f.Pad);
    AppendField(tag, f.Album, 30, f.Pad);
    AppendField(tag, f.Year, 4, f.Pad);
    AppendField(tag, f.Comment, 28, f.Pad);
    tag += std::string("\0\x01\x0C", 3); // end of comment, track 1, genre 12
    return tag;
}

std::string MakeId3v2(const std::vector<TId3v2Frame>& frames, std::size_t padding) {
    std::string body;
    for (const TId3v2Frame& frame : frames) {
        const std::string content = frame.Encoding + frame.Text;
        body += frame.Id;
        AppendBigEndian(body, frame.Size.value_or(static_cast<std::uint32_t>(content.size())), 8);
        body += std::string(2, '\0'); // flags
        body += content;
    }
    body.append(padding, '\0');
    std::string tag = std::string("ID3\x03\x00\x00", 6);
    AppendBigEndian(tag, static_cast<std::uint32_t>(body.size()), 7); // sync-safe size
    return tag + body;
}

std::string MakeMp3(std::string_view id3v2, std::size_t audioBytes, std::string_view id3v1) {
    std::string out(id3v2);
    for (std::size_t i = 0; i < audioBytes; ++i)
        out.push_back(i % 417 == 0 ? '\xFF' : i % 417 == 1 ? '\xFB' : '\x55');
    out += id3v1;
    return out;
}

} // namespace orbisk::test
