#pragma once
// Where the scanner writes its progress lines: the scan window's progress box
// in the desktop program, stderr with --verbose in the command-line tool, a
// recorder in tests.
#include <cstddef>
#include <string_view>

namespace orbisk {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void AddLine(std::string_view line) = 0;
    virtual void DeleteLastLine() = 0;
    virtual void Clear() = 0;
    virtual std::size_t LineCount() const = 0;
};

// The progress box is emptied as soon as it holds more than this many lines.
inline constexpr std::size_t kProgressLineLimit = 100;

} // namespace orbisk
