#pragma once
// The search run: every entry of one archive, or of a sequence of archives of
// the archive list, tested against the criteria of a search; each result is
// handed to a sink. Search windows run it on their worker thread, the
// command-line tool on its own.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/Host.h"
#include "core/search/SearchCriteria.h"

namespace orbisk {

// The most results a search window shows: the text view takes 30000 lines,
// the list view 4000 rows. The result that reaches the cap is still shown,
// then the search ends.
inline constexpr std::int64_t kTextResultCap = 30000;
inline constexpr std::int64_t kListResultCap = 4000;
inline constexpr std::int64_t ResultCap(bool listView) {
    return listView ? kListResultCap : kTextResultCap;
}

struct TSearchResult {
    std::int32_t ArchiveSlot = 0; // row of the archive list; 0 for the open archive
    std::string ArchiveName;      // the "CD" column
    std::string ArchiveFile;      // the file the archive was read from
    std::string Path;             // the folder's path, "\" at both ends
    std::string MarkedName;       // the name with kMarkOn / kMarkOff marks
    // The entry; Rec.Name is the name. As made by a search its fields lie in
    // Storage, one block the result (and its copies) keep alive; a copy of
    // Rec alone owns its fields.
    TRec Rec;
    std::shared_ptr<const char[]> Storage;
};

// Sets result.Rec to a copy of rec whose fields share one block of memory
// kept in result.Storage: one allocation for an entry instead of one a field.
void SetResultRec(TSearchResult& result, const TRec& rec);

// The text-view line of a result: archive name, ":", folder path, two
// blanks, marked name.
std::string TextLine(const TSearchResult& result);

// The list-view columns of a result: "CD", "Adresář", "Název", "Velikost"
// (FormatSize), "Datum", "Atribut", "Poznámka", "Popis" (as stored).
std::array<std::string, 8> ListColumns(const TSearchResult& result);

// Receives what a run finds, on the thread that runs it. A window collects
// results and hands them to its interface thread in batches.
class TSearchSink {
public:
    virtual ~TSearchSink() = default;
    // An archive of a many-archive search has been loaded (after the messages
    // of its loading) and is about to be searched.
    virtual void OnArchive(std::int32_t /*slot*/, std::string_view /*name*/) {}
    // The run has come to a folder (before deciding whether it is searched).
    virtual void OnFolder(std::string_view /*path*/) {}
    // One result; returning false ends the search (a result cap was reached).
    virtual bool OnResult(TSearchResult&& result) = 0;
};

struct TSearchOutcome {
    std::int64_t Results = 0;       // handed to the sink
    std::int64_t EntriesTested = 0; // entries whose name was matched
    std::int32_t ArchivesSearched = 0;
    bool Stopped = false; // ended by the stop flag or by the sink
};

// Searches arch: its folders in stored order, of them those whose path
// begins with currentPath (byte for byte, so "\DOC\" takes "\DOC\OLD\" and not
// "\DOCS\"), their entries in stored order, skipping entries deleted in
// memory. An entry is a result when its name matches the pattern and it
// passes the size, note and description tests that are on. stop is tested
// before each entry. Results carry arch's header Name and FileName and slot 0.
TSearchOutcome RunArchiveSearch(const TArch& arch, std::string_view currentPath,
                                const TSearchCriteria& criteria, TSearchSink& sink,
                                const std::atomic<bool>& stop);

// Which archives a many-archive search covers.
enum class TSearchScope {
    AllArchives = 0,      // "všechny archívy": every row, in list order
    SelectedArchives = 1, // "označené archívy": the selected rows, in view order
    Subcategories = 2,    // "všechny podkategorie": rows filed under CategoryPath
};

// The category path of a folder node of the archive tree from the texts of
// the node and its ancestors, top first: each followed by "\", and a "\" in
// front unless that gives exactly "\". No texts give the empty path.
std::string CategoryPathOf(const std::vector<std::string>& nodeTexts);

// The rows a scope searches, in order: every slot for AllArchives; the given
// selected slots (those that are slots of list) for SelectedArchives; for
// Subcategories every row whose TreePath begins with categoryPath byte for
// byte ("\CD\" takes "\CD\Hudba\" and not "\CDR\"), none when categoryPath is
// empty. Rows without Listed are kept: the run passes over them.
std::vector<std::int32_t> ArchivesToSearch(const TArchiveList& list, TSearchScope scope,
                                           const std::vector<std::int32_t>& selected,
                                           std::string_view categoryPath);

// Searches the archives of slots in order, every folder of each (the archive
// open in a window is never touched: each is read into the run's own TArch).
// A row without Listed is passed over silently. A row's file is read with
// ReadArchive; one that is missing or unreadable has its message shown
// through host and gives no results. Results carry the row's slot and Name
// and the file read.
//
// With threads above 1, threads - 1 reader threads read the next archives and
// test their entries while the calling thread hands over the results of the
// one before (and, rather than wait, reads and tests archives too); at most
// 2 * threads + 1 archives are held at once (one with one thread). Results,
// sink calls and host messages come on the calling thread in exactly the
// order of a run with one thread; reader threads never call host. A stopped
// run returns once the readers have finished the archive in hand.
TSearchOutcome RunArchivesSearch(const TArchiveList& list, const std::vector<std::int32_t>& slots,
                                 const TSearchCriteria& criteria, TSearchSink& sink, Host& host,
                                 const std::atomic<bool>& stop, int threads = 1);

} // namespace orbisk
