#pragma once
// The archive list: the headers of the archives of one folder, kept in the
// folder's cache file _cd_.lst so that a refresh does not open every archive.
// Rows are THead records in slots 1, 2, ... (slot 0 is never filled); every
// tree node and list row of the interface carries its row's slot. The list
// grows with the folder; there is no fixed number of slots.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Host.h"
#include "core/catalog/TextFile.h"
#include "core/catalog/ValueLists.h"

namespace orbisk {

inline constexpr std::string_view kArchiveListFile = "_cd_.lst";
// The medium of an archive whose header names none.
inline constexpr std::string_view kNoMedium = "Zbytek";

struct TArchiveList {
    std::string Folder;                      // the folder the rows' bare FileName live in
    std::vector<THead> Rows{std::size_t{1}}; // slot 0 never filled

    std::int32_t ArchiveCount() const { return static_cast<std::int32_t>(Rows.size()) - 1; }
    bool ValidSlot(std::int32_t slot) const { return slot >= 1 && slot <= ArchiveCount(); }
    THead& operator[](std::int32_t slot) { return Rows[static_cast<std::size_t>(slot)]; }
    const THead& operator[](std::int32_t slot) const {
        return Rows[static_cast<std::size_t>(slot)];
    }
    // Appends a row and returns its slot.
    std::int32_t Append(THead row);
    // The path of a row's archive file: Folder joined with its FileName.
    std::string PathOf(std::int32_t slot) const;
    void Clear();
};

// "\" + Medium + "\", then Typ + "\" when Typ is not empty, then SubTyp + "\"
// when both Typ and SubTyp are not empty.
std::string TreePathOf(std::string_view medium, std::string_view typ, std::string_view subTyp);

// The components of a tree path: the text after its first character split at
// each "\" (\CD\Hry\ gives CD and Hry; empty components inside are kept).
std::vector<std::string> SplitTreePath(std::string_view treePath);

// Sets a row's TreePath and takes Medium, Typ and SubTyp from its first three
// components (empty when missing), as a build does for a cached line.
void SetTreePath(THead& row, std::string treePath);

// The row of an archive whose header was read: the six header values, the
// medium kNoMedium when the header names none, its TreePath, Listed 1; SN and
// Volume stay empty.
THead ListRowOf(const THead& header, std::string fileName);

// One line of _cd_.lst.
struct TCacheLine {
    std::string TreePath, Name, FileName, Description, Owner;
};

// One line of _cd_.lst as parts of the file's text.
struct TCacheLineView {
    std::string_view TreePath, Name, FileName, Description, Owner;
};

// Reads the text of _cd_.lst line by line (CR rules of the system's text
// files) without copying: each of the first four fields is the text up to
// the next TAB, the fifth the rest of the line; missing fields are empty.
class TCacheLineReader {
public:
    explicit TCacheLineReader(std::string_view text) : lines_(text) {}
    // The next line; false at the end of the text.
    bool Next(TCacheLineView& line);

private:
    LineReader lines_;
};

// The lines of TCacheLineReader as owned strings.
std::vector<TCacheLine> ParseArchiveListCache(std::string_view text);

// The bytes of _cd_.lst for the Listed rows in slot order, lines ended by
// CR LF. A value never carries TAB, CR or 0x1A into the file (they would end
// the field, the line or the file when it is read again): such a byte becomes
// a blank, and a row whose FileName holds one gets no line at all (its header
// is read again at the next build instead).
std::string FormatArchiveListCache(const TArchiveList& list);

struct TRewriteResult {
    std::int32_t ListedCount = 0; // shown in the first field of the status bar
    bool Saved = false;           // false when the folder cannot be written
    TFileStatus Status;           // why the write failed
};

// Drops duplicate rows (the same FileName, compared exactly; the row in the
// higher slot stays Listed) and writes _cd_.lst anew from the Listed rows,
// through a temporary file renamed over the old one. A failed write leaves
// the old file and says why.
TRewriteResult RewriteArchiveList(TArchiveList& list);

struct TBuildResult {
    bool FolderRead = false; // the folder could be listed
    TValueLists ValueLists;
    // Every folder node of the archive tree as its tree path (each prefix of
    // every Listed row's TreePath), in the order first met.
    std::vector<std::string> CategoryPaths;
    std::int32_t ListedCount = 0;
    std::int32_t HeadersRead = 0; // archives whose header was read, not taken from the cache
    bool CacheSaved = false;
};

// Rebuilds list for the archives of folder: the cached lines of _cd_.lst whose
// file still exists are taken as they are, in the cache's order (headers are
// not read again); the "*.cd" files (extension in any letter case) not in the
// cache follow in name order without regard to case, then in byte order, each
// read up to its "<tree>" line; a file without a Name is skipped. File names
// are compared exactly. A cached name that names no file, but matches exactly
// one file without regard to the case of ASCII letters that no other cached
// line names exactly (a folder copied from Windows), takes that file's real
// name. No two rows name the same file. Then _cd_.lst is written anew
// (through a temporary file renamed over it) when its bytes change. Pumps
// host after every header read.
//
// With TListCache::Leave the build writes nothing: the rows are the same,
// and _cd_.lst stays as it was (CacheSaved false), as a search from the
// command line needs.
enum class TListCache { Update, Leave };
TBuildResult BuildArchiveList(const std::string& folder, TArchiveList& list, Host& host,
                              TListCache cache = TListCache::Update);

// The slots of the Listed rows filed exactly at treePath, in slot order.
std::vector<std::int32_t> ArchivesAtPath(const TArchiveList& list, std::string_view treePath);

// Every folder node of the tree for the Listed rows (see TBuildResult).
std::vector<std::string> CategoryPaths(const TArchiveList& list);

// The working folder as the main window's caption shows it: with a trailing
// "/" unless it is the root; a folder inside programDir is shortened to the
// part from programDir's last "/" on, without the trailing "/".
std::string WorkingFolderCaption(std::string_view folder, std::string_view programDir);

} // namespace orbisk
