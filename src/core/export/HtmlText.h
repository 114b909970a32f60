#pragma once
// Text inserted into an HTML page: the one escaper of the archive page and
// the database's template export.
#include <string>
#include <string_view>

namespace orbisk {

// Appends text with &, <, > and " as entities, so it is safe both between
// tags and inside a double-quoted attribute. With blankMarks every 0x07 (the
// line mark of a description) becomes a blank.
void AppendHtmlEscaped(std::string& out, std::string_view text, bool blankMarks = false);

// The escaped form of text, as AppendHtmlEscaped without blanking marks.
std::string HtmlEscape(std::string_view text);

} // namespace orbisk
