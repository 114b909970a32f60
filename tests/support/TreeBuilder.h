#pragma once
// Builds folder trees on disk for walk tests.
#include <string>
#include <vector>

namespace orbisk::test {

struct TTreeItem {
    std::string Path;    // relative, "/" between components; a trailing "/" makes a folder
    std::string Content; // the bytes of a file
};

// Creates every item below root, with the folders its path implies.
void MakeTree(const std::string& root, const std::vector<TTreeItem>& items);

} // namespace orbisk::test
