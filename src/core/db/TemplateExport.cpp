#include "core/db/TemplateExport.h"

#include <algorithm>

#include "core/catalog/Browse.h"
#include "core/catalog/Common.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

namespace {

constexpr std::string_view kEol = "\r\n";

void AddLine(std::string& out, std::string_view line) {
    out.append(line).append(kEol);
}

void AddEscaped(std::string& out, std::string_view text) {
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '"':
            entity = "&quot;";
            break;
        default:
            continue;
        }
        out.append(text.substr(from, i - from)).append(entity);
        from = i + 1;
    }
    out.append(text.substr(from));
}

// The category's own name for the table of contents and its depth below
// the top level: the path without its first and last character, cut at
// each backslash.
struct TocName {
    std::string_view name;
    int depth = 0;
};
TocName TocNameOf(std::string_view path) {
    TocName toc;
    std::string_view rest = path.size() >= 2 ? path.substr(1, path.size() - 2) : std::string_view{};
    for (std::size_t slash; (slash = rest.find('\\')) != std::string_view::npos;) {
        rest.remove_prefix(slash + 1);
        ++toc.depth;
    }
    toc.name = rest;
    return toc;
}

void AddTocLine(std::string& out, std::string_view path) {
    const TocName toc = TocNameOf(path);
    for (int i = 0; i < toc.depth; ++i)
        AddLine(out, "&nbsp;&nbsp;&nbsp;");
    if (toc.depth > 0) out.append("+-&nbsp;");
    out.append("<a href=\"#");
    AddEscaped(out, path);
    out.append("\">");
    AddEscaped(out, toc.name);
    AddLine(out, "</a><br>");
}

// Copies the lines of a section; a line that is exactly one of the
// placeholders gets the escaped value instead.
struct Placeholder {
    std::string_view name;
    std::string_view value;
};
void AddSection(std::string& out, const std::vector<std::string>& lines,
                std::initializer_list<Placeholder> placeholders) {
    for (const std::string& line : lines) {
        auto hit = std::find_if(placeholders.begin(), placeholders.end(),
                                [&](const Placeholder& p) { return p.name == line; });
        if (hit == placeholders.end()) {
            AddLine(out, line);
        } else {
            AddEscaped(out, hit->value);
            out.append(kEol);
        }
    }
}

void AddCategory(std::string& out, const TArch& db, std::int32_t dirIndex, const TDbTemplate& tpl) {
    const TEntryRange items = EntriesOf(db, dirIndex);
    const std::string& path = db.Dirs[static_cast<std::size_t>(dirIndex)].Path;
    out.append("<a name=\"");
    AddEscaped(out, path);
    AddLine(out, "\">");
    const std::string kategory = BlankOut(path, "\\");
    AddSection(out, tpl.Sections[kKategoryHead], {{"$Kategory", kategory}});
    std::string description;
    for (std::int32_t r = items.First; r <= items.Last; ++r) {
        const TRec& rec = db.Recs[static_cast<std::size_t>(r)];
        description = BlankOut(rec.Description, std::string_view(&kLineMark, 1));
        AddSection(out, tpl.Sections[kItem],
                   {{"$Name", rec.Name},
                    {"$Size", rec.Size},
                    {"$Archive", rec.Date},
                    {"$Path", rec.Attr},
                    {"$Notice", rec.Note},
                    {"$Description", description}});
    }
    AddSection(out, tpl.Sections[kKategoryEnd], {});
}

bool HasItems(const TArch& db, std::int32_t dirIndex) {
    const TEntryRange items = EntriesOf(db, dirIndex);
    return items.Last >= items.First;
}

} // namespace

TDbTemplate ParseTemplate(std::string_view text) {
    TDbTemplate tpl;
    std::vector<std::string>* section = nullptr;
    auto take = [&](std::string_view line) {
        auto marker = std::find(kTemplateMarkers.begin(), kTemplateMarkers.end(), line);
        if (marker != kTemplateMarkers.end())
            section = &tpl.Sections[static_cast<std::size_t>(marker - kTemplateMarkers.begin())];
        else if (section)
            section->emplace_back(line);
    };
    LineReader lines(text);
    while (!lines.AtEnd()) {
        // A line of the CR rules may hold lone LFs: each ends a line too,
        // except one at the very end of the text.
        std::string_view line = lines.Next();
        bool afterLf = false;
        for (std::size_t lf; (lf = line.find('\n')) != std::string_view::npos;) {
            take(line.substr(0, lf));
            line.remove_prefix(lf + 1);
            afterLf = true;
        }
        if (!(afterLf && line.empty() && lines.AtEnd())) take(line);
    }
    return tpl;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    AddEscaped(out, text);
    return out;
}

void SortDatabase(TArch& db, const TTextCompare& compare) {
    auto dirs = db.Dirs.begin();
    std::stable_sort(dirs + 1, dirs + db.DirCount + 1,
                     [&](const TDir& a, const TDir& b) { return compare(a.Path, b.Path) < 0; });
    auto recs = db.Recs.begin();
    for (std::int32_t d = 1; d <= db.DirCount; ++d) {
        const TEntryRange items = EntriesOf(db, d);
        if (items.Last <= items.First) continue;
        std::stable_sort(recs + items.First, recs + items.Last + 1,
                         [&](const TRec& a, const TRec& b) { return compare(a.Name, b.Name) < 0; });
    }
}

std::string BuildDatabasePage(const TArch& db, const TDbTemplate& tpl) {
    std::string out;
    AddSection(out, tpl.Sections[kItemsHeader], {});
    AddLine(out, "<p><tt>");
    for (std::int32_t d = 1; d <= db.DirCount; ++d)
        if (HasItems(db, d)) AddTocLine(out, db.Dirs[static_cast<std::size_t>(d)].Path);
    AddLine(out, "<br>");
    AddLine(out, "</tt></p><hr>");
    for (std::int32_t d = 1; d <= db.DirCount; ++d)
        if (HasItems(db, d)) AddCategory(out, db, d, tpl);
    AddSection(out, tpl.Sections[kItemsEnd], {});
    return out;
}

TExportResult ExportDatabase(TArch& db, const std::string& templatePath, const std::string& outPath,
                             const TTextCompare& compare) {
    std::string text;
    if (ReadWholeFile(templatePath, text, kMaxSmallFile) != ReadStatus::Ok)
        return TExportResult::TemplateMissing;
    const TDbTemplate tpl = ParseTemplate(text);
    SortDatabase(db, compare);
    const std::string page = BuildDatabasePage(db, tpl);
    if (!SaveFileAtomically(outPath, page, BackupMode::None, std::string()))
        return TExportResult::NotWritten;
    return TExportResult::Exported;
}

} // namespace orbisk
