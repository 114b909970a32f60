#pragma once
// Code pages of stored text. On this platform names and typed text are UTF-8;
// catalogues written on Windows carry Windows-1250 bytes and must stay
// readable. A "character" is a whole UTF-8 sequence in valid UTF-8 text and
// one byte otherwise.
#include <cstddef>
#include <string>
#include <string_view>

namespace orbisk {

// Length of the well-formed UTF-8 sequence starting at text[pos] (1 to 4), or
// 0 when the bytes there are not one (overlong forms and surrogates are not).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t pos);

bool IsValidUtf8(std::string_view text);

// Steps over text one character at a time: whole sequences when the whole
// text is valid UTF-8, single bytes otherwise.
class CharStepper {
public:
    explicit CharStepper(std::string_view text) : text_(text), utf8_(IsValidUtf8(text)) {}
    std::size_t LengthAt(std::size_t pos) const {
        return utf8_ ? Utf8SequenceLength(text_, pos) : 1;
    }
    bool IsUtf8() const { return utf8_; }

private:
    std::string_view text_;
    bool utf8_;
};

// The Unicode code point of a Windows-1250 byte.
char32_t Cp1250ToUnicode(unsigned char byte);
// The Windows-1250 byte of a code point, or -1 when it has none.
int UnicodeToCp1250(char32_t cp);

// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::string& out, char32_t cp);

// Windows-1250 bytes to UTF-8.
std::string Cp1250ToUtf8(std::string_view bytes);
// A catalogue text as UTF-8: valid UTF-8 is kept as it is, anything else
// is taken as Windows-1250 (what catalogues written on Windows hold).
std::string AsUtf8(std::string_view text);
void AppendAsUtf8(std::string& out, std::string_view text);
// UTF-8 to Windows-1250; false (and out unchanged) when a character does not
// fit or the input is not valid UTF-8.
bool Utf8ToCp1250(std::string_view utf8, std::string& out);

} // namespace orbisk
