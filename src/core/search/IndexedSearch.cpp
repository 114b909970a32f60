#include "core/search/IndexedSearch.h"

#include <algorithm>
#include <unistd.h>

#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "core/search/EntryTests.h"

namespace orbisk {

namespace {

// The trigrams of the literal runs of one form of a pattern, and per index
// file the entries whose names may hold them all.
struct TForm {
    std::vector<std::uint32_t> Trigrams;
    bool Scan = false;                     // no run of three bytes: every entry is a candidate
    std::vector<std::uint32_t> Entries[2]; // main file, changes file
};

TForm FormOf(std::string_view pattern) {
    TForm form;
    std::size_t start = 0;
    for (std::size_t k = 0; k <= pattern.size(); ++k) {
        if (k < pattern.size() && pattern[k] != '*' && pattern[k] != '?') continue;
        AppendTrigrams(pattern.substr(start, k - start), form.Trigrams);
        start = k + 1;
    }
    std::sort(form.Trigrams.begin(), form.Trigrams.end());
    form.Trigrams.erase(std::unique(form.Trigrams.begin(), form.Trigrams.end()),
                        form.Trigrams.end());
    form.Scan = form.Trigrams.empty();
    return form;
}

// Finds the candidates of a pattern: through the folder-wide directories
// once, then those of one archive when it comes to be searched.
class TIndexQuery {
public:
    explicit TIndexQuery(const TPatternForms& pattern) {
        forms_.push_back(FormOf(pattern.Utf8));
        // A Windows-1250 name can only match the Windows-1250 form, and only
        // when the pattern has one.
        if (pattern.Cp1250 != pattern.Utf8 && pattern.Cp1250Fits)
            forms_.push_back(FormOf(pattern.Cp1250));
        for (const TForm& form : forms_)
            scan_ = scan_ || form.Scan;
    }

    bool Scan() const { return scan_; }

    // Looks the trigrams up in file (0 main, 1 changes); false when damaged.
    bool LookUp(const TIndexFile& file, int which) {
        if (scan_ || !file.IsOpen()) return true;
        for (TForm& form : forms_)
            if (!Intersect(file, form.Trigrams, form.Entries[which])) return false;
        return true;
    }

    // The candidates of archive a of file which, ascending.
    void Candidates(const TIndexFile& file, int which, std::uint32_t a,
                    std::vector<std::uint32_t>& out) const {
        out.clear();
        const std::uint64_t first = file.FirstEntryOf(a), end = first + file.EntriesOf(a);
        for (const TForm& form : forms_) {
            const std::vector<std::uint32_t>& entries = form.Entries[which];
            for (auto it = std::lower_bound(entries.begin(), entries.end(), first);
                 it != entries.end() && *it < end; ++it)
                out.push_back(static_cast<std::uint32_t>(*it - first));
        }
        if (forms_.size() > 1) {
            std::sort(out.begin(), out.end());
            out.erase(std::unique(out.begin(), out.end()), out.end());
        }
    }

private:
    // out receives the entries holding every trigram, the rarest list first.
    // A list far longer than the candidates left is not read: the candidates
    // are tested by the matcher anyway, and testing them costs less.
    bool Intersect(const TIndexFile& file, const std::vector<std::uint32_t>& trigrams,
                   std::vector<std::uint32_t>& out) {
        out.clear();
        std::vector<std::pair<std::uint64_t, std::uint32_t>> bySize;
        for (const std::uint32_t t : trigrams) {
            const std::uint64_t bytes = file.PostingBytes(t);
            if (bytes == 0) return true; // no name holds it: no candidate
            bySize.emplace_back(bytes, t);
        }
        std::sort(bySize.begin(), bySize.end());
        for (std::size_t k = 0; k < bySize.size(); ++k) {
            if (k > 0 && bySize[k].first > 64 * std::max<std::uint64_t>(out.size(), 64)) break;
            if (!file.Postings(bySize[k].second, list_)) return false;
            if (k == 0) {
                out.swap(list_);
            } else {
                const auto end = std::set_intersection(out.begin(), out.end(), list_.begin(),
                                                       list_.end(), out.begin());
                out.erase(end, out.end());
            }
            if (out.empty()) break;
        }
        return true;
    }

    std::vector<TForm> forms_;
    bool scan_ = false;
    std::vector<std::uint32_t> list_;
};

struct TPassed {
    std::uint32_t Entry;
    std::uint32_t Dir;
};

// The entries of segment that pass the tests, with their folders; false when
// the segment proves damaged.
bool CollectPassed(const TIndexSegment& segment, const std::vector<std::uint32_t>* candidates,
                   const TEntryTests& tests, std::vector<TPassed>& passed) {
    passed.clear();
    const std::size_t count = candidates ? candidates->size() : segment.EntryCount();
    std::uint32_t dir = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t entry = candidates ? (*candidates)[k] : static_cast<std::uint32_t>(k);
        std::string_view name;
        if (!segment.Name(entry, name)) return false;
        if (!tests.NameMatches(name)) continue;
        TRec rec;
        if (!segment.Fields(entry, rec)) return false;
        if (!tests.OthersPass(rec)) continue;
        if (!segment.DirOf(entry, dir)) return false;
        passed.push_back({entry, dir});
    }
    return true;
}

// Hands over the results of one archive; false when the sink refuses more or
// the stop flag is seen (tested before each result, as over the files).
bool ReportPassed(const TIndexSegment& segment, const std::vector<TPassed>& passed,
                  std::int32_t slot, const THead& row, const std::string& file,
                  const TEntryTests& tests, TSearchSink& sink, const std::atomic<bool>& stop,
                  TSearchOutcome& outcome) {
    std::uint32_t shownDir = segment.DirCount();
    for (const TPassed& p : passed) {
        if (stop.load(std::memory_order_relaxed)) {
            outcome.Stopped = true;
            return false;
        }
        std::string_view path;
        std::uint32_t first = 0, count = 0;
        segment.Dir(p.Dir, path, first, count);
        if (p.Dir != shownDir) sink.OnFolder(path);
        shownDir = p.Dir;
        TSearchResult result;
        TRec rec;
        segment.Fields(p.Entry, rec);
        if (!tests.Mark(rec.Name, result.MarkedName)) continue;
        result.ArchiveSlot = slot;
        result.ArchiveName = row.Name;
        result.ArchiveFile = file;
        result.Path = path;
        result.Rec = rec; // an owned copy
        ++outcome.Results;
        if (!sink.OnResult(std::move(result))) {
            outcome.Stopped = true;
            return false;
        }
    }
    return true;
}

void Add(TSearchOutcome& total, const TSearchOutcome& part) {
    total.Results += part.Results;
    total.EntriesTested += part.EntriesTested;
    total.ArchivesSearched += part.ArchivesSearched;
    total.Stopped = total.Stopped || part.Stopped;
}

// The segment of a fresh archive with its messages and the entries that pass;
// false when that part of the index proves damaged.
bool TestArchive(const TSearchIndex& index, const TSearchIndex::TPlace& place, TIndexQuery& query,
                 const TEntryTests& tests, TIndexSegment& segment,
                 std::vector<THostMessage>& messages, std::vector<TPassed>& passed) {
    thread_local std::vector<std::uint32_t> candidates;
    const int which = place.File == &index.Main() ? 0 : 1;
    messages.clear();
    passed.clear();
    if (!query.Scan()) {
        query.Candidates(*place.File, which, place.Archive, candidates);
        // Nothing to test and nothing to show: the segment is not touched.
        if (candidates.empty() && place.File->MessagesOf(place.Archive) == 0) return true;
    }
    if (!place.File->Segment(place.Archive, segment) || !segment.Messages(messages)) return false;
    return CollectPassed(segment, query.Scan() ? nullptr : &candidates, tests, passed);
}

} // namespace

TSearchOutcome RunIndexedSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                                const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                                const std::atomic<bool>& stop, int threads) {
    TSearchIndex index;
    if (!RefreshSearchIndex(list, index, threads).Usable)
        return RunArchivesSearch(list, slots, criteria, sink, host, stop, threads);
    TSearchOutcome outcome;
    const TEntryTests tests(criteria);
    TIndexQuery query(criteria.Pattern);
    bool damaged = !query.LookUp(index.Main(), 0) || !query.LookUp(index.Changes(), 1);
    TIndexSegment segment;
    std::vector<TPassed> passed;
    std::vector<THostMessage> messages;
    for (const std::int32_t slot : slots) {
        if (!list.ValidSlot(slot) || list[slot].Listed == 0) continue;
        if (stop.load(std::memory_order_relaxed)) {
            outcome.Stopped = true;
            break;
        }
        const THead& row = list[slot];
        const TSearchIndex::TPlace place = index.Find(row.FileName);
        bool fromIndex = place.File != nullptr && !damaged;
        if (fromIndex && !TestArchive(index, place, query, tests, segment, messages, passed)) {
            damaged = true;
            fromIndex = false;
        }
        if (!fromIndex) {
            Add(outcome, RunArchivesSearch(list, {slot}, criteria, sink, host, stop, 1));
            if (outcome.Stopped) break;
            continue;
        }
        for (const THostMessage& message : messages)
            message.Warning ? host.Warn(message.Text) : host.Inform(message.Text);
        sink.OnArchive(slot, row.Name);
        ++outcome.ArchivesSearched;
        outcome.EntriesTested += place.File->EntriesOf(place.Archive);
        if (!ReportPassed(segment, passed, slot, row, list.PathOf(slot), tests, sink, stop,
                          outcome))
            break;
    }
    if (damaged) {
        index.Close();
        for (const std::string_view file : {kSearchIndexFile, kSearchIndexChangesFile})
            ::unlink(JoinPath(list.Folder, std::string(file)).c_str());
    }
    return outcome;
}

TSearchOutcome RunFolderSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                               const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                               const std::atomic<bool>& stop, TIndexUse use, int threads) {
    const bool indexed = use == TIndexUse::Always ||
                         (use == TIndexUse::IfPresent &&
                          PathExists(JoinPath(list.Folder, std::string(kSearchIndexFile))));
    return indexed ? RunIndexedSearch(list, slots, criteria, sink, host, stop, threads)
                   : RunArchivesSearch(list, slots, criteria, sink, host, stop, threads);
}

} // namespace orbisk
