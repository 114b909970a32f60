#pragma once
// The multi-archive: several archives merged into one, each source becoming
// one entry of the root folder ("Archiv", kind "A") with its whole tree
// below "\" + its Name + "\".
#include <cstdint>
#include <string>
#include <vector>

#include "core/catalog/Archive.h"
#include "core/catalog/ArchiveList.h"
#include "core/catalog/Host.h"

namespace orbisk {

inline constexpr std::string_view kMultiMedium = "Multi";
inline constexpr std::string_view kMultiTreePath = "\\Multi\\";
inline constexpr std::string_view kMergedDate = "Bylo nebylo";

// Builds the multi-archive of sources, in their order, into merged: the
// header of the first source with FileName "m_" + its FileName, Name
// "Multi " + its Name and Medium "Multi"; directory 1 "\" with one entry per
// source; then every directory of every source with its path prefixed by
// "\" + the source's Name, followed by its entries. The entries are moved
// out of the sources, and merged keeps the sources' file texts alive.
// Does nothing without sources.
void MergeArchives(std::vector<TArch>& sources, TArch& merged);

struct TMergeResult {
    bool Written = false;
    std::string FileName;  // of the new archive, bare, in the list's folder
    std::int32_t Slot = 0; // its row in the list (0 when none was added)
};

// Merges the archives of list rows slots (two or more): reads each with its
// row as header (one that cannot be read contributes its root entry and no
// directories; the reader says why through host), writes the multi-archive
// into the list's folder, appends its row filed under \Multi\ and rewrites
// _cd_.lst. A failed write adds no row: the list never names a file that
// is not there. merged holds the new archive afterwards.
TMergeResult MergeListedArchives(TArchiveList& list, const std::vector<std::int32_t>& slots,
                                 TArch& merged, Host& host);

} // namespace orbisk
