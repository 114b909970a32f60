#include "core/scan/ListingRows.h"

namespace orbisk {

std::size_t TListingRows::AddRow(const std::string& name, const std::string& size,
                                 const std::string& date, const std::string& attr) {
    listing_.Names.push_back(name);
    listing_.Sizes.push_back(size);
    listing_.Dates.push_back(date);
    if (withAttrs_) listing_.Attrs.push_back(attr);
    return listing_.Names.size() - 1;
}

void TListingRows::AddMember(const std::string& name, bool isFolder, const std::string& size,
                             const std::string& date, const std::string& attr) {
    const bool keepSeparator = separator_ == '/';
    // A ZIP folder member ends with its separator, which implies nothing.
    std::size_t scanEnd = name.size();
    if (isFolder && keepSeparator && !name.empty() && name.back() == separator_) --scanEnd;
    for (std::size_t at = name.find(separator_); at < scanEnd; at = name.find(separator_, at + 1)) {
        std::string folder = name.substr(0, keepSeparator ? at + 1 : at);
        if (folderRows_.count(folder)) continue;
        const std::size_t row = AddRow(folder, "0", date, "d----");
        folderRows_.emplace(std::move(folder), row);
    }
    if (!isFolder) {
        AddRow(name, size, date, attr);
        return;
    }
    auto [it, added] = folderRows_.try_emplace(name, 0);
    if (added) {
        it->second = AddRow(name, size, date, attr);
        return;
    }
    listing_.Sizes[it->second] = size;
    listing_.Dates[it->second] = date;
    if (withAttrs_) listing_.Attrs[it->second] = attr;
}

} // namespace orbisk
