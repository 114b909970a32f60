#include "core/scan/DosTime.h"

namespace orbisk {

namespace {

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

} // namespace

std::optional<std::tm> DosToLocalTm(std::uint32_t dosDateTime) {
    const std::uint32_t date = dosDateTime >> 16, time = dosDateTime & 0xFFFF;
    const int year = static_cast<int>(date >> 9) + 1980;
    const int month = static_cast<int>((date >> 5) & 15), day = static_cast<int>(date & 31);
    const int hour = static_cast<int>(time >> 11), minute = static_cast<int>((time >> 5) & 63);
    const int second = static_cast<int>(time & 31) * 2;
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    if (hour > 23 || minute > 59 || second > 59) return std::nullopt;
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return t;
}

std::optional<std::uint32_t> LocalTmToDos(const std::tm& local) {
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107) return std::nullopt;
    const auto date = static_cast<std::uint32_t>(((year - 1980) << 9) | ((local.tm_mon + 1) << 5) |
                                                 local.tm_mday);
    const auto time = static_cast<std::uint32_t>((local.tm_hour << 11) | (local.tm_min << 5) |
                                                 (local.tm_sec / 2));
    return date << 16 | time;
}

} // namespace orbisk
