#include "core/search/IndexedSearch.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "core/catalog/ArchiveFile.h"
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
        std::vector<std::pair<std::uint32_t, std::uint32_t>>& bySize = bySize_;
        bySize.clear();
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
        // Fetched side by side, not one line after the other as the tests go.
        for (const std::uint32_t block : found_)
            segment.Prefetch(block);
        for (const std::uint32_t block : found_)
            for (std::uint64_t e = std::uint64_t{block} * kIndexBlockEntries;
                 e < entries && e < (std::uint64_t{block} + 1) * kIndexBlockEntries; ++e)
                out.push_back(static_cast<std::uint32_t>(e));
        return true;
    }

    std::vector<TForm> forms_;
    bool scan_ = false;
    std::vector<std::uint32_t> list_, found_;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> bySize_; // (posting bytes, trigram)
};

// An entry that passed, as the thread that hands it over needs it: small,
// since that thread reads it from the other one's memory.
struct TPassed {
    std::uint32_t Dir;
    bool Marked;                      // handed over (marking agrees with the test)
    std::uint32_t MarkAt, MarkLength; // its marked name in the work's Marks
    std::string_view Path;            // its folder's, in the segment
    std::string_view Line;            // its line, in the segment
};

// The entries of segment that pass the tests, with their folders and marked
// names (made here, where the names were just read); false when the segment
// proves damaged.
bool CollectPassed(const TIndexSegment& segment, const std::vector<std::uint32_t>* candidates,
                   const TEntryTests& tests, std::vector<TPassed>& passed, std::string& marks) {
    thread_local std::string marked;
    passed.clear();
    marks.clear();
    const std::size_t count = candidates ? candidates->size() : segment.EntryCount();
    std::uint32_t dir = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const std::uint32_t entry = candidates ? (*candidates)[k] : static_cast<std::uint32_t>(k);
        std::string_view line;
        std::size_t nameLength = 0;
        if (!segment.Line(entry, line, &nameLength)) return false;
        if (!tests.NameMatches(line.substr(0, nameLength))) continue;
        TRec rec;
        if (!SplitEntryLine(line, rec)) return false;
        if (!tests.OthersPass(rec)) continue;
        std::string_view path;
        std::uint32_t first = 0, entries = 0;
        if (!segment.DirOf(entry, dir) || !segment.Dir(dir, path, first, entries)) return false;
        const bool shown = tests.Mark(rec.Name, marked);
        passed.push_back({dir, shown, static_cast<std::uint32_t>(marks.size()),
                          static_cast<std::uint32_t>(marked.size()), path, line});
        marks += marked;
    }
    return true;
}

// One archive's part of a search through the index, tested on whichever
// thread took it. Its results are made on the search's own thread as they
// are handed over, in the order of the rows: the memory of a result is then
// taken and given back on one thread, where the other thread's allocator
// would have to be locked for each of them.
struct TArchiveWork {
    bool FromIndex = false; // else its files are searched when its turn comes
    bool Damaged = false;   // its part of the index proved damaged
    std::vector<THostMessage> Messages;
    std::vector<TPassed> Passed;
    std::string Marks; // the marked names of Passed one after the other
};

// Hands over the results of the entries of one archive that passed, as the
// search over the files would; false when the sink refuses more or the stop
// flag is seen (tested before each result, as over the files).
bool HandOver(const TArchiveWork& work, std::int32_t slot, const THead& row,
              const std::string& file, TSearchSink& sink, const std::atomic<bool>& stop,
              TSearchOutcome& outcome) {
    std::uint32_t shownDir = UINT32_MAX;
    for (const TPassed& p : work.Passed) {
        if (stop.load(std::memory_order_relaxed)) {
            outcome.Stopped = true;
            return false;
        }
        if (p.Dir != shownDir) sink.OnFolder(p.Path);
        shownDir = p.Dir;
        if (!p.Marked) continue;
        TSearchResult result;
        result.MarkedName.assign(work.Marks, p.MarkAt, p.MarkLength);
        result.ArchiveSlot = slot;
        result.ArchiveName = row.Name;
        result.ArchiveFile = file;
        result.Path = p.Path;
        TRec rec;
        SplitEntryLine(p.Line, rec); // as it was split when tested
        SetResultRec(result, rec);
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

// The segment of a fresh archive with its messages and the entries that pass,
// into work as its run cleared it; false when that part of the index proves
// damaged.
bool TestArchive(const TSearchIndex& index, const TSearchIndex::TPlace& place, TIndexQuery& query,
                 const TEntryTests& tests, TIndexSegment& segment, TArchiveWork& work) {
    thread_local std::vector<std::uint32_t> candidates;
    const int which = place.File == &index.Main() ? 0 : 1;
    const bool mayHold = query.Scan() || query.MayHold(which, place.Archive);
    // Nothing to test and nothing to show: the segment is not touched.
    if (!mayHold && place.File->MessagesOf(place.Archive) == 0) return true;
    if (!place.File->Segment(place.Archive, segment) || !segment.Messages(work.Messages))
        return false;
    if (!mayHold) return true;
    bool all = query.Scan();
    if (!all && !query.Candidates(segment, which, place.Archive, candidates, all)) return false;
    return CollectPassed(segment, all ? nullptr : &candidates, tests, work.Passed, work.Marks);
}

// Tests the archives of the rows of a search in runs of consecutive rows,
// taken in order by the search's thread and, with two threads, by a helper
// thread; neither takes a run more than a few ahead of the one being handed
// over, since its results wait in memory.
class TArchiveTesting {
public:
    TArchiveTesting(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                    const TSearchIndex& index, const TIndexQuery& query, const TEntryTests& tests,
                    int threads)
        : list_(list), slots_(slots), index_(index), tests_(tests), query_(query), own_(query),
          // Short runs for a short list, so that both threads have some.
          runRows_(std::clamp<std::size_t>(slots.size() / 16, 1, 8)),
          runCount_((slots.size() + runRows_ - 1) / runRows_) {
        if (threads > 1 && runCount_ > 1) {
            try {
                helper_ = std::thread([this] { Help(); });
            } catch (const std::system_error&) {
            }
        }
    }
    ~TArchiveTesting() {
        quit_.store(true);
        handedOver_.fetch_add(1);
        handedOver_.notify_all();
        if (helper_.joinable()) helper_.join();
    }

    // The work of row k of slots, made by now; valid until a later run's row
    // is asked for.
    TArchiveWork& Work(std::size_t k) {
        const std::size_t run = k / runRows_;
        TRun& r = ring_[run % kRing];
        if (run != current_) {
            // The run handed over frees its place for a run further on.
            if (current_ != SIZE_MAX) ring_[current_ % kRing].State.store(kFree);
            current_ = run;
            handedOver_.store(run);
            handedOver_.notify_all();
            for (;;) {
                const int state = r.State.load();
                if (state == kDone) break;
                // Rather than wait for the helper, test the next run here.
                const std::size_t next = Claim(run + kRunsAhead);
                if (next != SIZE_MAX) {
                    Test(next, own_);
                    continue;
                }
                r.State.wait(state);
            }
        }
        return r.Works[k % runRows_];
    }

private:
    static constexpr std::size_t kRunsAhead = 4;
    // The runs being tested or handed over take their places in a ring, run
    // r in place r % kRing, and keep their memory from one run to the next:
    // no run is taken more than kRunsAhead after the one handed over, whose
    // place is freed only when the next is handed over.
    static constexpr std::size_t kRing = kRunsAhead + 2;
    enum : int { kFree, kTaken, kDone };
    struct TRun {
        std::atomic<int> State{kFree};
        std::vector<TArchiveWork> Works;
    };
    // What testing needs of its own on each thread.
    struct TTester {
        explicit TTester(const TIndexQuery& query) : Query(query) {}
        TIndexQuery Query; // its scratch lists
        TIndexSegment Segment;
    };

    // The first run not yet taken, now taken, when it is at most `most`;
    // SIZE_MAX otherwise.
    std::size_t Claim(std::size_t most) {
        std::size_t run = next_.load();
        while (run < runCount_ && run <= most)
            if (next_.compare_exchange_weak(run, run + 1)) return run;
        return SIZE_MAX;
    }

    void Help() {
        TTester tester(query_);
        for (;;) {
            const std::size_t at = handedOver_.load();
            if (quit_.load()) return;
            const std::size_t run = Claim(at + kRunsAhead);
            if (run != SIZE_MAX) {
                Test(run, tester);
                continue;
            }
            if (next_.load() >= runCount_) return;
            handedOver_.wait(at);
        }
    }

    void Test(std::size_t run, TTester& tester) {
        TRun& r = ring_[run % kRing];
        r.State.store(kTaken);
        const std::size_t begin = run * runRows_;
        const std::size_t end = std::min(slots_.size(), begin + runRows_);
        r.Works.resize(end - begin);
        for (std::size_t k = begin; k < end; ++k) {
            const std::int32_t slot = slots_[k];
            TArchiveWork& work = r.Works[k - begin];
            work.FromIndex = work.Damaged = false;
            work.Messages.clear();
            work.Passed.clear();
            if (!list_.ValidSlot(slot) || list_[slot].Listed == 0) continue;
            const TSearchIndex::TPlace place = index_.Find(slot);
            if (place.File == nullptr) continue;
            if (!TestArchive(index_, place, tester.Query, tests_, tester.Segment, work)) {
                work.Damaged = true;
                continue;
            }
            work.FromIndex = true;
        }
        r.State.store(kDone);
        r.State.notify_all();
    }

    const TArchiveList& list_;
    const std::vector<std::int32_t>& slots_;
    const TSearchIndex& index_;
    const TEntryTests& tests_;
    const TIndexQuery& query_;
    TTester own_; // the search thread's
    const std::size_t runRows_;
    const std::size_t runCount_;
    TRun ring_[kRing];
    std::atomic<std::size_t> next_{0};       // the first run not yet taken
    std::atomic<std::size_t> handedOver_{0}; // the run being handed over
    std::atomic<bool> quit_{false};
    std::size_t current_ = SIZE_MAX;
    std::thread helper_;
};

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
    {
        TArchiveTesting testing(list, slots, index, query, tests, damaged ? 1 : threads);
        for (std::size_t k = 0; k < slots.size(); ++k) {
            const std::int32_t slot = slots[k];
            if (!list.ValidSlot(slot) || list[slot].Listed == 0) continue;
            if (stop.load(std::memory_order_relaxed)) {
                outcome.Stopped = true;
                break;
            }
            TArchiveWork* work = damaged ? nullptr : &testing.Work(k);
            damaged = damaged || work->Damaged;
            if (damaged || !work->FromIndex) {
                Add(outcome, RunArchivesSearch(list, {slot}, criteria, sink, host, stop, 1));
                if (outcome.Stopped) break;
                continue;
            }
            const THead& row = list[slot];
            for (const THostMessage& message : work->Messages)
                message.Warning ? host.Warn(message.Text) : host.Inform(message.Text);
            sink.OnArchive(slot, row.Name);
            ++outcome.ArchivesSearched;
            const TSearchIndex::TPlace place = index.Find(slot);
            outcome.EntriesTested += place.File->EntriesOf(place.Archive);
            if (!HandOver(*work, slot, row, list.PathOf(slot), sink, stop, outcome)) break;
        }
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
