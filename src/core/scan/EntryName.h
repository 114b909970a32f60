#pragma once
// Name rules of recorded entries: the bytes a catalogue line cannot carry, and
// the case-blind look-ups of names and extensions (a to z only).
#include <string>
#include <string_view>
#include <vector>

namespace orbisk {

// True when name holds a byte that a catalogue line cannot carry in a name:
// TAB, CR, LF, 0x07, 0x1A or "\".
bool NeedsLineSafeName(std::string_view name);

// The name with each of those bytes replaced by "_".
std::string LineSafeName(std::string_view name);

// Equality and substring search that fold only the bytes a-z to upper case.
bool EqualsNoCase(std::string_view a, std::string_view b);
bool ContainsNoCase(std::string_view text, std::string_view part);

// True when list holds ext, compared without regard to letter case.
bool HasExtension(const std::vector<std::string>& list, std::string_view ext);

} // namespace orbisk
