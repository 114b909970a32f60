#pragma once
// Date-time texts of catalogued entries. One medium, one form: the window
// and the command-line tool both take the texts from the formatter below,
// built on the numeric date order of the user's regional settings (LC_TIME)
// with a four-digit year and the time to the second. The C and POSIX locales
// give the Czech form "8.12.2026 15:33:03", which older catalogues hold.
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace orbisk {

struct TDateFormatter {
    virtual ~TDateFormatter() = default;
    // Date, a blank, time "H:mm:ss"; the time is left out at exactly midnight.
    virtual std::string DateTime(const std::tm& local) const = 0;
    // Date, two blanks, time "H:mm" (members of ZIP files).
    virtual std::string ZipDateTime(const std::tm& local) const = 0;
};

// The date form of the C locale and of locales whose date cannot be read.
inline constexpr std::string_view kCzechDateFormat = "%-d.%-m.%Y";

// The date in the order and with the separators of a strftime date pattern
// (a locale's D_FMT such as "%m/%d/%y" or "%Y年%m月%d日"): day, month and year
// each once, the year always with four digits, padding as the pattern says
// ("%-d" and "%e" unpadded). A pattern with names (weekday, month name) or
// other fields is not a numeric date and gives the Czech form.
class TNumericDateFormatter : public TDateFormatter {
public:
    explicit TNumericDateFormatter(std::string_view datePattern);
    std::string DateTime(const std::tm& local) const override;
    std::string ZipDateTime(const std::tm& local) const override;
    std::string Date(const std::tm& local) const;

private:
    enum class Field { Literal, Day, Month, Year };
    struct Part {
        Field field;
        bool padded;
        std::string text; // of a literal
    };
    bool Parse(std::string_view pattern);
    std::vector<Part> parts_;
};

// Day "d", month "M", year "yyyy" joined by dots: the form the tests and the
// fuzz targets use whatever the machine's locale.
struct TFixedDateFormatter : TNumericDateFormatter {
    TFixedDateFormatter() : TNumericDateFormatter(kCzechDateFormat) {}
};

// The date pattern of the LC_TIME locale the environment names (LC_ALL, then
// LC_TIME, then LANG), read without changing the process's locale; the Czech
// form for C, POSIX and a locale that is not installed.
std::string UserDatePattern();

// True for the names of the C locale: "", "C", "POSIX", "C.UTF-8", "C.utf8".
bool IsCLocaleName(std::string_view name);

} // namespace orbisk
