// The cache file _cd_.lst: its line format, and the rewrite that drops
// duplicate rows and saves the file.
#include <string>
#include <unordered_set>

#include "core/catalog/ArchiveList.h"
#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"

namespace orbisk {

namespace {

// The text up to the next TAB of rest (all of it when there is none); rest
// continues after that TAB.
std::string_view NextField(std::string_view& rest) {
    std::size_t tab = rest.find('\t');
    std::string_view field = rest.substr(0, tab);
    rest = tab == std::string_view::npos ? std::string_view{} : rest.substr(tab + 1);
    return field;
}

constexpr std::string_view kCacheBreakers{"\t\r\x1A", 3};

bool HasCacheBreaker(std::string_view text) {
    return text.find_first_of(kCacheBreakers) != std::string_view::npos;
}

void AppendField(std::string& out, std::string_view value, char end) {
    std::size_t from = out.size();
    out.append(value);
    if (HasCacheBreaker(value))
        for (std::size_t i = from; i < out.size(); ++i)
            if (kCacheBreakers.find(out[i]) != std::string_view::npos) out[i] = ' ';
    out.push_back(end);
}

} // namespace

bool TCacheLineReader::Next(TCacheLineView& line) {
    if (lines_.AtEnd()) return false;
    std::string_view rest = lines_.Next();
    line.TreePath = NextField(rest);
    line.Name = NextField(rest);
    line.FileName = NextField(rest);
    line.Description = NextField(rest);
    line.Owner = rest;
    return true;
}

std::vector<TCacheLine> ParseArchiveListCache(std::string_view text) {
    std::vector<TCacheLine> lines;
    TCacheLineReader reader(text);
    for (TCacheLineView view; reader.Next(view);)
        lines.push_back({std::string(view.TreePath), std::string(view.Name),
                         std::string(view.FileName), std::string(view.Description),
                         std::string(view.Owner)});
    return lines;
}

std::string FormatArchiveListCache(const TArchiveList& list) {
    std::string out;
    std::size_t estimate = 0;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot) {
        const THead& row = list[slot];
        estimate += row.TreePath.size() + row.Name.size() + row.FileName.size() +
                    row.Description.size() + row.Owner.size() + 6;
    }
    out.reserve(estimate);
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot) {
        const THead& row = list[slot];
        if (row.Listed == 0 || HasCacheBreaker(row.FileName)) continue;
        AppendField(out, row.TreePath, '\t');
        AppendField(out, row.Name, '\t');
        AppendField(out, row.FileName, '\t');
        AppendField(out, row.Description, '\t');
        AppendField(out, row.Owner, '\r');
        out.push_back('\n');
    }
    return out;
}

namespace detail {

// Drops duplicates and returns the new bytes of the cache file.
std::string DropDuplicateRows(TArchiveList& list, std::int32_t& listed) {
    // From the highest slot down: a name seen already belongs to a higher
    // slot, which wins. Every row takes part, Listed or not, as a row that
    // has been dropped still names the file it stood for. Names are compared
    // exactly, as the file system does: games.cd and GAMES.cd are two files.
    std::unordered_set<std::string_view> seen;
    seen.reserve(static_cast<std::size_t>(list.ArchiveCount()) * 2);
    listed = 0;
    for (std::int32_t slot = list.ArchiveCount(); slot >= 1; --slot) {
        THead& row = list[slot];
        if (!seen.insert(row.FileName).second) row.Listed = 0;
        if (row.Listed != 0) ++listed;
    }
    return FormatArchiveListCache(list);
}

TFileStatus SaveArchiveListCache(const std::string& folder, std::string_view bytes) {
    return SaveFileAtomically(JoinPath(folder, std::string(kArchiveListFile)), bytes,
                              BackupMode::None, {});
}

} // namespace detail

TRewriteResult RewriteArchiveList(TArchiveList& list) {
    TRewriteResult result;
    std::string bytes = detail::DropDuplicateRows(list, result.ListedCount);
    result.Status = detail::SaveArchiveListCache(list.Folder, bytes);
    result.Saved = result.Status.ok;
    return result;
}

} // namespace orbisk
