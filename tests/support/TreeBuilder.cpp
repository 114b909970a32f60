#include "TreeBuilder.h"

#include <filesystem>

#include "TestSupport.h"

namespace orbisk::test {

void MakeTree(const std::string& root, const std::vector<TTreeItem>& items) {
    namespace fs = std::filesystem;
    for (const TTreeItem& item : items) {
        const fs::path path = fs::path(root) / item.Path;
        if (!item.Path.empty() && item.Path.back() == '/') {
            fs::create_directories(path);
            continue;
        }
        fs::create_directories(path.parent_path());
        WriteFile(path.string(), item.Content);
    }
}

} // namespace orbisk::test
