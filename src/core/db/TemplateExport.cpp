#include "core/db/TemplateExport.h"

#include <algorithm>
#include <array>
#include <clocale>
#include <cstring>

#include "core/catalog/Browse.h"
#include "core/catalog/Common.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

namespace {

constexpr std::string_view kEol = "\r\n";

void AddLine(std::string& out, std::string_view line) {
    out.append(line).append(kEol);
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
    AppendHtmlEscaped(out, path);
    out.append("\">");
    AppendHtmlEscaped(out, toc.name);
    AddLine(out, "</a><br>");
}

// A section ready to be written many times: runs of template text joined
// into one piece (lines ended by CR LF), and the placeholder lines as the
// index of their value.
struct TPiece {
    int value = -1; // index into the section's values, -1 for text
    std::string text;
};
using TPieces = std::vector<TPiece>;

TPieces Compile(const std::vector<std::string>& lines,
                std::initializer_list<std::string_view> placeholders) {
    TPieces pieces;
    for (const std::string& line : lines) {
        auto hit = std::find(placeholders.begin(), placeholders.end(), line);
        if (hit != placeholders.end()) {
            pieces.push_back({static_cast<int>(hit - placeholders.begin()), {}});
            continue;
        }
        if (pieces.empty() || pieces.back().value >= 0) pieces.emplace_back();
        AddLine(pieces.back().text, line);
    }
    return pieces;
}

// The value of a placeholder: its text, and whether its line marks become
// blanks (the description).
struct TValue {
    std::string_view text;
    bool blankMarks = false;
};

void AddPieces(std::string& out, const TPieces& pieces, std::initializer_list<TValue> values) {
    for (const TPiece& piece : pieces) {
        if (piece.value < 0) {
            out.append(piece.text);
            continue;
        }
        const TValue& value = values.begin()[piece.value];
        AppendHtmlEscaped(out, value.text, value.blankMarks);
        out.append(kEol);
    }
}

struct TCompiled {
    TPieces header, head, item, end, footer;
    explicit TCompiled(const TDbTemplate& tpl)
        : header(Compile(tpl.Sections[kItemsHeader], {})),
          head(Compile(tpl.Sections[kKategoryHead], {"$Kategory"})),
          item(Compile(tpl.Sections[kItem],
                       {"$Name", "$Size", "$Archive", "$Path", "$Notice", "$Description"})),
          end(Compile(tpl.Sections[kKategoryEnd], {})),
          footer(Compile(tpl.Sections[kItemsEnd], {})) {}
};

void AddCategory(std::string& out, const TArch& db, std::int32_t dirIndex, const TCompiled& tpl) {
    const TEntryRange items = EntriesOf(db, dirIndex);
    const std::string& path = db.Dirs[static_cast<std::size_t>(dirIndex)].Path;
    out.append("<a name=\"");
    AppendHtmlEscaped(out, path);
    AddLine(out, "\">");
    const std::string kategory = BlankOut(path, "\\");
    AddPieces(out, tpl.head, {{kategory}});
    for (std::int32_t r = items.First; r <= items.Last; ++r) {
        const TRec& rec = db.Recs[static_cast<std::size_t>(r)];
        AddPieces(
            out, tpl.item,
            {{rec.Name}, {rec.Size}, {rec.Date}, {rec.Attr}, {rec.Note}, {rec.Description, true}});
    }
    AddPieces(out, tpl.end, {});
}

// About the page's size when nothing needs escaping: the item section's text
// and value lines for every item, the category blocks and the contents.
// Reserving that, and not more, keeps the buffer as small as the page.
std::size_t PageEstimate(const TArch& db, const TCompiled& tpl) {
    constexpr TStr TRec::*kFields[] = {&TRec::Name, &TRec::Size, &TRec::Date,
                                       &TRec::Attr, &TRec::Note, &TRec::Description};
    std::size_t text = 0;
    std::vector<TStr TRec::*> values;
    for (const TPiece& piece : tpl.item) {
        text += piece.text.size();
        if (piece.value >= 0) values.push_back(kFields[piece.value]);
    }
    std::size_t total =
        64 * 1024 + static_cast<std::size_t>(std::max(db.RecCount, 0)) * (text + 2 * values.size());
    for (std::int32_t r = 1; r <= db.RecCount; ++r)
        for (TStr TRec::*field : values)
            total += (db.Recs[static_cast<std::size_t>(r)].*field).size();
    // Per category: its contents line, anchor, head with the path and end.
    std::size_t perCategory = 64;
    for (const TPieces* pieces : {&tpl.head, &tpl.end})
        for (const TPiece& piece : *pieces)
            perCategory += piece.text.size() + 2;
    for (std::int32_t d = 1; d <= db.DirCount; ++d)
        total += perCategory + 3 * db.Dirs[static_cast<std::size_t>(d)].Path.size();
    return total;
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

TTextCompare CollationCompare() {
    const char* name = std::setlocale(LC_COLLATE, nullptr);
    const std::string_view collation = name ? name : "C";
    if (collation == "C" || collation == "POSIX" || collation.starts_with("C.")) {
        return [](std::string_view a, std::string_view b) { return a.compare(b); };
    }
    return [](std::string_view a, std::string_view b) {
        // Field texts are not NUL-terminated; these copies keep their capacity.
        thread_local std::string first, second;
        first.assign(a);
        second.assign(b);
        return std::strcoll(first.c_str(), second.c_str());
    };
}

void SortDatabase(TArch& db, const TTextCompare& compare) {
    auto dirs = db.Dirs.begin();
    std::stable_sort(dirs + 1, dirs + db.DirCount + 1,
                     [&](const TDir& a, const TDir& b) { return compare(a.Path, b.Path) < 0; });
    // Items are sorted as an order of indices, then moved once into place:
    // a comparison sort that moved whole records would move each several
    // times.
    std::vector<std::int32_t> order;
    std::vector<TRec> sorted;
    for (std::int32_t d = 1; d <= db.DirCount; ++d) {
        const TEntryRange items = EntriesOf(db, d);
        if (items.Last <= items.First) continue;
        order.resize(static_cast<std::size_t>(items.Last - items.First + 1));
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = items.First + static_cast<std::int32_t>(k);
        auto name = [&](std::int32_t r) -> const TStr& {
            return db.Recs[static_cast<std::size_t>(r)].Name;
        };
        std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
            return compare(name(a), name(b)) < 0;
        });
        sorted.clear();
        for (std::int32_t r : order)
            sorted.push_back(std::move(db.Recs[static_cast<std::size_t>(r)]));
        std::move(sorted.begin(), sorted.end(), db.Recs.begin() + items.First);
    }
}

std::string BuildDatabasePage(const TArch& db, const TDbTemplate& source) {
    const TCompiled tpl(source);
    std::string out;
    out.reserve(PageEstimate(db, tpl));
    AddPieces(out, tpl.header, {});
    AddLine(out, "<p><tt>");
    for (std::int32_t d = 1; d <= db.DirCount; ++d)
        if (HasItems(db, d)) AddTocLine(out, db.Dirs[static_cast<std::size_t>(d)].Path);
    AddLine(out, "<br>");
    AddLine(out, "</tt></p><hr>");
    for (std::int32_t d = 1; d <= db.DirCount; ++d)
        if (HasItems(db, d)) AddCategory(out, db, d, tpl);
    AddPieces(out, tpl.footer, {});
    return out;
}

TExportStatus ExportDatabase(TArch& db, const std::string& templatePath, const std::string& outPath,
                             const TTextCompare& compare) {
    std::string text;
    if (TFileStatus read = ReadWholeFile(templatePath, text, kMaxSmallFile); !read)
        return {TExportResult::TemplateMissing, std::move(read)};
    const TDbTemplate tpl = ParseTemplate(text);
    SortDatabase(db, compare);
    const std::string page = BuildDatabasePage(db, tpl);
    if (TFileStatus saved = SaveFileAtomically(outPath, page, BackupMode::None, std::string());
        !saved)
        return {TExportResult::NotWritten, std::move(saved)};
    return {};
}

} // namespace orbisk
