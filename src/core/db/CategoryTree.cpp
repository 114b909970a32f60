#include "core/db/CategoryTree.h"

#include <algorithm>

#include "core/db/Database.h"

namespace orbisk {

namespace {

// The key of a node: the path of its components, each followed by "\".
std::string NodeKey(const std::vector<std::string>& parts, std::size_t count) {
    std::string key;
    for (std::size_t i = 0; i < count; ++i)
        key.append(parts[i]).push_back('\\');
    return key;
}

} // namespace

TCategoryTree::TCategoryTree() {
    Clear();
}

TCategoryTree TCategoryTree::Of(const TArch& database) {
    TCategoryTree tree;
    for (std::int32_t i = 1; i <= database.DirCount; ++i)
        tree.AddPath(database.Dirs[static_cast<std::size_t>(i)].Path);
    return tree;
}

void TCategoryTree::Clear() {
    nodes_.assign(1, TCategoryNode{});
    byPath_.clear();
}

std::int32_t TCategoryTree::AddPath(std::string_view path) {
    const std::vector<std::string> parts = CategoryComponents(path);
    std::int32_t node = 0;
    std::string key;
    for (const std::string& part : parts) {
        key.append(part).push_back('\\');
        auto [it, added] = byPath_.try_emplace(key, static_cast<std::int32_t>(nodes_.size()));
        if (added) {
            nodes_.push_back(TCategoryNode{part, node, {}});
            nodes_[static_cast<std::size_t>(node)].Children.push_back(it->second);
        }
        node = it->second;
    }
    return node;
}

std::int32_t TCategoryTree::Find(std::string_view path) const {
    const std::vector<std::string> parts = CategoryComponents(path);
    auto it = byPath_.find(NodeKey(parts, parts.size()));
    return it == byPath_.end() ? 0 : it->second;
}

std::string TCategoryTree::KeyOf(std::int32_t node) const {
    std::string key;
    for (std::int32_t n = node; n != 0; n = Node(n).Parent)
        key.insert(0, Node(n).Name + "\\");
    return key;
}

std::string TCategoryTree::PathOf(std::int32_t node) const {
    std::string path = KeyOf(node);
    if (path != "\\") path.insert(path.begin(), '\\');
    return path;
}

bool TCategoryTree::RemoveLeaf(std::int32_t node) {
    if (node <= 0 || static_cast<std::size_t>(node) >= nodes_.size()) return false;
    TCategoryNode& n = nodes_[static_cast<std::size_t>(node)];
    if (!n.Children.empty() || !byPath_.erase(KeyOf(node))) return false;
    auto& siblings = nodes_[static_cast<std::size_t>(n.Parent)].Children;
    siblings.erase(std::find(siblings.begin(), siblings.end(), node));
    return true;
}

void TCategoryTree::Sort(const std::function<bool(std::string_view, std::string_view)>& less) {
    for (TCategoryNode& n : nodes_)
        std::stable_sort(n.Children.begin(), n.Children.end(), [&](std::int32_t a, std::int32_t b) {
            return less(Node(a).Name, Node(b).Name);
        });
}

} // namespace orbisk
