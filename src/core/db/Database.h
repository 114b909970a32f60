#pragma once
// The reverse-list database: a tree of categories whose items say in which
// archive, and under which path, a program or document lies. It is one TArch
// read and written by the archive reader and writer: categories are its
// directories (Path a category path "\A\B\", First and Count the run of its
// items), items are its entries with these meanings:
//   Name  the item's full name      Size  a size text (grouped by blanks)
//   Date  the archive's Name        Attr  the path inside that archive
//   Note  the entry's note          Description  lines each followed by 0x07
// Every editing operation keeps the runs of the categories contiguous and
// disjoint, so a save writes each category's items behind its line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/Browse.h"
#include "core/catalog/Host.h"

namespace orbisk {

// The database file of a working folder.
inline constexpr std::string_view kDatabaseFile = "cd.db";
std::string DatabasePath(std::string_view folder);

// The root category.
inline constexpr std::string_view kRootCategory = "\\";

// One item as the item dialog and the command line give it.
struct TDbItem {
    std::string Name, Size, Archive, Path, Note, Description;
};

// What became of a save.
enum class TDbSave {
    Saved,
    NotRead, // the file could not be read, so it is not overwritten
    Failed,  // the writer could not replace the file; it is as it was
};

class TDatabase {
public:
    // Reads the database file at path. With createMissing a missing file is
    // first written empty (header lines, no categories), as the database
    // window does on its first showing. A file that cannot be read leaves
    // the database empty and marked unread: Save then refuses to write it,
    // so a database that is there but was not read is never replaced by an
    // empty one. Messages go through host. Returns whether it was read.
    bool Open(std::string path, Host& host, bool createMissing);
    // Writes the database back over its file (the old file kept as .bak when
    // no backup exists yet).
    // For a viewer, which never writes the database: reads the file at path
    // and, when reading fails part-way, keeps the categories and items read
    // before the failure (the failure is told through host). The database
    // stays marked unread unless the whole file was read. Returns that.
    bool OpenForViewing(std::string path, Host& host);
    TDbSave Save(Host& host);
    bool WasRead() const { return read_; }
    const std::string& FileName() const { return arch_.Head.FileName; }

    const TArch& Arch() const { return arch_; }
    // For the template export, which orders the database in place.
    TArch& MutableArch() { return arch_; }
    std::int32_t CategoryCount() const { return arch_.DirCount; }
    std::int32_t ItemCount() const { return arch_.RecCount; }
    const TDir& Category(std::int32_t index) const;
    const TRec& Item(std::int32_t index) const;

    // The first category whose path equals path exactly, or 0. A path
    // without a record of its own (the node A of \A\B\) has no items.
    std::int32_t FindCategory(std::string_view path) const;
    // The items of the category at path, first to last; none when no
    // category has that path.
    TEntryRange ItemsOf(std::string_view path) const;
    // The category whose run holds item index, or 0.
    std::int32_t CategoryOfItem(std::int32_t index) const;
    // Adds the category unless one has that path; returns its index.
    std::int32_t AddCategory(std::string_view path);
    // Inserts item as the first item of the category at path, creating the
    // category when there is none. Returns the item's index.
    std::int32_t InsertItem(std::string_view path, TRec item);
    // Takes item index out of its category; nullopt for an index out of range.
    std::optional<TRec> RemoveItem(std::int32_t index);
    // Moves item index to be the first item of the category at path (created
    // when missing). Returns the item's new index, or 0.
    std::int32_t MoveItem(std::int32_t index, std::string_view toPath);
    // A category may go only when it holds no items and no other category
    // lies below it in the tree.
    bool HasSubcategories(std::int32_t index) const;
    bool CanRemoveCategory(std::int32_t index) const;
    // Removes the category record when CanRemoveCategory; the items stay.
    bool RemoveCategory(std::int32_t index);
    // Overwrites name, size, archive and path; note and description stay.
    void UpdateItem(std::int32_t index, std::string_view name, std::string_view size,
                    std::string_view archive, std::string_view path);
    // The description becomes each line followed by 0x07.
    void SetDescription(std::int32_t index, const std::vector<std::string>& lines);

    // The two current values the database window works with.
    std::string CurrentPath{kRootCategory};
    std::int32_t CurrentItem = 0;

private:
    bool ValidItem(std::int32_t index) const { return index >= 1 && index <= arch_.RecCount; }
    bool ValidCategory(std::int32_t index) const { return index >= 1 && index <= arch_.DirCount; }

    TArch arch_;
    bool read_ = false;
};

// The record of an item (Present 1). Bytes that would split or end a line of
// the file (TAB, CR, LF, 0x1A) become blanks; the description keeps its TABs.
TRec MakeDbItem(const TDbItem& item);
// A category path as the file can hold it: TAB, CR, LF and 0x1A become
// blanks (a TAB would make the line an item line, 0x1A would end the file).
std::string CleanCategoryPath(std::string_view path);

// The lines of a description: split at each 0x07; a final piece without
// 0x07 is one more line.
std::vector<std::string> DescriptionLines(std::string_view text);
// Each line followed by 0x07.
std::string JoinDescription(const std::vector<std::string>& lines);

// The item "Přidej do databáze ..." proposes for entries recs of the folder
// path of arch: for one entry its name, path + name, its size, note and
// description; for several the folder path as name and path and the sum of
// their sizes. The size is grouped by FormatSize; the archive is arch's Name.
TDbItem ItemFromEntries(const TArch& arch, std::string_view path,
                        const std::vector<std::int32_t>& recs);

// The components of a category path: the text after its first character cut
// at each backslash, a final backslash ending the last component. The root
// "\" has one component, the empty name.
std::vector<std::string> CategoryComponents(std::string_view path);

} // namespace orbisk
