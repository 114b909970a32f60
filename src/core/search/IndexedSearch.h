#pragma once
// The search over many archives through the search index of their folder,
// with the answers of RunArchivesSearch: the same results in the same order,
// the same marked names, the same caps and the same messages.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "core/catalog/ArchiveList.h"
#include "core/catalog/Host.h"
#include "core/search/SearchIndex.h"
#include "core/search/SearchRun.h"

namespace orbisk {

struct TIndexRefresh {
    bool Usable = false;       // the index file is fresh and open
    bool Saved = false;        // the file was written anew
    std::int32_t Archives = 0; // archives it holds
    std::int32_t Indexed = 0;  // of them read and indexed again now
    std::int64_t Entries = 0;  // entries it holds
    std::uint64_t Bytes = 0;   // its size
};

// Brings the index of list.Folder up to date with the Listed rows of list and
// opens it in index: each row's file is checked by stat; an archive that is
// new or whose identity changed is read and indexed again, one that vanished
// is dropped, the others are kept as they are. A missing, foreign or damaged
// file is built anew. The file is replaced with the safe save, and only when
// something changed; an archive that cannot be read is left out (a search
// reads it itself and shows its message). Usable is false when the folder
// cannot be written and the index would have to change: the search then
// reads the archives. With threads above 1, archives are read on threads - 1
// reader threads too.
TIndexRefresh RefreshSearchIndex(const TArchiveList& list, TSearchIndex& index, int threads = 1);

// RunArchivesSearch through the index: refreshes it, then for every row of
// slots takes the candidates from the trigrams of the pattern's literal runs
// (every entry when a form of the pattern has no run of three bytes) and
// tests each with the same tests; results, folder and archive calls and
// messages go to sink and host as the run over the files gives them, except
// that OnFolder is called only for the folders that hold results. A row not
// in the index (its file is missing or unreadable) and an archive whose part
// of the index proves damaged are searched in their files; a damaged index
// file is removed so that the next search builds it again. When the index
// is not usable, the search is RunArchivesSearch.
TSearchOutcome RunIndexedSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                                const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                                const std::atomic<bool>& stop, int threads = 1);

} // namespace orbisk
