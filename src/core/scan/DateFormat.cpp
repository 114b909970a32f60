#include "core/scan/DateFormat.h"

#include <cstdio>

namespace orbisk {

namespace {

std::string ShortDate(const std::tm& t) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d.%d.%04d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900);
    return buf;
}

} // namespace

std::string TFixedDateFormatter::DateTime(const std::tm& local) const {
    std::string text = ShortDate(local);
    if (local.tm_hour == 0 && local.tm_min == 0 && local.tm_sec == 0) return text;
    char buf[48];
    std::snprintf(buf, sizeof buf, " %d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text + buf;
}

std::string TFixedDateFormatter::ZipDateTime(const std::tm& local) const {
    char buf[48];
    std::snprintf(buf, sizeof buf, "  %d:%02d", local.tm_hour, local.tm_min);
    return ShortDate(local) + buf;
}

} // namespace orbisk
