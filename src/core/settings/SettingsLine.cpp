#include "core/settings/SettingsLine.h"

#include <charconv>

namespace orbisk {

namespace {

constexpr std::size_t kSectionHyphens = 48;

// The text of s between the first open and the next close after it; empty
// when either is missing.
std::string_view Between(std::string_view s, char open, char close, bool toEnd) {
    const std::size_t begin = s.find(open);
    if (begin == std::string_view::npos) return {};
    const std::size_t end = s.find(close, begin + 1);
    if (end == std::string_view::npos) return toEnd ? s.substr(begin + 1) : std::string_view{};
    return s.substr(begin + 1, end - begin - 1);
}

} // namespace

TSettingsLine SplitSettingsLine(std::string_view line) {
    TSettingsLine out;
    const std::size_t eq = line.find('=');
    std::string name;
    if (eq != std::string_view::npos)
        for (char c : line.substr(0, eq))
            if (c != ' ') name.push_back(c);
    if (name.empty()) {
        out.Section = true;
        out.Window = std::string(Between(line, '[', ']', false));
        return out;
    }
    const std::size_t point = name.find('.');
    if (point == std::string::npos) {
        out.Component = std::move(name);
    } else {
        out.Component = name.substr(0, point);
        out.Property = name.substr(point + 1);
    }
    // A value whose closing quote is missing runs to the end of the line.
    out.Value = std::string(Between(line.substr(eq + 1), '"', '"', true));
    return out;
}

std::string SectionLine(std::string_view window) {
    std::string line = "[";
    line.append(window).append("]").append(kSectionHyphens, '-');
    return line;
}

std::string PropertyLine(std::string_view name, std::string_view property, std::string_view value) {
    std::string line(name);
    line.append(".").append(property).append(" = \"").append(value).append("\"");
    return line;
}

std::optional<int> ParseDecimal(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    if (pos < text.size() && text[pos] == '+') ++pos;
    int value = 0;
    const char* begin = text.data() + pos;
    const char* end = text.data() + text.size();
    if (begin == end) return std::nullopt;
    const auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc{} || ptr != end) return std::nullopt;
    return value;
}

std::vector<std::string> SplitListValue(std::string_view value) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t semi; (semi = value.find(';', start)) != std::string_view::npos;
         start = semi + 1)
        pieces.emplace_back(value.substr(start, semi - start));
    return pieces;
}

std::string JoinListValue(const std::vector<std::string>& items) {
    std::string value;
    for (const std::string& item : items)
        value.append(item).push_back(';');
    return value;
}

std::size_t ApplyLines(const std::vector<std::string>& lines, std::size_t first, TLineSink& sink) {
    std::size_t applied = 0;
    for (std::size_t i = first; i < lines.size(); ++i) {
        const TSettingsLine line = SplitSettingsLine(lines[i]);
        if (line.Section) {
            sink.Section(line.Window);
        } else if (!sink.Property(line)) {
            break;
        }
        ++applied;
    }
    return applied;
}

bool ReadSettingsGlobals(const std::vector<std::string>& lines, std::string_view title,
                         TSettingsGlobals& globals) {
    if (lines.size() <= 2) return false;
    globals.WorkingDirectory = lines[1];
    globals.LanguageFile = lines[2];
    return title.empty() || lines[0] == title;
}

} // namespace orbisk
