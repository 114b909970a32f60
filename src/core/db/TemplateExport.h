#pragma once
// The database as one HTML page through a user-written template. A template
// is cut into five sections by marker lines; the program adds the table of
// contents of the categories and their anchors, everything else comes from
// the template.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/TextFile.h"
#include "core/export/HtmlText.h"

namespace orbisk {

enum TTemplateSection : int {
    kItemsHeader,  // once at the start of the page
    kKategoryHead, // before the items of each category; "$Kategory"
    kItem,         // once per item; "$Name", "$Size", ... "$Description"
    kKategoryEnd,  // after the items of each category
    kItemsEnd,     // once at the end of the page
    kTemplateSections
};

// The marker line of each section, in section order.
inline constexpr std::array<std::string_view, kTemplateSections> kTemplateMarkers = {
    "[ItemsHeader]", "[KategoryHead]", "[Item]", "[KategoryEnd]", "[ItemsEnd]"};

struct TDbTemplate {
    std::array<std::vector<std::string>, kTemplateSections> Sections;
};

// Cuts a template into its sections: a line that is exactly a marker makes
// its section current (a marker may come again; its lines are appended);
// lines before the first marker are dropped. Lines end at CR LF, CR or LF
// (templates are written by hand, on any system); 0x1A ends the text.
TDbTemplate ParseTemplate(std::string_view text);

// The locale-aware comparison of two texts: negative, 0 or positive.
using TTextCompare = std::function<int(std::string_view, std::string_view)>;

// The C library's collation for the current LC_COLLATE (strcoll), as the
// command line sorts what the user sees. Where that collation is the order
// of the bytes (C, POSIX, C.UTF-8) the texts are compared as they are.
TTextCompare CollationCompare();

// Orders the database in place: the categories by path, then the items of
// each category by name, both by compare and stable (texts that compare
// equal keep their order). Categories keep their runs.
void SortDatabase(TArch& database, const TTextCompare& compare);

// The page for the database in its present order, every line ended by CR LF.
// A template line that is exactly a placeholder of its section is replaced
// by the value, HTML-escaped; every other line is copied as it is.
// Categories without items produce nothing.
std::string BuildDatabasePage(const TArch& database, const TDbTemplate& tpl);

enum class TExportResult { Exported, TemplateMissing, NotWritten };

struct TExportStatus {
    TExportResult Result = TExportResult::Exported;
    TFileStatus File; // the template or the page that failed, with the reason
};

// Reads the template, sorts the database, builds the page and saves it to
// outPath (a temporary file renamed over it, so a failure leaves an existing
// page as it was).
TExportStatus ExportDatabase(TArch& database, const std::string& templatePath,
                             const std::string& outPath, const TTextCompare& compare);

} // namespace orbisk
