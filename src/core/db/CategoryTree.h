#pragma once
// The category tree of the database, derived from the category paths alone:
// the path of B under A gives a node A at the top level and B under it,
// whether or not A's path has a record of its own; the root category "\" is
// a top-level node with an empty name.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/catalog/Archive.h"

namespace orbisk {

struct TCategoryNode {
    std::string Name;
    std::int32_t Parent = 0; // 0: a top-level node
    std::vector<std::int32_t> Children;
};

class TCategoryTree {
public:
    TCategoryTree();
    // The tree of every category path of the database, in record order.
    static TCategoryTree Of(const TArch& database);

    void Clear();
    // Adds the nodes of the components of path that are missing; returns the
    // node of its last component.
    std::int32_t AddPath(std::string_view path);
    // The node whose path is path, or 0.
    std::int32_t Find(std::string_view path) const;
    // "\" + each name from the top level down, each followed by "\"; the
    // empty-named top-level node gives "\".
    std::string PathOf(std::int32_t node) const;
    // Removes a node that has no children; false otherwise.
    bool RemoveLeaf(std::int32_t node);
    // Orders the children of every node by name with less (a stable sort).
    void Sort(const std::function<bool(std::string_view, std::string_view)>& less);

    // Node 0 is the invisible root whose children are the top-level nodes.
    const TCategoryNode& Node(std::int32_t node) const {
        return nodes_[static_cast<std::size_t>(node)];
    }
    const std::vector<std::int32_t>& TopLevel() const { return nodes_[0].Children; }
    std::size_t NodeCount() const { return byPath_.size(); }

private:
    std::string KeyOf(std::int32_t node) const;

    std::vector<TCategoryNode> nodes_;
    std::unordered_map<std::string, std::int32_t> byPath_;
};

} // namespace orbisk
