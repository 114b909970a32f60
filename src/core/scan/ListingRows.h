#pragma once
// Builds the rows of a packed-file listing member by member, adding a row for
// every folder a member's path implies before the member's own row.
#include <cstddef>
#include <string>
#include <unordered_map>

#include "core/scan/PackedListing.h"

namespace orbisk {

class TListingRows {
public:
    // separator: "/" for ZIP, whose folder paths keep it at their end, "\"
    // for RAR, whose folder paths do not. withAttrs: fill the Attrs list.
    TListingRows(TPackedListing& listing, char separator, bool withAttrs)
        : listing_(listing), separator_(separator), withAttrs_(withAttrs) {}

    // Adds the rows of one member. Each folder on its path that has no row
    // yet gets one (size "0", the member's date, "d----"). Folder paths are
    // compared exactly, as the walk matches members to their folders: "a/"
    // and "A/" are two folders, each with a row of its own, so no member is
    // left without the folder row that leads the walk to it. A folder member
    // whose path already has a row gives that row its own size, date and
    // attributes instead of a second row of the same name.
    void AddMember(const std::string& name, bool isFolder, const std::string& size,
                   const std::string& date, const std::string& attr);

private:
    std::size_t AddRow(const std::string& name, const std::string& size, const std::string& date,
                       const std::string& attr);

    TPackedListing& listing_;
    char separator_;
    bool withAttrs_;
    std::unordered_map<std::string, std::size_t> folderRows_; // folder path -> row
};

} // namespace orbisk
