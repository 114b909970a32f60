#include "core/export/ArchiveExport.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/catalog/ArchiveFile.h"
#include "core/catalog/ByteScan.h"
#include "core/catalog/CodePage.h"
#include "core/export/HtmlText.h"

namespace orbisk {

namespace {

// The fixed markup of an entry row of the default columns, about.
constexpr std::size_t kMarkupPerLine = 48;

// The text from its first byte above 0x7F on: the ASCII before it is valid
// UTF-8 whatever follows, and is passed over eight bytes at a time.
std::string_view NonAsciiTail(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80)
        ++i;
    return text.substr(i);
}

// Gives each stored text as UTF-8. When the whole file is valid UTF-8 every
// field is too, so the per-field test is skipped.
class Utf8Texts {
public:
    explicit Utf8Texts(std::string_view fileText)
        : fileUtf8_(IsValidUtf8(NonAsciiTail(fileText))) {}
    std::string_view operator()(std::string_view field) {
        if (fileUtf8_ || IsValidUtf8(field)) return field;
        scratch_ = Cp1250ToUtf8(field);
        return scratch_;
    }

private:
    bool fileUtf8_;
    std::string scratch_;
};

// The six fields of an entry line: each of the first five is the text before
// the next TAB of what remains (empty, with nothing consumed, when no TAB
// remains); the description is all that is left.
struct TEntryLine {
    std::string_view Name, Size, Date, Attr, Note, Description;
};

// Splits an entry line; false for a line without TAB (a directory line).
bool SplitEntryLine(std::string_view line, TEntryLine& e) {
    std::string_view* fields[5] = {&e.Name, &e.Size, &e.Date, &e.Attr, &e.Note};
    const char* start = line.data();
    const char* const end = start + line.size();
    std::size_t found = 0;
    // Lines are short: one pass over the bytes beats a search per field.
    for (const char* p = start; p < end && found < 5; ++p) {
        if (*p != '\t') continue;
        *fields[found++] = std::string_view(start, static_cast<std::size_t>(p - start));
        start = p + 1;
    }
    if (found == 0) return false;
    for (std::size_t k = found; k < 5; ++k)
        *fields[k] = {};
    e.Description = std::string_view(start, static_cast<std::size_t>(end - start));
    return true;
}

// The parent of a directory path: "\" for "\" itself; otherwise the path up
// to the "\" before its last character, or "\" when there is none (a damaged
// line without any "\").
std::string_view ParentPath(std::string_view path) {
    if (path.size() < 2) return "\\";
    const std::size_t slash = path.rfind('\\', path.size() - 2);
    return slash == std::string_view::npos ? std::string_view("\\") : path.substr(0, slash + 1);
}

// Walks the lines of an archive file: the header up to the "<tree>" line,
// then every tree line in file order, a line without TAB being a directory.
// Returns false when running was cleared before a line.
template <typename Visitor>
bool WalkArchiveLines(std::string_view text, Visitor& visitor, const std::atomic<bool>& running,
                      Host& host) {
    LineReader lines(text);
    THead head;
    while (!lines.AtEnd()) {
        const std::string_view line = lines.Next();
        if (line == "<tree>") break;
        ReadHeaderLine(line, head, THeaderKeys::ListFields);
    }
    visitor.Header(head);
    PumpTicker ticker(host);
    TEntryLine entry;
    while (!lines.AtEnd()) {
        if (!running.load(std::memory_order_relaxed)) return false;
        const std::string_view line = lines.Next();
        if (SplitEntryLine(line, entry))
            visitor.Entry(entry);
        else
            visitor.Directory(line);
        ticker.Tick();
    }
    return running.load(std::memory_order_relaxed);
}

class PageWriter {
public:
    PageWriter(std::string& out, std::string_view fileText, const TExportColumns& columns,
               const TExportTexts& texts)
        : out_(out), utf8_(fileText), columns_(columns), texts_(texts) {}

    void Head(std::string_view title) {
        Put("<html><head><meta charset=\"utf-8\"><title>");
        Text(title);
        Line("</title></head>");
        Line("<body bgcolor=\"#D8D0C8\" text=\"#000000\">");
        Line("<tt><hr><table border=\"0\">");
    }

    void Header(const THead& h) {
        HeaderRow(texts_.NameCaption, h.Name);
        HeaderRow("Typ", h.Typ);
        HeaderRow("Subtyp", h.SubTyp);
        HeaderRow("Medium", h.Medium);
        HeaderRow(texts_.Owner, h.Owner);
        HeaderRow(texts_.DescriptionCaption, h.Description);
    }

    void Directory(std::string_view path) {
        path_ = path;
        Line("</table><hr>");
        Put("<p><a name=\"");
        Text(path);
        Put("\">[ ");
        Text(path);
        Put(" ]&nbsp;&nbsp;<a href=\"#\\\">[ \\ ]</a>&nbsp;&nbsp;<a href=\"#");
        Text(ParentPath(path));
        Line("\">[ .. ]</a></p>");
        Line(columns_.Grid ? "<table border=\"1\">" : "<table border=\"0\">");
        Line("<tr><td width=\"120\"></td>");
        if (columns_.Size) Line("<td align=\"right\" width=\"60\"> </td>");
        if (columns_.Date) Line("<td width=\"80\"> </td>");
        if (columns_.Attr) Line("<td width=\"40\"> </td>");
        if (columns_.Note) Line("<td></td>");
        if (columns_.Description) Line("<td></td>");
        Line("</tr>");
    }

    void Entry(const TEntryLine& e) {
        const char kind = e.Attr.empty() ? ' ' : e.Attr.front();
        const bool linked = kind == 'd' || kind == 'p' || kind == 'A';
        if (linked) {
            Put("<tr><td><a href=\"#");
            Text(path_);
            Text(e.Name);
            Put("\\\">");
            Text(e.Name);
            Line("</a></td>");
        } else {
            Cell("<tr><td>", e.Name);
        }
        if (columns_.Size) {
            if (kind == 'A')
                Line("<td align=\"right\">Archiv</td>");
            else if (kind == 'd')
                Line("<td>&lt;DIR&gt;</td>");
            else
                Cell("<td align=\"right\">", e.Size);
        }
        if (columns_.Date) Cell("<td>", e.Date);
        if (columns_.Attr) Cell("<td>", e.Attr);
        if (columns_.Note) Cell("<td>", e.Note);
        if (columns_.Description) Cell("<td>", e.Description);
        Line("</tr>");
    }

    void Foot() {
        Line("</table><hr>");
        Put("<p>");
        Text(texts_.Footer);
        if (texts_.HomePage.empty()) {
            Line("Orbisk.</p>");
        } else {
            Put("<a href=\"");
            Text(texts_.HomePage);
            Line("\">Orbisk</a>.</p>");
        }
        Line("</tt></body>");
        Line("</html>");
    }

private:
    void Put(std::string_view s) { out_.append(s); }
    void Line(std::string_view s) { out_.append(s).append("\r\n"); }
    // A stored text, as UTF-8 and escaped (0x07 becomes a blank).
    void Text(std::string_view s) { AppendHtmlEscaped(out_, utf8_(s), true); }
    void Cell(std::string_view open, std::string_view s) {
        Put(open);
        Text(s);
        Line("</td>");
    }
    void HeaderRow(std::string_view caption, std::string_view value) {
        Put("<tr><td>");
        Text(caption);
        Put(": </td><td>");
        Text(value);
        Line("</td></tr>");
    }

    std::string& out_;
    Utf8Texts utf8_;
    const TExportColumns& columns_;
    const TExportTexts& texts_;
    std::string_view path_;
};

// A CSV field: quoted (quotes doubled) when it holds a comma, a quote, CR or LF.
void AppendCsvField(std::string& out, std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out.append(text);
        return;
    }
    out.push_back('"');
    for (char c : text) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

class CsvWriter {
public:
    CsvWriter(std::string& out, std::string_view fileText) : out_(out), utf8_(fileText) {}
    void Header(const THead&) {
        out_.append("Cesta,Název,Velikost,Datum,Atribut,Poznámka,Popis\r\n");
    }
    void Directory(std::string_view path) { path_ = path; }
    void Entry(const TEntryLine& e) {
        std::string full(utf8_(path_));
        full.append(utf8_(e.Name));
        AppendCsvField(out_, full);
        for (std::string_view field : {e.Name, e.Size, e.Date, e.Attr, e.Note}) {
            out_.push_back(',');
            AppendCsvField(out_, utf8_(field));
        }
        out_.push_back(',');
        // Every line of a description ends with 0x07: the lines are joined
        // by LF, without one after the last.
        std::string description(utf8_(e.Description));
        if (!description.empty() && description.back() == kLineMark) description.pop_back();
        for (char& c : description)
            if (c == kLineMark) c = '\n';
        AppendCsvField(out_, description);
        out_.append("\r\n");
    }

private:
    std::string& out_;
    Utf8Texts utf8_;
    std::string_view path_;
};

} // namespace

bool FormatArchivePage(std::string_view archiveText, std::string_view title,
                       const TExportColumns& columns, const TExportTexts& texts,
                       const std::atomic<bool>& running, Host& host, std::string& out) {
    out.clear();
    // Reserved once, for the usual page: the texts twice (a folder's name
    // and path are also in its link) and the markup of the lines. A page of
    // many escaped texts grows past it; a bound for every page would reserve
    // several times the usual size, which a large page then pays in fresh
    // pages of memory.
    const std::size_t lines =
        CountByte(archiveText.data(), archiveText.data() + archiveText.size(), '\r') + 1;
    out.reserve(archiveText.size() * 2 + lines * kMarkupPerLine + 1024);
    PageWriter page(out, archiveText, columns, texts);
    page.Head(title);
    if (!WalkArchiveLines(archiveText, page, running, host)) return false;
    page.Foot();
    return true;
}

bool FormatArchiveCsv(std::string_view archiveText, const std::atomic<bool>& running, Host& host,
                      std::string& out) {
    out.clear();
    out.reserve(archiveText.size() + archiveText.size() / 2 + 256);
    CsvWriter csv(out, archiveText);
    return WalkArchiveLines(archiveText, csv, running, host);
}

TExportResult ExportArchive(const std::string& archivePath, TExportFormat format,
                            const TExportColumns& columns, const TExportTexts& texts,
                            const std::atomic<bool>& running, Host& host) {
    TExportResult result;
    std::string text;
    result.Status = ReadWholeFile(archivePath, text);
    if (!result.Status.ok) return result;
    host.Pump();
    const bool done =
        format == TExportFormat::Page
            ? FormatArchivePage(text, archivePath, columns, texts, running, host, result.Output)
            : FormatArchiveCsv(text, running, host, result.Output);
    result.Outcome = done ? TExportOutcome::Done : TExportOutcome::Cancelled;
    if (!done) std::string().swap(result.Output);
    return result;
}

TFileStatus SaveExport(const std::string& path, std::string_view content) {
    return SaveOutputFile(path, content, BackupMode::None);
}

std::string ProposedExportName(std::string_view archivePath, std::string_view extension) {
    const std::size_t keep = archivePath.size() >= 3 ? archivePath.size() - 3 : 0;
    return std::string(archivePath.substr(0, keep)).append(extension);
}

} // namespace orbisk
