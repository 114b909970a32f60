#include "core/catalog/ArchiveFile.h"

#include "core/catalog/ByteScan.h"
#include "core/catalog/PartialRead.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <optional>

namespace orbisk {

namespace {

// Reads the fields of an entry line that starts at line and has its first
// TAB at firstTab: each of the first five fields ends at the next TAB; the
// description takes the rest of the line, TABs included. A line with fewer
// TABs leaves the fields after the last TAB empty except the description,
// which gets the text after it. Fields point into the archive's text, and
// every field is set, so a slot that held an entry before is fully replaced.
// Returns where the line ends (its CR, or end).
const char* ReadEntryLine(const char* line, const char* firstTab, const char* end,
                          DelimiterScanner& delimiters, TRec& rec) {
    auto span = [](const char* from, const char* to) {
        return std::string_view(from, static_cast<std::size_t>(to - from));
    };
    TStr* fields[5] = {&rec.Name, &rec.Size, &rec.Date, &rec.Attr, &rec.Note};
    rec.Present = 1;
    rec.Name.SetBorrowed(span(line, firstTab));
    const char* p = firstTab + 1;
    for (int k = 1; k < 5; ++k) {
        const char* q = delimiters.Next();
        if (q == end || *q == '\r') {
            for (int rest = k; rest < 5; ++rest)
                fields[rest]->clear();
            rec.Description.SetBorrowed(span(p, q));
            return q;
        }
        fields[k]->SetBorrowed(span(p, q));
        p = q + 1;
    }
    const char* q = delimiters.Next();
    while (q != end && *q != '\r')
        q = delimiters.Next(); // TABs inside the description
    rec.Description.SetBorrowed(span(p, q));
    return q;
}

void AppendLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append("\r\n", 2);
}

} // namespace

void SetHeaderDefaults(THead& head) {
    for (const THeaderField& f : kHeaderFields)
        (head.*f.Field).assign(f.Default);
}

void ReadHeaderLine(std::string_view line, THead& head, THeaderKeys keys) {
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return;
    const std::string_view key = line.substr(0, eq);
    for (const THeaderField& f : kHeaderFields) {
        if (f.Key != key) continue;
        if (keys == THeaderKeys::All || f.Listed) (head.*f.Field).assign(line.substr(eq + 1));
        return;
    }
}

namespace {

// Parses ownText, which becomes the archive's own copy that entry fields
// point into.
void ParseOwnedText(std::string&& ownText, TArch& arch, Host* host) {
    auto shared = std::make_shared<const std::string>(std::move(ownText));
    const std::string_view text = *shared;
    THead& head = arch.Head;
    SetHeaderDefaults(head);

    LineReader lines(text);
    while (!lines.AtEnd()) {
        std::string_view line = lines.Next();
        if (line == "<tree>") break;
        ReadHeaderLine(line, head);
    }
    // Tree section. Entries are at most as many as the remaining lines: one
    // allocation of the entry array instead of a chain of copies, trimmed
    // afterwards to the length the growth rule gives for the final count.
    const std::string_view tree = lines.Rest();
    const char* p = tree.data();
    const char* const end = p + tree.size();
    std::size_t maxLines = CountByte(p, end, '\r') + 1;
    arch.BeginRefill(
        static_cast<std::int32_t>(std::min<std::size_t>(maxLines, INT32_MAX - 2 * kArchiveGrowth)));
    arch.Text = shared;

    std::optional<PumpTicker> ticker;
    if (host) ticker.emplace(*host);
    DelimiterScanner delimiters(p, end, '\t', '\r');
    while (p < end) {
        const char* stop = delimiters.Next();
        if (stop == end || *stop == '\r') {
            arch.AddDir(std::string(p, stop));
            p = stop;
        } else {
            ++arch.RecCount;
            ++arch.Dirs[static_cast<std::size_t>(arch.DirCount)].Count;
            p = ReadEntryLine(p, stop, end, delimiters,
                              arch.Recs[static_cast<std::size_t>(arch.RecCount)]);
        }
        // Past the CR, and past an LF right after it.
        if (p < end && ++p < end && *p == '\n') ++p;
        if (ticker) ticker->Tick();
    }
    arch.FinishRefill();
}

} // namespace

void ParseArchive(std::string_view text, TArch& arch, Host* host) {
    ParseOwnedText(std::string(text), arch, host);
}

bool SplitEntryLine(std::string_view line, TRec& rec) {
    std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return false;
    TStr* fields[5] = {&rec.Name, &rec.Size, &rec.Date, &rec.Attr, &rec.Note};
    rec.Present = 1;
    rec.Name.SetBorrowed(line.substr(0, tab));
    std::size_t from = tab + 1;
    for (int k = 1; k < 5; ++k) {
        tab = line.find('\t', from);
        if (tab == std::string_view::npos) {
            for (int rest = k; rest < 5; ++rest)
                fields[rest]->clear();
            rec.Description.SetBorrowed(line.substr(from));
            return true;
        }
        fields[k]->SetBorrowed(line.substr(from, tab - from));
        from = tab + 1;
    }
    rec.Description.SetBorrowed(line.substr(from));
    return true;
}

std::string FormatArchive(const TArch& arch) {
    const THead& h = arch.Head;
    std::string out;
    std::size_t estimate = 256;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d)
        estimate += arch.Dirs[static_cast<std::size_t>(d)].Path.size() + 2;
    for (std::int32_t r = 1; r <= arch.RecCount; ++r) {
        const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
        estimate += rec.Name.size() + rec.Size.size() + rec.Date.size() + rec.Attr.size() +
                    rec.Note.size() + rec.Description.size() + 7;
    }
    out.reserve(estimate);
    out.append("<head>\r\n");
    for (const THeaderField& f : kHeaderFields)
        out.append(f.Key).append("=").append(h.*f.Field).append("\r\n");
    out.append("Packed=\r\n\r\n<tree>\r\n");
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        AppendLine(out, dir.Path);
        for (std::int32_t r = dir.First; r < dir.First + dir.Count; ++r) {
            if (r < 1 || r > arch.RecCount) continue;
            const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
            if (rec.Present == 0) continue;
            out.append(rec.Name.View()).push_back('\t');
            out.append(rec.Size.View()).push_back('\t');
            out.append(rec.Date.View()).push_back('\t');
            out.append(rec.Attr.View()).push_back('\t');
            out.append(rec.Note.View()).push_back('\t');
            AppendLine(out, rec.Description.View());
        }
    }
    return out;
}

TFileStatus ReadArchive(TArch& arch, Host& host) {
    std::string text;
    TFileStatus status = ReadWholeFile(arch.Head.FileName, text);
    if (!status) {
        arch.Clear();
        host.FileFailed(status);
        return status;
    }
    host.Pump();
    ParseOwnedText(std::move(text), arch, &host);
    return status;
}

TFileStatus ReadArchiveKeepingRead(TArch& arch, Host& host) {
    std::string text;
    TFileStatus status = ReadFileKeepingRead(arch.Head.FileName, text);
    if (!status) {
        // A line cut off by the failure is not taken: its fields are not whole.
        const std::size_t lastEnd = text.rfind('\r');
        text.resize(lastEnd == std::string::npos ? 0 : lastEnd + 1);
    }
    host.Pump();
    ParseOwnedText(std::move(text), arch, &host);
    if (!status) host.FileFailed(status);
    return status;
}

std::string BackupName(const std::string& fileName) {
    std::size_t keep = fileName.size() >= 3 ? fileName.size() - 3 : 0;
    return fileName.substr(0, keep) + ".bak";
}

TFileStatus WriteArchive(const TArch& arch, Host& host) {
    const std::string& path = arch.Head.FileName;
    std::string text = FormatArchive(arch);
    host.Pump();
    TFileStatus status = SaveFileAtomically(path, text, BackupMode::KeepFirst, BackupName(path));
    if (!status) host.FileFailed(status);
    return status;
}

} // namespace orbisk
