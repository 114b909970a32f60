#include "core/export/HtmlText.h"

#include <array>

#include "core/catalog/Archive.h"

namespace orbisk {

namespace {

// For each byte: 0 copied as it is, 1 to 4 the entity of kEntities, 5 the
// line mark of a description.
constexpr std::string_view kEntities[] = {"", "&amp;", "&lt;", "&gt;", "&quot;"};
constexpr unsigned char kMarkByte = 5;
constexpr auto kEscapeTable = [] {
    std::array<unsigned char, 256> table{};
    table['&'] = 1;
    table['<'] = 2;
    table['>'] = 3;
    table['"'] = 4;
    table[static_cast<unsigned char>(kLineMark)] = kMarkByte;
    return table;
}();

} // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text, bool blankMarks) {
    const char* from = text.data();
    const char* const end = from + text.size();
    for (const char* p = from; p < end; ++p) {
        const unsigned char kind = kEscapeTable[static_cast<unsigned char>(*p)];
        if (kind == 0 || (kind == kMarkByte && !blankMarks)) continue;
        out.append(from, static_cast<std::size_t>(p - from));
        out.append(kind == kMarkByte ? std::string_view(" ") : kEntities[kind]);
        from = p + 1;
    }
    out.append(from, static_cast<std::size_t>(end - from));
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    AppendHtmlEscaped(out, text);
    return out;
}

} // namespace orbisk
