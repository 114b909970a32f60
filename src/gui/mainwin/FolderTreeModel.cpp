#include "gui/mainwin/FolderTreeModel.h"

#include <algorithm>

#include "gui/common/IconSet.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

// The node texts of a folder path: the path without its first character,
// cut at each "\" ("\" alone gives one empty text).
std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    if (!path.empty()) path.remove_prefix(1);
    if (path.empty()) return {std::string_view{}};
    while (!path.empty()) {
        std::size_t cut = path.find('\\');
        parts.push_back(path.substr(0, cut));
        path = cut == std::string_view::npos ? std::string_view{} : path.substr(cut + 1);
    }
    return parts;
}

} // namespace

FolderTreeModel::FolderTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    nodes_.push_back({});
}

void FolderTreeModel::Clear() {
    beginResetModel();
    nodes_.assign(1, Node{});
    endResetModel();
}

QModelIndex FolderTreeModel::AddPath(std::string_view path) {
    std::size_t node = 0;
    for (std::string_view text : Components(path))
        node = Child(node, text);
    return IndexOf(node);
}

std::size_t FolderTreeModel::Child(std::size_t node, std::string_view text) {
    for (std::size_t child : nodes_[node].children)
        if (nodes_[child].text == text) return child;
    const QString shown = DecodeText(text);
    const std::vector<std::size_t>& siblings = nodes_[node].children;
    auto at = std::upper_bound(siblings.begin(), siblings.end(), shown,
                               [this](const QString& s, std::size_t other) {
                                   return collator_.compare(s, nodes_[other].shown) < 0;
                               });
    const int row = static_cast<int>(at - siblings.begin());
    beginInsertRows(IndexOf(node), row, row);
    const std::size_t made = nodes_.size();
    nodes_.push_back({std::string(text), shown, node, {}});
    auto& children = nodes_[node].children;
    children.insert(children.begin() + row, made);
    endInsertRows();
    return made;
}

std::string FolderTreeModel::PathOf(const QModelIndex& index) const {
    std::vector<std::size_t> chain;
    for (std::size_t node = NodeOf(index); node != 0; node = nodes_[node].parent)
        chain.push_back(node);
    std::string path = "\\";
    if (chain.size() == 1 && nodes_[chain[0]].text.empty()) return path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path.append(nodes_[*it].text).push_back('\\');
    return path;
}

std::size_t FolderTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return 0;
    return static_cast<std::size_t>(index.internalId());
}

int FolderTreeModel::RowOf(std::size_t node) const {
    const auto& siblings = nodes_[nodes_[node].parent].children;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
}

QModelIndex FolderTreeModel::IndexOf(std::size_t node) const {
    if (node == 0) return {};
    return createIndex(RowOf(node), 0, static_cast<quintptr>(node));
}

QModelIndex FolderTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return {};
    const std::size_t child = nodes_[NodeOf(parent)].children[static_cast<std::size_t>(row)];
    return createIndex(row, column, static_cast<quintptr>(child));
}

QModelIndex FolderTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return IndexOf(nodes_[NodeOf(child)].parent);
}

int FolderTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(nodes_[NodeOf(parent)].children.size());
}

int FolderTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant FolderTreeModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    if (role == Qt::DisplayRole) return nodes_[NodeOf(index)].shown;
    if (role == Qt::DecorationRole) return FolderTreeIcon();
    return {};
}

} // namespace orbisk
