#include "gui/db/DbTreeModel.h"

#include <QMimeData>
#include <algorithm>

#include "core/db/Database.h"
#include "gui/common/IconSet.h"
#include "gui/common/Text.h"
#include "gui/db/DbItemModel.h"

namespace orbisk {

namespace {

constexpr int kPictureCategory = 22;

// The path of the first count components of parts.
std::string PathOfParts(const std::vector<std::string>& parts, std::size_t count) {
    std::string key;
    for (std::size_t i = 0; i < count; ++i)
        key.append(parts[i]).push_back('\\');
    return key == "\\" ? key : "\\" + key;
}

} // namespace

DbTreeModel::DbTreeModel(QObject* parent)
    : QAbstractItemModel(parent), shown_(1), kids_(1), row_(1, 0) {}

void DbTreeModel::Fill(const TArch& database) {
    beginResetModel();
    tree_ = TCategoryTree::Of(database);
    shown_.clear();
    kids_.clear();
    row_.clear();
    // Ids run from 0 (the invisible root) up without gaps after a fresh build.
    std::vector<std::int32_t> pending{0};
    std::size_t count = 1;
    for (std::size_t i = 0; i < pending.size(); ++i)
        for (std::int32_t child : tree_.Node(pending[i]).Children) {
            pending.push_back(child);
            count = std::max(count, static_cast<std::size_t>(child) + 1);
        }
    shown_.resize(count);
    kids_.resize(count);
    row_.assign(count, 0);
    for (std::int32_t node : pending) {
        if (node != 0) shown_[static_cast<std::size_t>(node)] = DecodeText(tree_.Node(node).Name);
    }
    for (std::int32_t node : pending) {
        auto& kids = kids_[static_cast<std::size_t>(node)];
        kids = tree_.Node(node).Children;
        std::stable_sort(kids.begin(), kids.end(), [this](std::int32_t a, std::int32_t b) {
            return collator_.compare(shown_[static_cast<std::size_t>(a)],
                                     shown_[static_cast<std::size_t>(b)]) < 0;
        });
        Renumber(node, 0);
    }
    endResetModel();
}

void DbTreeModel::Clear() {
    Fill(TArch{});
}

void DbTreeModel::Renumber(std::int32_t parent, std::size_t from) {
    const auto& kids = kids_[static_cast<std::size_t>(parent)];
    for (std::size_t i = from; i < kids.size(); ++i)
        row_[static_cast<std::size_t>(kids[i])] = static_cast<int>(i);
}

int DbTreeModel::InsertPosition(std::int32_t parent, const QString& shown) const {
    const auto& kids = kids_[static_cast<std::size_t>(parent)];
    auto at = std::upper_bound(
        kids.begin(), kids.end(), shown, [this](const QString& text, std::int32_t node) {
            return collator_.compare(text, shown_[static_cast<std::size_t>(node)]) < 0;
        });
    return static_cast<int>(at - kids.begin());
}

QModelIndex DbTreeModel::AddPath(std::string_view path) {
    const std::vector<std::string> parts = CategoryComponents(path);
    std::int32_t node = 0;
    for (std::size_t depth = 1; depth <= parts.size(); ++depth) {
        const std::string partial = PathOfParts(parts, depth);
        std::int32_t child = tree_.Find(partial);
        if (child == 0) {
            const QString shown = DecodeText(parts[depth - 1]);
            const int row = InsertPosition(node, shown);
            beginInsertRows(IndexOf(node), row, row);
            child = tree_.AddPath(partial);
            const auto size = static_cast<std::size_t>(child) + 1;
            if (shown_.size() < size) {
                shown_.resize(size);
                kids_.resize(size);
                row_.resize(size, 0);
            }
            shown_[static_cast<std::size_t>(child)] = shown;
            auto& kids = kids_[static_cast<std::size_t>(node)];
            kids.insert(kids.begin() + row, child);
            Renumber(node, static_cast<std::size_t>(row));
            endInsertRows();
        }
        node = child;
    }
    return IndexOf(node);
}

QModelIndex DbTreeModel::FindPath(std::string_view path) const {
    return IndexOf(tree_.Find(path));
}

std::string DbTreeModel::PathOf(const QModelIndex& index) const {
    const std::int32_t node = NodeOf(index);
    return node == 0 ? std::string() : tree_.PathOf(node);
}

bool DbTreeModel::RemoveNode(const QModelIndex& index) {
    const std::int32_t node = NodeOf(index);
    if (node == 0 || !kids_[static_cast<std::size_t>(node)].empty()) return false;
    const std::int32_t parent = tree_.Node(node).Parent;
    const int row = row_[static_cast<std::size_t>(node)];
    beginRemoveRows(IndexOf(parent), row, row);
    tree_.RemoveLeaf(node);
    auto& kids = kids_[static_cast<std::size_t>(parent)];
    kids.erase(kids.begin() + row);
    Renumber(parent, static_cast<std::size_t>(row));
    endRemoveRows();
    return true;
}

std::int32_t DbTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return 0;
    return static_cast<std::int32_t>(index.internalId());
}

QModelIndex DbTreeModel::IndexOf(std::int32_t node) const {
    if (node <= 0) return {};
    return createIndex(row_[static_cast<std::size_t>(node)], 0, static_cast<quintptr>(node));
}

QModelIndex DbTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return {};
    const auto& kids = kids_[static_cast<std::size_t>(NodeOf(parent))];
    return createIndex(row, column, static_cast<quintptr>(kids[static_cast<std::size_t>(row)]));
}

QModelIndex DbTreeModel::parent(const QModelIndex& child) const {
    const std::int32_t node = NodeOf(child);
    return node == 0 ? QModelIndex() : IndexOf(tree_.Node(node).Parent);
}

int DbTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(kids_[static_cast<std::size_t>(NodeOf(parent))].size());
}

int DbTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant DbTreeModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    switch (role) {
    case Qt::DisplayRole:
        return shown_[static_cast<std::size_t>(NodeOf(index))];
    case Qt::DecorationRole:
        return FolderTreeIcon();
    case PictureRole:
        return kPictureCategory;
    default:
        return {};
    }
}

Qt::ItemFlags DbTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (acceptDrops_) flags |= Qt::ItemIsDropEnabled;
    return flags;
}

QStringList DbTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kDbItemMime)};
}

bool DbTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                  const QModelIndex& parent) const {
    // Only a drop on a node itself counts, not one between nodes or beside them.
    return acceptDrops_ && DecodeDbItem(data) != 0 && row == -1 && NodeOf(parent) != 0;
}

bool DbTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                               const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    if (DropHook) DropHook(DecodeDbItem(data), parent);
    // The move is done by the hook; the view must not take the row out itself.
    return false;
}

Qt::DropActions DbTreeModel::supportedDropActions() const {
    return Qt::MoveAction | Qt::CopyAction;
}

} // namespace orbisk
