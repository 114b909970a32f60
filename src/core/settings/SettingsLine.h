#pragma once
// The line format shared by the settings file and the language files: a
// section line "[" window "]" followed by 48 hyphens opens a window's block;
// every other line reads name "." property " = " a value in double quotes.
// Files are plain lists of such lines, read and written as a whole.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orbisk {

struct TSettingsLine {
    bool Section = false;  // a section line: Window names the window
    std::string Window;    // text between the first "[" and the next "]"
    std::string Component; // name part before its first point (the whole part without one)
    std::string Property;  // name part after its first point; empty without one
    std::string Value;     // between the first and the second double quote after "="
};

// Splits one line: the name part is the text before the first "=" with every
// blank removed; an empty name part (no "=" at all, as in a section line)
// makes the line a section.
TSettingsLine SplitSettingsLine(std::string_view line);

// "[" window "]" and 48 hyphens.
std::string SectionLine(std::string_view window);
// name "." property " = " '"' value '"'.
std::string PropertyLine(std::string_view name, std::string_view property, std::string_view value);

// A signed decimal integer, blanks allowed before it; nothing else may follow.
std::optional<int> ParseDecimal(std::string_view text);

// Pieces of a list value: the text is cut at each ";", and a piece after the
// last ";" is dropped ("a;b;" and "a;b;c" both give a, b).
std::vector<std::string> SplitListValue(std::string_view value);
// Every item followed by ";".
std::string JoinListValue(const std::vector<std::string>& items);

// What applying lines does with them: the settings and language appliers of
// the windows implement it.
class TLineSink {
public:
    virtual ~TLineSink() = default;
    // A section line: the window of that name becomes current, or none.
    virtual void Section(const std::string& window) = 0;
    // A component line; false is a failure (a value that is not a number)
    // that ends the application of every later line.
    virtual bool Property(const TSettingsLine& line) = 0;
};

// Applies lines from index first on, in order, until a sink reports a
// failure. Returns the number of lines applied before it stopped.
std::size_t ApplyLines(const std::vector<std::string>& lines, std::size_t first, TLineSink& sink);

// The three global lines that open a settings file.
struct TSettingsGlobals {
    std::string WorkingDirectory; // line 2
    std::string LanguageFile;     // line 3
};

// Reads the global lines: with more than two lines, line 2 and line 3 set the
// globals (whatever the title) and the result is true exactly when line 1 is
// title; with two lines or fewer nothing changes and the result is false. An
// empty title accepts any line 1 (the viewer does not compare it).
bool ReadSettingsGlobals(const std::vector<std::string>& lines, std::string_view title,
                         TSettingsGlobals& globals);

// The lines of the window blocks begin after the three global lines.
inline constexpr std::size_t kFirstBlockLine = 3;

} // namespace orbisk
