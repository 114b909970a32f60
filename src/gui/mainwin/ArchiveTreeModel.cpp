#include "gui/mainwin/ArchiveTreeModel.h"

#include <QMimeData>
#include <algorithm>

#include "core/catalog/ArchiveList.h"
#include "gui/common/IconSet.h"
#include "gui/common/Text.h"

namespace orbisk {

namespace {

constexpr int kArchiveIcon = 11;

// The folder texts of a tree path; a trailing empty text is not a node.
std::vector<std::string> FolderTexts(std::string_view treePath) {
    std::vector<std::string> texts = SplitTreePath(treePath);
    if (!texts.empty() && texts.back().empty()) texts.pop_back();
    return texts;
}

} // namespace

QByteArray EncodeSlots(const std::vector<std::int32_t>& slots) {
    QByteArray bytes;
    for (std::int32_t slot : slots) {
        if (!bytes.isEmpty()) bytes.append(',');
        bytes.append(QByteArray::number(slot));
    }
    return bytes;
}

std::vector<std::int32_t> DecodeSlots(const QByteArray& bytes) {
    std::vector<std::int32_t> slots;
    for (const QByteArray& part : bytes.split(',')) {
        bool ok = false;
        const int slot = part.toInt(&ok);
        if (ok && slot > 0) slots.push_back(slot);
    }
    return slots;
}

ArchiveTreeModel::ArchiveTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    nodes_.push_back({});
}

void ArchiveTreeModel::Clear() {
    beginResetModel();
    nodes_.assign(1, Node{});
    leafOf_.clear();
    nodeCount_ = 0;
    endResetModel();
}

void ArchiveTreeModel::Fill(const TArchiveList& list, bool leaves) {
    beginResetModel();
    nodes_.assign(1, Node{});
    leafOf_.clear();
    nodeCount_ = 0;
    for (std::int32_t slot = 1; slot <= list.ArchiveCount(); ++slot) {
        const THead& row = list[slot];
        if (row.Listed == 0) continue;
        std::size_t node = 0;
        for (const std::string& text : FolderTexts(row.TreePath)) {
            const std::size_t found = FolderChild(node, text);
            node = found != kNone ? found : AddFolder(node, text, false);
        }
        if (leaves && node != 0) AddLeaf(node, row.Name, slot, false);
    }
    endResetModel();
}

QModelIndex ArchiveTreeModel::AddPath(std::string_view treePath) {
    std::size_t node = 0;
    for (const std::string& text : FolderTexts(treePath)) {
        const std::size_t found = FolderChild(node, text);
        node = found != kNone ? found : AddFolder(node, text, true);
    }
    return IndexOf(node);
}

QModelIndex ArchiveTreeModel::AddArchive(const QModelIndex& folder, std::string_view name,
                                         std::int32_t slot) {
    const std::size_t node = NodeOf(folder);
    if (node == 0 || nodes_[node].slot != 0 || slot <= 0) return {};
    RemoveArchive(slot);
    return IndexOf(AddLeaf(node, name, slot, true));
}

void ArchiveTreeModel::RemoveArchive(std::int32_t slot) {
    auto found = leafOf_.find(slot);
    if (found != leafOf_.end()) RemoveNode(found->second);
}

QModelIndex ArchiveTreeModel::FindArchive(std::int32_t slot) const {
    auto found = leafOf_.find(slot);
    return found == leafOf_.end() ? QModelIndex() : IndexOf(found->second);
}

QModelIndex ArchiveTreeModel::FindPath(std::string_view treePath) const {
    std::size_t node = 0;
    for (const std::string& text : FolderTexts(treePath)) {
        node = FolderChild(node, text);
        if (node == kNone) return {};
    }
    return IndexOf(node);
}

bool ArchiveTreeModel::Before(std::size_t a, std::size_t b) const {
    const bool archiveA = nodes_[a].slot != 0, archiveB = nodes_[b].slot != 0;
    if (archiveA != archiveB) return archiveA;
    return collator_.compare(nodes_[a].shown, nodes_[b].shown) < 0;
}

int ArchiveTreeModel::InsertPosition(std::size_t parent, std::size_t node) const {
    const std::vector<std::size_t>& siblings = nodes_[parent].children;
    auto at = std::upper_bound(siblings.begin(), siblings.end(), node,
                               [this](std::size_t a, std::size_t b) { return Before(a, b); });
    return static_cast<int>(at - siblings.begin());
}

std::size_t ArchiveTreeModel::FolderChild(std::size_t node, std::string_view text) const {
    // Folders follow the leaves: look from the end and stop at the first leaf.
    const std::vector<std::size_t>& children = nodes_[node].children;
    for (auto it = children.rbegin(); it != children.rend() && nodes_[*it].slot == 0; ++it)
        if (nodes_[*it].text == text) return *it;
    return kNone;
}

std::size_t ArchiveTreeModel::AddFolder(std::size_t node, std::string_view text, bool announce) {
    const std::size_t made = nodes_.size();
    nodes_.push_back({std::string(text), DecodeText(text), 0, node, {}});
    const int row = InsertPosition(node, made);
    if (announce) beginInsertRows(IndexOf(node), row, row);
    auto& children = nodes_[node].children;
    children.insert(children.begin() + row, made);
    ++nodeCount_;
    if (announce) endInsertRows();
    return made;
}

std::size_t ArchiveTreeModel::AddLeaf(std::size_t node, std::string_view name, std::int32_t slot,
                                      bool announce) {
    const std::size_t made = nodes_.size();
    nodes_.push_back({std::string(name), DecodeText(name), slot, node, {}});
    const int row = InsertPosition(node, made);
    if (announce) beginInsertRows(IndexOf(node), row, row);
    auto& children = nodes_[node].children;
    children.insert(children.begin() + row, made);
    leafOf_[slot] = made;
    ++nodeCount_;
    if (announce) endInsertRows();
    return made;
}

void ArchiveTreeModel::Reorder(std::size_t node) {
    const std::size_t parent = nodes_[node].parent;
    const int row = RowOf(node);
    auto& siblings = nodes_[parent].children;
    siblings.erase(siblings.begin() + row);
    const int position = InsertPosition(parent, node);
    siblings.insert(siblings.begin() + row, node);
    if (position == row) return;
    // The destination counts the rows before the move.
    const int destination = position > row ? position + 1 : position;
    beginMoveRows(IndexOf(parent), row, row, IndexOf(parent), destination);
    siblings.erase(siblings.begin() + row);
    siblings.insert(siblings.begin() + position, node);
    endMoveRows();
}

void ArchiveTreeModel::MoveNode(std::size_t node, std::size_t to) {
    const std::size_t from = nodes_[node].parent;
    const int row = RowOf(node);
    const int position = InsertPosition(to, node);
    beginMoveRows(IndexOf(from), row, row, IndexOf(to), position);
    auto& old = nodes_[from].children;
    old.erase(old.begin() + row);
    auto& fresh = nodes_[to].children;
    fresh.insert(fresh.begin() + position, node);
    nodes_[node].parent = to;
    endMoveRows();
}

void ArchiveTreeModel::RemoveNode(std::size_t node) {
    const std::size_t parent = nodes_[node].parent;
    const int row = RowOf(node);
    beginRemoveRows(IndexOf(parent), row, row);
    auto& siblings = nodes_[parent].children;
    siblings.erase(siblings.begin() + row);
    std::vector<std::size_t> pending{node};
    while (!pending.empty()) {
        const std::size_t gone = pending.back();
        pending.pop_back();
        --nodeCount_;
        if (nodes_[gone].slot != 0) leafOf_.erase(nodes_[gone].slot);
        pending.insert(pending.end(), nodes_[gone].children.begin(), nodes_[gone].children.end());
        nodes_[gone].children.clear();
        nodes_[gone].parent = kNone;
    }
    endRemoveRows();
}

void ArchiveTreeModel::MergeInto(std::size_t from, std::size_t to) {
    const std::vector<std::size_t> children = nodes_[from].children;
    for (std::size_t child : children) {
        const std::size_t same =
            nodes_[child].slot == 0 ? FolderChild(to, nodes_[child].text) : kNone;
        if (same != kNone)
            MergeInto(child, same);
        else
            MoveNode(child, to);
    }
    RemoveNode(from);
}

std::string ArchiveTreeModel::PathOf(const QModelIndex& index) const {
    std::size_t node = NodeOf(index);
    if (node != 0 && nodes_[node].slot != 0) node = nodes_[node].parent;
    std::vector<std::size_t> chain;
    for (; node != 0 && node != kNone; node = nodes_[node].parent)
        chain.push_back(node);
    std::string path = "\\";
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        path.append(nodes_[*it].text).push_back('\\');
    return path;
}

std::int32_t ArchiveTreeModel::SlotOf(const QModelIndex& index) const {
    return nodes_[NodeOf(index)].slot;
}

std::size_t ArchiveTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid() || index.model() != this) return 0;
    return static_cast<std::size_t>(index.internalId());
}

int ArchiveTreeModel::RowOf(std::size_t node) const {
    const auto& siblings = nodes_[nodes_[node].parent].children;
    return static_cast<int>(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
}

QModelIndex ArchiveTreeModel::IndexOf(std::size_t node) const {
    if (node == 0 || node == kNone) return {};
    return createIndex(RowOf(node), 0, static_cast<quintptr>(node));
}

QModelIndex ArchiveTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!hasIndex(row, column, parent)) return {};
    const std::size_t child = nodes_[NodeOf(parent)].children[static_cast<std::size_t>(row)];
    return createIndex(row, column, static_cast<quintptr>(child));
}

QModelIndex ArchiveTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    return IndexOf(nodes_[NodeOf(child)].parent);
}

int ArchiveTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(nodes_[NodeOf(parent)].children.size());
}

int ArchiveTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ArchiveTreeModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const Node& node = nodes_[NodeOf(index)];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return node.shown;
    case Qt::DecorationRole:
        return node.slot != 0 ? OwnIcon(kArchiveIcon) : FolderTreeIcon();
    case PictureRole:
        return node.slot != 0 ? kPictureArchive : kPictureFolder;
    case SlotRole:
        return node.slot;
    default:
        return {};
    }
}

bool ArchiveTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid)) return false;
    const std::size_t node = NodeOf(index);
    if (nodes_[node].slot != 0 || !RenameHook) return false;
    const std::optional<std::string> text = RenameHook(PathOf(index), value.toString());
    if (!text || *text == nodes_[node].text) return false;
    const std::size_t same = FolderChild(nodes_[node].parent, *text);
    nodes_[node].text = *text;
    nodes_[node].shown = DecodeText(*text);
    Q_EMIT dataChanged(index, index);
    // A sibling of that name takes over the renamed node's children.
    if (same != kNone)
        MergeInto(node, same);
    else
        Reorder(node);
    return true;
}

Qt::ItemFlags ArchiveTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (IsArchive(index)) {
        if (leavesDraggable_) flags |= Qt::ItemIsDragEnabled;
        return flags | Qt::ItemNeverHasChildren;
    }
    return flags | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
}

QStringList ArchiveTreeModel::mimeTypes() const {
    return {QString::fromLatin1(kArchiveSlotsMime)};
}

QMimeData* ArchiveTreeModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<std::int32_t> slots;
    for (const QModelIndex& index : indexes)
        if (IsArchive(index)) slots.push_back(SlotOf(index));
    if (slots.empty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(kArchiveSlotsMime), EncodeSlots(slots));
    return data;
}

bool ArchiveTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction, int row, int,
                                       const QModelIndex& parent) const {
    // Only a drop on a folder node itself counts, not one between nodes.
    return data && data->hasFormat(QString::fromLatin1(kArchiveSlotsMime)) && row == -1 &&
           parent.isValid() && parent.model() == this && !IsArchive(parent);
}

bool ArchiveTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row,
                                    int column, const QModelIndex& parent) {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    const std::vector<std::int32_t> slots =
        DecodeSlots(data->data(QString::fromLatin1(kArchiveSlotsMime)));
    if (slots.empty()) return false;
    if (DropHook) DropHook(slots, parent);
    return true;
}

Qt::DropActions ArchiveTreeModel::supportedDropActions() const {
    return Qt::CopyAction | Qt::MoveAction;
}

Qt::DropActions ArchiveTreeModel::supportedDragActions() const {
    return Qt::CopyAction;
}

} // namespace orbisk
