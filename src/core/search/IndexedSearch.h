#pragma once
// The search over many archives through the search index of their folder,
// with the answers of RunArchivesSearch: the same results in the same order,
// the same marked names, the same caps and the same messages.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/catalog/ArchiveList.h"
#include "core/catalog/Host.h"
#include "core/search/SearchIndex.h"
#include "core/search/SearchRun.h"

namespace orbisk {

// The index of a folder as a refresh leaves it: its main and changes files,
// and for every listed archive found fresh in one of them, where. The files
// stay mapped in the process between searches while they are unchanged (a
// stat of each tells), so a search again soon after does not pay for
// mapping and checking them anew, as a search over the files finds them in
// the page cache.
class TSearchIndex {
public:
    TSearchIndex();
    struct TPlace {
        const TIndexFile* File = nullptr; // nullptr: not in the index
        std::uint32_t Archive = 0;
    };

    const TIndexFile& Main() const { return *main_; }
    const TIndexFile& Changes() const { return *changes_; }
    // Where the archive of the list's row slot is kept fresh.
    TPlace Find(std::int32_t slot) const {
        return slot >= 0 && static_cast<std::size_t>(slot) < bySlot_.size() ? bySlot_[slot]
                                                                            : TPlace{};
    }
    std::int32_t ArchiveCount() const { return static_cast<std::int32_t>(fresh_.size()); }
    std::int64_t EntryCount() const;
    void Close();

private:
    friend class TIndexRefresher;
    std::shared_ptr<const TIndexFile> main_, changes_;
    std::vector<TPlace> fresh_;  // each fresh archive once
    std::vector<TPlace> bySlot_; // by the list's row (rows naming one file alike)
};

struct TIndexRefresh {
    bool Usable = false;       // the index is fresh and open
    bool Saved = false;        // a file was written anew
    bool Consolidated = false; // of them the main file
    std::int32_t Archives = 0; // listed archives it holds
    std::int32_t Indexed = 0;  // of them read and indexed again now
    std::int64_t Entries = 0;  // entries of those archives
    std::uint64_t Bytes = 0;   // the size of its files
};

// Brings the index of list.Folder up to date with the Listed rows of list and
// opens it in index: each row's file is checked by stat against the archive
// tables; an archive that is new or whose identity changed is read and put
// into the changes file together with the changed ones already there; one
// that vanished is passed over. When the changes outgrow a share of the main
// file, or there is no main file, the main file is made anew from all fresh
// segments (read again only where changed) and the changes file removed. A
// foreign or damaged file counts as absent. Files are replaced by the safe
// save, the changes file without waiting for the disk. An archive that
// cannot be read is left out (a search reads it itself and shows its
// message). Usable is false when the folder cannot be written and the index
// would have to change: the search then reads the archives. With threads
// above 1, archives are read on threads - 1 reader threads too.
// A share is a 64th of the entries used from the main file plus
// changesFloor entries. When stop is set and becomes true while archives are
// read, the refresh ends without writing anything and Usable is false (a
// build in the background that its window no longer wants).
inline constexpr std::int64_t kIndexChangesFloor = 50000;
TIndexRefresh RefreshSearchIndex(const TArchiveList& list, TSearchIndex& index, int threads = 1,
                                 std::int64_t changesFloor = kIndexChangesFloor,
                                 const std::atomic<bool>* stop = nullptr);

// RunArchivesSearch through the index: refreshes it, then looks up the
// trigrams of the pattern's literal runs once for all archives and, for every
// row of slots in order, tests the candidate entries of its archive (every
// entry when a form of the pattern has no run of three bytes) with the same
// tests; results, archive calls and messages go to sink and host as the run
// over the files gives them, except that OnFolder is called only for the
// folders that hold results. A row not in the index (its file is missing or
// unreadable) and an archive whose part of the index proves damaged are
// searched in their files; damaged index files are removed so that the next
// search builds them again. When the index is not usable, or stop comes while
// it is being brought up to date (which then writes nothing), the search is
// RunArchivesSearch.
TSearchOutcome RunIndexedSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                                const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                                const std::atomic<bool>& stop, int threads = 1);

// How a search of the archives of a folder uses the folder's index. A folder
// that has one is searched through it (kept up to date on the way); one that
// has none gets it only when asked, since building it costs more than many
// searches over the files.
enum class TIndexUse {
    IfPresent, // through the index when the folder has one
    Always,    // through the index, built when missing
    Never,     // the archive files
};

// RunIndexedSearch or RunArchivesSearch of the archives of list, as use says.
TSearchOutcome RunFolderSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                               const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                               const std::atomic<bool>& stop, TIndexUse use, int threads = 1);

} // namespace orbisk
