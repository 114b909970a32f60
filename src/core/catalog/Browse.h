#pragma once
// Browsing one folder of an archive: the rows of a listing and their order,
// the sizes of entries and folders, and marking entries deleted. Paths are
// archive paths: they begin and end with "\".
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/catalog/Archive.h"

namespace orbisk {

inline constexpr std::string_view kParentRowName = "[ .. ]";
inline constexpr std::string_view kDirSizeText = "<DIR>";
inline constexpr std::string_view kMergedSizeText = "Archiv";

// The first character of Attr, a blank when Attr is empty: " " a file, "d" a
// folder, "p" a ZIP or RAR file whose contents were listed, "A" a source
// archive of a multi-archive.
inline char EntryKind(const TRec& rec) {
    return rec.Attr.empty() ? ' ' : rec.Attr[0];
}
// Entries whose contents are a folder of the archive: "d", "p" and "A".
inline bool HasFolder(const TRec& rec) {
    char kind = EntryKind(rec);
    return kind == 'd' || kind == 'p' || kind == 'A';
}

// The number a size text stands for, blanks removed; 0 when it is not a
// whole number.
std::int64_t SizeValue(std::string_view text);

// The folder of an entry: path + name + "\".
std::string ChildPath(std::string_view path, std::string_view name);
// The folder above path: the last character removed, then characters up to
// the previous "\"; "\" (and anything that would leave nothing) gives "\".
std::string ParentPath(std::string_view path);
// The number of "\" in path: 1 for "\", 2 for "\GAMES\".
std::int32_t PathDepth(std::string_view path);

// Slots of the entries of directory dirIndex that really hold entries,
// first to last inclusive (empty when last < first), whatever a damaged file
// claims for First and Count.
struct TEntryRange {
    std::int32_t First = 1, Last = 0;
};
TEntryRange EntriesOf(const TArch& arch, std::int32_t dirIndex);

// Directories by path: the first directory with each path, as a search from
// directory 1 up finds it. Valid while the archive's directories stay as they
// were.
class TDirIndex {
public:
    explicit TDirIndex(const TArch& arch);
    std::int32_t Find(std::string_view path) const; // 0 when no directory has that path

private:
    std::unordered_map<std::string_view, std::int32_t> byPath_;
};

// The total of the folder path and everything below it: folders ("d") and
// merged archives ("A") by their contents, every other entry by its size (a
// listed packed file by its packed size). Entries marked deleted do not
// count. Each directory counts once, however often a damaged file names it.
std::int64_t FolderSize(const TArch& arch, std::string_view path, const TDirIndex& dirs);
std::int64_t FolderSize(const TArch& arch, std::string_view path);

// The size of one row of the folder path: 0 for the "[ .. ]" row (rec 0),
// the folder size for "d" and "A" entries, the entry's own size otherwise.
std::int64_t ItemSize(const TArch& arch, std::string_view path, std::int32_t rec,
                      const TDirIndex& dirs);

// Marks entry rec of the folder path deleted (Present 0); for "d", "p" and
// "A" entries also everything under path + Name + "\", through folders,
// packed files and merged archives. Returns the number of entries marked.
std::int64_t MarkDeleted(TArch& arch, std::string_view path, std::int32_t rec);

// One row of a folder listing.
struct TFolderRow {
    std::int32_t Rec = 0; // Recs index; 0 for the "[ .. ]" row
    std::int8_t Picture = 0;
    bool Folder = false;  // Attr begins with "d" ("[ .. ]" too)
    std::string SizeText; // what the size column shows
};

struct TListOptions {
    bool ShowAll = true;      // false: only folders and entries with a note or a description
    bool FolderSizes = false; // folders show their size instead of "<DIR>"
};

struct TFolderListing {
    std::int32_t DirIndex = 0;    // 0 when no directory has the path
    std::vector<TFolderRow> Rows; // "[ .. ]" first below the root, then in archive order
    std::int64_t FileCount = 0;   // plain files and listed packed files
    std::int64_t ByteTotal = 0;   // their sizes; a size that is no number adds nothing
};

// The rows of folder path: present entries only, filtered by options.
// Pictures are indices of the program's own small-icon set.
TFolderListing ListFolderRows(const TArch& arch, std::string_view path,
                              const TListOptions& options);

// The built-in text between the kilobytes and the file count of totals.
inline constexpr std::string_view kKilobytesIn = " kB v ";
// The totals of a listing as the status bar shows them: a blank, the
// kilobytes grouped by three, " kB v " (CoreText KilobytesIn), the file
// count and filesLabel.
std::string TotalsText(std::int64_t byteTotal, std::int64_t fileCount, std::string_view filesLabel);

// The columns of a folder listing.
enum TFolderColumn : int { kColName, kColSize, kColDate, kColAttr, kColNote, kFolderColumns };

// Compares one column's text of two rows, given by their positions in the
// listing: negative, 0 or positive.
using TRowTextOrder = std::function<int(std::size_t a, std::size_t b)>;

// The display order of rows, as positions: "[ .. ]" first, then folders,
// then everything else; within each group by column times direction (+1 or
// -1): the size column by the value of its text, every other column by
// textOrder. Rows that compare equal keep their listing order.
std::vector<std::size_t> FolderRowOrder(const std::vector<TFolderRow>& rows, int column,
                                        int direction, const TRowTextOrder& textOrder);

} // namespace orbisk
