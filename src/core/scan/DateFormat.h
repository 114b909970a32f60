#pragma once
// Date-time texts of catalogued entries. The formats follow the user's
// regional settings, so core takes them through this interface: the GUI
// supplies one built on the user's locale, the command-line tool and the tests
// use the fixed Czech-style formatter below.
#include <ctime>
#include <string>

namespace orbisk {

struct TDateFormatter {
    virtual ~TDateFormatter() = default;
    // Short date, a blank, long time; the time is left out at exactly midnight.
    virtual std::string DateTime(const std::tm& local) const = 0;
    // Short date, two blanks, short time (members of ZIP files).
    virtual std::string ZipDateTime(const std::tm& local) const = 0;
};

// Short date "d.M.yyyy", long time "H:mm:ss", short time "H:mm".
struct TFixedDateFormatter : TDateFormatter {
    std::string DateTime(const std::tm& local) const override;
    std::string ZipDateTime(const std::tm& local) const override;
};

} // namespace orbisk
