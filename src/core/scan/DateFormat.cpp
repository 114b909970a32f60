#include "core/scan/DateFormat.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orbisk {

TNumericDateFormatter::TNumericDateFormatter(std::string_view datePattern) {
    if (!Parse(datePattern)) Parse(kCzechDateFormat);
}

// Reads the pattern into fields and literals; false when it is not a numeric
// date of day, month and year.
bool TNumericDateFormatter::Parse(std::string_view pattern) {
    parts_.clear();
    int days = 0, months = 0, years = 0;
    auto literal = [this](std::string_view text) {
        if (parts_.empty() || parts_.back().field != Field::Literal)
            parts_.push_back({Field::Literal, false, {}});
        parts_.back().text += text;
    };
    auto field = [&](Field f, bool padded) {
        parts_.push_back({f, padded, {}});
        ++(f == Field::Day ? days : f == Field::Month ? months : years);
    };
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            literal(pattern.substr(i, 1));
            continue;
        }
        bool padded = true;
        // Flags, a width and the E and O modifiers change nothing but padding.
        while (++i < pattern.size() && std::strchr("-_0^#123456789EO", pattern[i]))
            if (pattern[i] == '-' || pattern[i] == '_') padded = false;
        if (i >= pattern.size()) return false;
        switch (pattern[i]) {
        case '%':
            literal("%");
            break;
        case 'd':
            field(Field::Day, padded);
            break;
        case 'e':
            field(Field::Day, false);
            break;
        case 'm':
            field(Field::Month, padded);
            break;
        case 'y':
        case 'Y':
            field(Field::Year, true);
            break;
        case 'F':
            field(Field::Year, true);
            literal("-");
            field(Field::Month, true);
            literal("-");
            field(Field::Day, true);
            break;
        case 'D':
            field(Field::Month, true);
            literal("/");
            field(Field::Day, true);
            literal("/");
            field(Field::Year, true);
            break;
        default:
            return false;
        }
    }
    return days == 1 && months == 1 && years == 1;
}

std::string TNumericDateFormatter::Date(const std::tm& local) const {
    std::string text;
    char buf[24];
    for (const Part& part : parts_) {
        switch (part.field) {
        case Field::Literal:
            text += part.text;
            continue;
        case Field::Day:
            std::snprintf(buf, sizeof buf, part.padded ? "%02d" : "%d", local.tm_mday);
            break;
        case Field::Month:
            std::snprintf(buf, sizeof buf, part.padded ? "%02d" : "%d", local.tm_mon + 1);
            break;
        case Field::Year:
            std::snprintf(buf, sizeof buf, "%04d", local.tm_year + 1900);
            break;
        }
        text += buf;
    }
    return text;
}

std::string TNumericDateFormatter::DateTime(const std::tm& local) const {
    std::string text = Date(local);
    if (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0) return text;
    char buf[48];
    std::snprintf(buf, sizeof buf, " %d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text + buf;
}

std::string TNumericDateFormatter::ZipDateTime(const std::tm& local) const {
    char buf[48];
    std::snprintf(buf, sizeof buf, "  %d:%02d", local.tm_hour, local.tm_min);
    return Date(local) + buf;
}

bool IsCLocaleName(std::string_view name) {
    if (name.empty() || name == "POSIX") return true;
    return name == "C" || name.starts_with("C.");
}

std::string UserDatePattern() {
    // The variables in the order in which they decide LC_TIME.
    const char* name = nullptr;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    if (!name || IsCLocaleName(name)) return std::string(kCzechDateFormat);
    locale_t locale = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(nullptr));
    if (!locale) return std::string(kCzechDateFormat);
    std::string pattern = nl_langinfo_l(D_FMT, locale);
    freelocale(locale);
    return pattern;
}

} // namespace orbisk
