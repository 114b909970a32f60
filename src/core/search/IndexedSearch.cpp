#include "core/search/IndexedSearch.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <unordered_map>

#include "core/catalog/ProgramValues.h"
#include "core/catalog/TextFile.h"
#include "core/search/ArchivePrefetch.h"
#include "core/search/EntryTests.h"

namespace orbisk {

namespace {

// Whether a new file can be made in folder: a temporary file is created and
// removed again (the permission bits alone do not say it for root, nor for a
// read-only mount).
bool FolderWritable(const std::string& folder) {
    std::string name = JoinPath(folder, ".orbisk-probe-XXXXXX");
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(name.c_str());
    return true;
}

// One archive of the refreshed index: the old section kept, or made anew.
struct TPart {
    TArchiveIdentity Id;
    std::string_view Kept; // into the old index
    std::string Made;
    std::string Path;
    bool Read = true; // a made part could be read
};

// Reads the archives of parts that need it and makes their sections, on
// reader threads as a search reads archives.
void MakeParts(std::vector<TPart*>& todo, int threads) {
    std::vector<std::string> files;
    for (const TPart* part : todo)
        files.push_back(part->Path);
    std::unordered_map<std::string, const TPart*> byPath;
    for (const TPart* part : todo)
        byPath.emplace(part->Path, part);
    TArchivePrefetch prefetch(files, std::max(threads, 1) - 1, [&](TPrefetched& item) {
        item.Prepared.clear();
        if (!item.Read) return;
        const auto it = byPath.find(item.Arch.Head.FileName);
        if (it != byPath.end())
            item.Prepared = BuildIndexSection(it->second->Id, item.Arch, item.Messages);
    });
    for (TPart* part : todo) {
        TPrefetched* item = prefetch.Next();
        part->Read = item->Read;
        part->Made = std::move(item->Prepared);
    }
}

void Count(const TSearchIndex& index, TIndexRefresh& refresh) {
    refresh.Archives = static_cast<std::int32_t>(index.Sections().size());
    refresh.Entries = 0;
    for (const TIndexSection& section : index.Sections())
        refresh.Entries += section.EntryCount();
    refresh.Bytes = index.ByteSize();
}

} // namespace

TIndexRefresh RefreshSearchIndex(const TArchiveList& list, TSearchIndex& index, int threads) {
    TIndexRefresh refresh;
    const std::string path = JoinPath(list.Folder, std::string(kSearchIndexFile));
    const bool hadIndex = index.Open(path);
    std::vector<TPart> parts;
    std::unordered_map<std::string_view, bool> seen;
    std::size_t kept = 0;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot) {
        const THead& row = list[slot];
        if (row.Listed == 0 || !seen.emplace(row.FileName, true).second) continue;
        TPart part;
        part.Path = list.PathOf(slot);
        if (!StatIdentity(part.Path, row.FileName, part.Id)) continue; // searched in its file
        const TIndexSection* old = index.Find(row.FileName);
        if (old != nullptr && old->Identity().SameFile(part.Id)) {
            part.Kept = old->Bytes();
            ++kept;
        }
        parts.push_back(std::move(part));
    }
    std::vector<TPart*> todo;
    for (TPart& part : parts)
        if (part.Kept.empty()) todo.push_back(&part);
    if (hadIndex && todo.empty() && kept == index.Sections().size()) {
        refresh.Usable = true;
        Count(index, refresh);
        return refresh;
    }
    if (!FolderWritable(list.Folder)) {
        index.Close();
        return refresh;
    }
    MakeParts(todo, threads);
    std::vector<std::string_view> sections;
    for (const TPart& part : parts) {
        if (!part.Kept.empty())
            sections.push_back(part.Kept);
        else if (part.Read && !part.Made.empty())
            sections.push_back(part.Made);
    }
    // The kept parts are written straight from the old file's mapping, which
    // stays valid after the new file is renamed over it.
    std::string head, table;
    const TFileStatus saved =
        SaveFileAtomically(path, IndexFilePieces(sections, head, table), BackupMode::None, "");
    index.Close();
    if (!saved || !index.Open(path)) return refresh;
    refresh.Usable = true;
    refresh.Saved = true;
    refresh.Indexed = static_cast<std::int32_t>(todo.size());
    Count(index, refresh);
    return refresh;
}

namespace {

// The trigrams of the literal runs of one form of a pattern.
struct TFormTrigrams {
    std::vector<std::uint32_t> Trigrams;
    bool Scan = false; // no run of three bytes: every entry is a candidate
};

TFormTrigrams TrigramsOf(std::string_view pattern) {
    TFormTrigrams form;
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

// Finds the candidates of a pattern in the sections of an index.
class TIndexQuery {
public:
    explicit TIndexQuery(const TPatternForms& pattern) {
        forms_.push_back(TrigramsOf(pattern.Utf8));
        // A Windows-1250 name can only match the Windows-1250 form, and only
        // when the pattern has one.
        if (pattern.Cp1250 != pattern.Utf8 && pattern.Cp1250Fits)
            forms_.push_back(TrigramsOf(pattern.Cp1250));
        for (const TFormTrigrams& form : forms_)
            scan_ = scan_ || form.Scan;
    }

    bool Scan() const { return scan_; }

    // The candidates of section, ascending; false when it proves damaged.
    bool Candidates(const TIndexSection& section, std::vector<std::uint32_t>& out) {
        out.clear();
        for (const TFormTrigrams& form : forms_) {
            if (!Intersect(section, form.Trigrams)) return false;
            out.insert(out.end(), found_.begin(), found_.end());
        }
        if (forms_.size() > 1) {
            std::sort(out.begin(), out.end());
            out.erase(std::unique(out.begin(), out.end()), out.end());
        }
        return true;
    }

private:
    // found_ receives the entries holding every trigram, rarest list first.
    bool Intersect(const TIndexSection& section, std::vector<std::uint32_t> trigrams) {
        found_.clear();
        std::vector<std::pair<std::uint32_t, std::uint32_t>> bySize;
        for (const std::uint32_t t : trigrams) {
            const std::uint32_t bytes = section.PostingBytes(t);
            if (bytes == 0) return true; // absent: no candidate
            bySize.emplace_back(bytes, t);
        }
        std::sort(bySize.begin(), bySize.end());
        for (std::size_t k = 0; k < bySize.size(); ++k) {
            if (!section.Postings(bySize[k].second, list_)) return false;
            if (k == 0) {
                found_.swap(list_);
            } else {
                const auto end = std::set_intersection(found_.begin(), found_.end(), list_.begin(),
                                                       list_.end(), found_.begin());
                found_.erase(end, found_.end());
            }
            if (found_.empty()) break;
        }
        return true;
    }

    std::vector<TFormTrigrams> forms_;
    bool scan_ = false;
    std::vector<std::uint32_t> found_, list_;
};

struct TPassed {
    std::uint32_t Entry;
    std::uint32_t Dir;
};

// The entries of section that pass the tests, with their folders; false when
// the section proves damaged.
bool CollectPassed(const TIndexSection& section, TIndexQuery& query, const TEntryTests& tests,
                   std::vector<std::uint32_t>& candidates, std::vector<TPassed>& passed) {
    passed.clear();
    const bool scan = query.Scan();
    if (!scan && !query.Candidates(section, candidates)) return false;
    std::size_t next = 0;
    for (std::uint32_t d = 0; d < section.DirCount(); ++d) {
        std::string_view path;
        std::uint32_t first = 0, count = 0;
        if (!section.Dir(d, path, first, count)) return false;
        const std::uint32_t end = first + count;
        std::uint32_t e = first;
        if (!scan) {
            while (next < candidates.size() && candidates[next] < first)
                ++next;
        }
        while (scan ? e < end : next < candidates.size() && candidates[next] < end) {
            const std::uint32_t entry = scan ? e++ : candidates[next++];
            std::string_view name;
            if (!section.Name(entry, name)) return false;
            if (!tests.NameMatches(name)) continue;
            TRec rec;
            if (!section.Fields(entry, rec)) return false;
            if (tests.OthersPass(rec)) passed.push_back({entry, d});
        }
    }
    return true;
}

// Hands over the results of one archive; false when the sink refuses more or
// the stop flag is seen (tested before each result, as over the files).
bool ReportPassed(const TIndexSection& section, const std::vector<TPassed>& passed,
                  std::int32_t slot, const THead& row, const std::string& file,
                  const TEntryTests& tests, TSearchSink& sink, const std::atomic<bool>& stop,
                  TSearchOutcome& outcome) {
    std::uint32_t shownDir = section.DirCount();
    for (const TPassed& p : passed) {
        if (stop.load(std::memory_order_relaxed)) {
            outcome.Stopped = true;
            return false;
        }
        std::string_view path;
        std::uint32_t first = 0, count = 0;
        section.Dir(p.Dir, path, first, count);
        if (p.Dir != shownDir) sink.OnFolder(path);
        shownDir = p.Dir;
        TSearchResult result;
        TRec rec;
        section.Fields(p.Entry, rec);
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
    std::vector<std::uint32_t> candidates;
    std::vector<TPassed> passed;
    std::vector<THostMessage> messages;
    bool damaged = false;
    for (const std::int32_t slot : slots) {
        if (!list.ValidSlot(slot) || list[slot].Listed == 0) continue;
        if (stop.load(std::memory_order_relaxed)) {
            outcome.Stopped = true;
            break;
        }
        const THead& row = list[slot];
        const TIndexSection* section = index.Find(row.FileName);
        if (section != nullptr && (!section->Messages(messages) ||
                                   !CollectPassed(*section, query, tests, candidates, passed))) {
            damaged = true;
            section = nullptr;
        }
        if (section == nullptr) {
            Add(outcome, RunArchivesSearch(list, {slot}, criteria, sink, host, stop, 1));
            if (outcome.Stopped) break;
            continue;
        }
        for (const THostMessage& message : messages)
            message.Warning ? host.Warn(message.Text) : host.Inform(message.Text);
        sink.OnArchive(slot, row.Name);
        ++outcome.ArchivesSearched;
        outcome.EntriesTested += section->EntryCount();
        if (!ReportPassed(*section, passed, slot, row, list.PathOf(slot), tests, sink, stop,
                          outcome))
            break;
    }
    if (damaged) ::unlink(JoinPath(list.Folder, std::string(kSearchIndexFile)).c_str());
    return outcome;
}

} // namespace orbisk
