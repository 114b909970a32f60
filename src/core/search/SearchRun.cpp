#include "core/search/SearchRun.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/catalog/Common.h"
#include "core/search/ArchivePrefetch.h"
#include "core/search/EntryTests.h"

namespace orbisk {

void SetResultRec(TSearchResult& result, const TRec& rec) {
    TStr TRec::*const fields[] = {&TRec::Name, &TRec::Size, &TRec::Date,
                                  &TRec::Attr, &TRec::Note, &TRec::Description};
    std::size_t total = 0;
    for (TStr TRec::*field : fields)
        total += (rec.*field).size();
    result.Rec = TRec{};
    result.Rec.Present = rec.Present;
    result.Storage = nullptr;
    if (total == 0) return;
    const auto block = std::make_shared<char[]>(total);
    char* at = block.get();
    for (TStr TRec::*field : fields) {
        const std::string_view bytes = (rec.*field).View();
        if (bytes.empty()) continue;
        std::memcpy(at, bytes.data(), bytes.size());
        result.Rec.*field = TStr::Borrow({at, bytes.size()});
        at += bytes.size();
    }
    result.Storage = block;
}

namespace {

// The archive a result comes from.
struct TArchiveTag {
    std::int32_t Slot = 0;
    std::string_view Name;
    std::string_view File;
};

// Builds the result of entry r of dir and hands it to the sink; false when
// the sink refuses more.
bool Report(const TArch& arch, const TDir& dir, std::int32_t r, const TArchiveTag& tag,
            const TEntryTests& tests, TSearchSink& sink, TSearchOutcome& outcome) {
    const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
    TSearchResult result;
    if (!tests.Mark(rec.Name, result.MarkedName)) return true;
    result.ArchiveSlot = tag.Slot;
    result.ArchiveName = tag.Name;
    result.ArchiveFile = tag.File;
    result.Path = dir.Path;
    SetResultRec(result, rec);
    ++outcome.Results;
    if (sink.OnResult(std::move(result))) return true;
    outcome.Stopped = true;
    return false;
}

// The entries of a folder, within the archive's entry array.
std::pair<std::int32_t, std::int32_t> EntryRange(const TArch& arch, const TDir& dir) {
    return {std::max(dir.First, 1), std::min(dir.First + dir.Count - 1, arch.RecCount)};
}

// Searches the folders of arch under currentPath. False when the search is
// to end: the stop flag was seen or the sink refused more.
bool SearchFolders(const TArch& arch, std::string_view currentPath, const TArchiveTag& tag,
                   const TEntryTests& tests, TSearchSink& sink, const std::atomic<bool>& stop,
                   TSearchOutcome& outcome) {
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        sink.OnFolder(dir.Path);
        if (!std::string_view(dir.Path).starts_with(currentPath)) continue;
        const auto [first, last] = EntryRange(arch, dir);
        for (std::int32_t r = first; r <= last; ++r) {
            if (stop.load(std::memory_order_relaxed)) {
                outcome.Stopped = true;
                return false;
            }
            const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
            if (rec.Present == 0) continue; // deleted, not yet saved
            ++outcome.EntriesTested;
            if (tests.Passes(rec) && !Report(arch, dir, r, tag, tests, sink, outcome)) return false;
        }
    }
    return true;
}

// The tests of every entry of every folder of a freshly read archive, on the
// thread that read it; gives up (Complete stays false) once quit is set.
void CollectEntries(const TEntryTests& tests, const std::atomic<bool>& stop,
                    const std::atomic<bool>& quit, TPrefetched& item) {
    const TArch& arch = item.Arch;
    item.Entries.clear();
    item.EntryEnds.assign(1, 0);
    item.EntriesTested = 0;
    item.Complete = false;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const auto [first, last] = EntryRange(arch, arch.Dirs[static_cast<std::size_t>(d)]);
        for (std::int32_t r = first; r <= last; ++r) {
            if (r % 1024 == 0 && (stop.load(std::memory_order_relaxed) || quit.load())) return;
            const TRec& rec = arch.Recs[static_cast<std::size_t>(r)];
            if (rec.Present == 0) continue;
            ++item.EntriesTested;
            if (tests.Passes(rec)) item.Entries.push_back(r);
        }
        item.EntryEnds.push_back(item.Entries.size());
    }
    item.Complete = true;
}

// Hands over the entries CollectEntries found as SearchFolders would with
// currentPath "": the same folder calls, results and stop tests (those
// between two results see no change of the flag but by another thread). An
// incomplete collection is only met once the stop flag is set, and ends at
// the first test.
bool ReportCollected(const TPrefetched& item, const TArchiveTag& tag, const TEntryTests& tests,
                     TSearchSink& sink, const std::atomic<bool>& stop, TSearchOutcome& outcome) {
    const TArch& arch = item.Arch;
    outcome.EntriesTested += item.EntriesTested;
    for (std::int32_t d = 1; d <= arch.DirCount; ++d) {
        const TDir& dir = arch.Dirs[static_cast<std::size_t>(d)];
        sink.OnFolder(dir.Path);
        const auto [first, last] = EntryRange(arch, dir);
        const std::size_t dirIndex = static_cast<std::size_t>(d);
        std::size_t k = dirIndex < item.EntryEnds.size() ? item.EntryEnds[dirIndex - 1] : 0;
        const std::size_t end = dirIndex < item.EntryEnds.size() ? item.EntryEnds[dirIndex] : 0;
        for (std::int32_t r = first; r <= last;) {
            if (stop.load(std::memory_order_relaxed) || !item.Complete) {
                outcome.Stopped = true;
                return false;
            }
            if (k == end) break;
            const std::int32_t entry = item.Entries[k++];
            if (!Report(arch, dir, entry, tag, tests, sink, outcome)) return false;
            r = entry + 1;
        }
    }
    return true;
}

} // namespace

std::string TextLine(const TSearchResult& result) {
    std::string line;
    line.reserve(result.ArchiveName.size() + result.Path.size() + result.MarkedName.size() + 3);
    line.append(result.ArchiveName).append(":").append(result.Path).append("  ");
    line.append(result.MarkedName);
    return line;
}

std::array<std::string, 8> ListColumns(const TSearchResult& result) {
    const TRec& rec = result.Rec;
    return {result.ArchiveName, result.Path,    rec.Name.str(), FormatSize(rec.Size),
            rec.Date.str(),     rec.Attr.str(), rec.Note.str(), rec.Description.str()};
}

TSearchOutcome RunArchiveSearch(const TArch& arch, std::string_view currentPath,
                                const TSearchCriteria& criteria, TSearchSink& sink,
                                const std::atomic<bool>& stop) {
    TSearchOutcome outcome;
    const TEntryTests tests(criteria);
    const TArchiveTag tag{0, arch.Head.Name, arch.Head.FileName};
    outcome.ArchivesSearched = 1;
    SearchFolders(arch, currentPath, tag, tests, sink, stop, outcome);
    return outcome;
}

std::string CategoryPathOf(const std::vector<std::string>& nodeTexts) {
    if (nodeTexts.empty()) return {};
    std::string path;
    for (const std::string& text : nodeTexts)
        path.append(text).push_back('\\');
    if (path != "\\") path.insert(path.begin(), '\\');
    return path;
}

std::vector<std::int32_t> ArchivesToSearch(const TArchiveList& list, TSearchScope scope,
                                           const std::vector<std::int32_t>& selected,
                                           std::string_view categoryPath) {
    std::vector<std::int32_t> slots;
    switch (scope) {
    case TSearchScope::AllArchives:
        for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
            slots.push_back(slot);
        break;
    case TSearchScope::SelectedArchives:
        for (std::int32_t slot : selected)
            if (list.ValidSlot(slot)) slots.push_back(slot);
        break;
    case TSearchScope::Subcategories:
        if (categoryPath.empty()) break;
        for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot)
            if (std::string_view(list[slot].TreePath).starts_with(categoryPath))
                slots.push_back(slot);
        break;
    }
    return slots;
}

TSearchOutcome RunArchivesSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                                 const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                                 const std::atomic<bool>& stop, int threads) {
    TSearchOutcome outcome;
    std::vector<std::int32_t> listed;
    std::vector<std::string> files;
    for (std::int32_t slot : slots) {
        if (!list.ValidSlot(slot) || list[slot].Listed == 0) continue;
        listed.push_back(slot);
        files.push_back(list.PathOf(slot));
    }
    const TEntryTests tests(criteria);
    // Whoever reads an archive also tests its entries, on the same thread;
    // here only the results are built and handed over, in order.
    std::atomic<bool> quit{false};
    TArchivePrefetch prefetch(files, std::max(threads, 1) - 1,
                              [&](TPrefetched& item) { CollectEntries(tests, stop, quit, item); });
    for (std::size_t k = 0; k < listed.size(); ++k) {
        if (stop.load(std::memory_order_relaxed)) {
            outcome.Stopped = true;
            break;
        }
        const TPrefetched* item = prefetch.Next();
        for (const THostMessage& message : item->Messages) {
            if (message.Warning)
                host.Warn(message.Text);
            else
                host.Inform(message.Text);
        }
        const THead& row = list[listed[k]];
        sink.OnArchive(listed[k], row.Name);
        ++outcome.ArchivesSearched;
        const TArchiveTag tag{listed[k], row.Name, files[k]};
        if (!ReportCollected(*item, tag, tests, sink, stop, outcome)) break;
    }
    quit = true;
    return outcome;
}

} // namespace orbisk
