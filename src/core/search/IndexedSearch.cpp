#include "core/search/IndexedSearch.h"

#include <algorithm>
#include <unistd.h>

#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "core/search/EntryTests.h"

namespace orbisk {

namespace {

// The trigrams of the literal runs of one form of a pattern, and per index
// file the archives whose names may hold them all.
struct TForm {
    std::vector<std::uint32_t> Trigrams;
    bool Scan = false;                      // no run of three bytes: every entry is a candidate
    std::vector<std::uint32_t> Archives[2]; // main file, changes file
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

// Intersects ascending lists: out keeps what list holds too.
void KeepCommon(std::vector<std::uint32_t>& out, const std::vector<std::uint32_t>& list) {
    const auto end =
        std::set_intersection(out.begin(), out.end(), list.begin(), list.end(), out.begin());
    out.erase(end, out.end());
}

// Finds the candidates of a pattern: the archives through the folder-wide
// directories once, then the entries of one archive through its segment when
// it comes to be searched.
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

    // Looks the trigrams up in file (0 main, 1 changes), the rarest first;
    // false when damaged.
    bool LookUp(const TIndexFile& file, int which) {
        if (scan_ || !file.IsOpen()) return true;
        for (TForm& form : forms_) {
            std::vector<std::pair<std::uint64_t, std::uint32_t>> bySize;
            for (const std::uint32_t t : form.Trigrams)
                bySize.emplace_back(file.ArchiveListBytes(t), t);
            std::sort(bySize.begin(), bySize.end());
            std::vector<std::uint32_t>& out = form.Archives[which];
            for (std::size_t k = 0; k < bySize.size() && (k == 0 || !out.empty()); ++k) {
                if (!file.Archives(bySize[k].second, k == 0 ? out : list_)) return false;
                if (k > 0) KeepCommon(out, list_);
            }
        }
        return true;
    }

    // Whether archive a of file which may hold a candidate.
    bool MayHold(int which, std::uint32_t a) const {
        return std::any_of(forms_.begin(), forms_.end(), [&](const TForm& form) {
            return std::binary_search(form.Archives[which].begin(), form.Archives[which].end(), a);
        });
    }

    // The candidates of archive a of file which in its segment, ascending,
    // or every entry (all); false when the segment proves damaged.
    bool Candidates(const TIndexSegment& segment, int which, std::uint32_t a,
                    std::vector<std::uint32_t>& out, bool& all) {
        out.clear();
        all = false;
        for (const TForm& form : forms_) {
            if (!std::binary_search(form.Archives[which].begin(), form.Archives[which].end(), a))
                continue;
            if (!Intersect(segment, form.Trigrams, out, all)) return false;
            if (all) return true;
        }
        if (forms_.size() > 1) {
            std::sort(out.begin(), out.end());
            out.erase(std::unique(out.begin(), out.end()), out.end());
        }
        return true;
    }

private:
    // Appends to out the entries of the blocks of segment holding every
    // trigram, the rarest list first; all when every list stands for every
    // block. A list
    // far longer than the candidates left is not read: the candidates are
    // tested by the matcher anyway, and testing them costs less.
    bool Intersect(const TIndexSegment& segment, const std::vector<std::uint32_t>& trigrams,
                   std::vector<std::uint32_t>& out, bool& all) {
        std::vector<std::pair<std::uint32_t, std::uint32_t>> bySize;
        for (const std::uint32_t t : trigrams) {
            const std::int64_t k = segment.FindTrigram(t);
            if (k < 0) return true; // no name holds it: no candidate
            const std::uint32_t bytes = segment.PostingBytes(static_cast<std::uint32_t>(k));
            if (bytes > 0) bySize.emplace_back(bytes, static_cast<std::uint32_t>(k));
        }
        if (bySize.empty()) {
            all = true;
            return true;
        }
        std::sort(bySize.begin(), bySize.end());
        bool every = false;
        for (std::size_t k = 0; k < bySize.size(); ++k) {
            if (k > 0 && bySize[k].first > 64 * std::max<std::size_t>(found_.size(), 64)) break;
            if (!segment.Postings(bySize[k].second, k == 0 ? found_ : list_, every)) return false;
            if (k > 0) KeepCommon(found_, list_);
            if (found_.empty()) break;
        }
        const std::uint64_t entries = segment.EntryCount();
        for (const std::uint32_t block : found_)
            for (std::uint64_t e = std::uint64_t{block} * kIndexBlockEntries;
                 e < entries && e < (std::uint64_t{block} + 1) * kIndexBlockEntries; ++e)
                out.push_back(static_cast<std::uint32_t>(e));
        return true;
    }

    std::vector<TForm> forms_;
    bool scan_ = false;
    std::vector<std::uint32_t> list_, found_;
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
    const bool mayHold = query.Scan() || query.MayHold(which, place.Archive);
    // Nothing to test and nothing to show: the segment is not touched.
    if (!mayHold && place.File->MessagesOf(place.Archive) == 0) return true;
    if (!place.File->Segment(place.Archive, segment) || !segment.Messages(messages)) return false;
    if (!mayHold) return true;
    bool all = query.Scan();
    if (!all && !query.Candidates(segment, which, place.Archive, candidates, all)) return false;
    return CollectPassed(segment, all ? nullptr : &candidates, tests, passed);
}

} // namespace

TSearchOutcome RunIndexedSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                                const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                                const std::atomic<bool>& stop, int threads) {
    TSearchIndex index;
    if (!RefreshSearchIndex(list, index, threads, kIndexChangesFloor, &stop).Usable)
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
        const TSearchIndex::TPlace place = index.Find(slot);
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
