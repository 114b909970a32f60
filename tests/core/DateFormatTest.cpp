// The one date form of scanned entries: the numeric date order of a locale's
// pattern, a four-digit year, the time to the second.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "core/scan/DateFormat.h"

namespace orbisk::test {

namespace {

std::tm Tm(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

} // namespace

TEST(DateFormat, LocalePatternsGiveTheirOrderWithAFourDigitYear) {
    struct Case {
        const char* locale; // whose D_FMT the pattern is
        const char* pattern;
        const char* date;
    };
    const std::vector<Case> cases = {
        {"cs_CZ", "%-d.%-m.%Y", "8.12.2026"},
        {"de_DE", "%d.%m.%Y", "08.12.2026"},
        {"en_US", "%m/%d/%Y", "12/08/2026"},
        {"en_GB", "%d/%m/%y", "08/12/2026"},
        {"nl_NL", "%d-%m-%y", "08-12-2026"},
        {"sv_SE", "%Y-%m-%d", "2026-12-08"},
        {"hu_HU", "%Y. %m. %d.", "2026. 12. 08."},
        {"ja_JP", "%Y年%m月%d日", "2026年12月08日"},
        {"C (its own pattern)", "%m/%d/%y", "12/08/2026"},
        {"ISO", "%F", "2026-12-08"},
        {"US short", "%D", "12/08/2026"},
        {"space-padded day", "%e.%m.%Y", "8.12.2026"},
        {"modifiers", "%Ey|%Om|%_d", "2026|12|8"},
        {"percent sign", "%d%%%m%%%Y", "08%12%2026"},
        // Not a numeric date of day, month and year: the Czech form.
        {"month name", "%d %b %Y", "8.12.2026"},
        {"weekday", "%a %d.%m.%Y", "8.12.2026"},
        {"no year", "%d.%m.", "8.12.2026"},
        {"day twice", "%d.%m.%Y %d", "8.12.2026"},
        {"empty", "", "8.12.2026"},
        {"cut short", "%d.%m.%", "8.12.2026"},
    };
    const std::tm afternoon = Tm(2026, 12, 8, 15, 33, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.pattern);
        const TNumericDateFormatter dates(c.pattern);
        EXPECT_EQ(dates.DateTime(afternoon), std::string(c.date) + " 15:33:03");
        EXPECT_EQ(dates.ZipDateTime(afternoon), std::string(c.date) + "  15:33");
    }
}

TEST(DateFormat, CLocalesAndMissingLocalesGiveTheCzechForm) {
    struct Case {
        const char* variable;
        const char* value;
    };
    // Only C locales are certain to be installed; C.UTF-8's own pattern is
    // "%m/%d/%y", so these show that the C names are recognised.
    const std::vector<Case> cases = {
        {"LC_ALL", "C.UTF-8"}, {"LC_ALL", "C.utf8"},         {"LC_ALL", "POSIX"}, {"LC_TIME", "C"},
        {"LANG", "C.UTF-8"},   {"LANG", "xx_NOWHERE.UTF-8"}, {"LANG", ""},
    };
    const std::tm morning = Tm(2026, 3, 8, 9, 5, 7);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.variable) + "=" + c.value);
        LocaleVariables environment;
        ::setenv(c.variable, c.value, 1);
        EXPECT_EQ(UserDatePattern(), kCzechDateFormat);
        EXPECT_EQ(TNumericDateFormatter(UserDatePattern()).DateTime(morning), "8.3.2026 9:05:07");
    }
}

} // namespace orbisk::test
