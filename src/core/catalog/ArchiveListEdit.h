#pragma once
// What the user does to the rows of the archive list: rename a category, move
// archives to a category, edit an archive's properties, delete an archive.
// Renames and moves change the rows' TreePath only (the headers inside the
// .cd files keep their categories); the caller then calls RewriteArchiveList
// so that _cd_.lst keeps the change.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/ArchiveList.h"
#include "core/catalog/Host.h"

namespace orbisk {

inline constexpr std::string_view kMsgCannotDelete = "Nelze smazat soubor ";
// The medium of an archive whose properties name none.
inline constexpr std::string_view kOtherMedium = "other";

struct TRenameResult {
    bool Changed = false;
    std::string NewPath;             // the renamed node's tree path
    std::vector<std::int32_t> Moved; // slots whose TreePath changed
};

// Renames the category node whose tree path is oldPath (\CD\Hry\) to newText:
// every row whose TreePath begins with oldPath gets the new path in its place,
// so the archives of sub-categories move along (\CD\Hry\Akce\ becomes
// \CD\Games\Akce\). Medium, Typ and SubTyp of a moved row follow its new
// TreePath. "\", TAB and 0x07 in newText become blanks; an empty text, or
// the text the node had, changes nothing.
TRenameResult RenameCategory(TArchiveList& list, std::string_view oldPath,
                             std::string_view newText);

// Files the rows of slots at the category targetPath (a tree path such as
// \CD\Hry\). Returns the slots whose TreePath changed; invalid slots and a
// target that is not a tree path ("\" ... "\") change nothing.
std::vector<std::int32_t> MoveArchivesToCategory(TArchiveList& list,
                                                 const std::vector<std::int32_t>& slots,
                                                 std::string_view targetPath);

// The values of the properties window.
struct TArchiveProperties {
    std::string Name, Typ, SubTyp, Medium, Owner, Description;
};

// The values as the window stores them: "\", 0x07 and TAB become blanks, an
// empty Name becomes a single blank and an empty Medium "other".
TArchiveProperties NormalizeProperties(TArchiveProperties values);

// The properties of a row as the window shows them at first.
TArchiveProperties PropertiesOf(const THead& row);

struct TPropertiesResult {
    bool Saved = false;           // the archive file was rewritten and the row updated
    bool TreePathChanged = false; // the archive moved to another tree node
    std::string OldTreePath;
};

// Applies the window's values to the archive of slot: reads the archive file
// into a buffer of its own (the open archive is never touched), sets the six
// header values (normalised), saves it with its backup, then copies them into
// the row and rebuilds its TreePath. When the file cannot be read or saved
// the host has shown why, and neither the file nor the row changes.
TPropertiesResult ApplyArchiveProperties(TArchiveList& list, std::int32_t slot,
                                         const TArchiveProperties& values, Host& host);

// True when the archive file of slot exists (the commands pass over rows
// whose file is missing).
bool ArchiveFileExists(const TArchiveList& list, std::int32_t slot);

enum class TDeleteStatus { Deleted, Missing, Failed };

struct TDeleteResult {
    TDeleteStatus Status = TDeleteStatus::Missing;
    std::string Message; // for Failed: "Nelze smazat soubor " + FileName
};

// Deletes the archive file of slot, a second time after giving its owner the
// write bit when the first attempt fails. Deleted: the row's Listed is 0.
// Missing: nothing happened. Failed: the file and the row stay and Message
// says so.
TDeleteResult DeleteArchive(TArchiveList& list, std::int32_t slot);

} // namespace orbisk
