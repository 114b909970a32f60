#include "core/scan/EntryName.h"

#include <algorithm>

namespace orbisk {

namespace {

constexpr std::string_view kUnsafe{"\t\r\n\x07\x1A\\", 6};

char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool NeedsLineSafeName(std::string_view name) {
    return name.find_first_of(kUnsafe) != std::string_view::npos;
}

std::string LineSafeName(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (kUnsafe.find(c) != std::string_view::npos) c = '_';
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Fold(x) == Fold(y); });
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    if (part.size() > text.size()) return false;
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (EqualsNoCase(text.substr(i, part.size()), part)) return true;
    return false;
}

bool HasExtension(const std::vector<std::string>& list, std::string_view ext) {
    return std::any_of(list.begin(), list.end(),
                       [ext](const std::string& entry) { return EqualsNoCase(entry, ext); });
}

} // namespace orbisk
