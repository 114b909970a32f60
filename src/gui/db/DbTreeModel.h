#pragma once
// The category tree of the database window: one node per component of every
// category path (the root "\" is a top-level node with an empty name), the
// children of each node ordered by name, locale-aware. A node accepts a
// database item dropped on it; what the drop means is the owner's hook.
#include <QAbstractItemModel>
#include <QCollator>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/CategoryTree.h"

namespace orbisk {

class DbTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The picture number of a node: 22, and 30 while it is selected (the
    // view draws that state).
    static constexpr int PictureRole = Qt::UserRole + 1;

    explicit DbTreeModel(QObject* parent = nullptr);

    // The tree of every category path of database.
    void Fill(const TArch& database);
    void Clear();
    // Adds the nodes of path that are missing; returns its deepest node.
    QModelIndex AddPath(std::string_view path);
    // The node of path, or an invalid index.
    QModelIndex FindPath(std::string_view path) const;
    // "\A\B\" for the node B under A; "\" for the empty-named root node.
    std::string PathOf(const QModelIndex& index) const;
    // Takes out a node without children; false for one with children.
    bool RemoveNode(const QModelIndex& index);
    // Number of nodes in the whole tree.
    int NodeCount() const { return static_cast<int>(tree_.NodeCount()); }

    void SetAcceptDrops(bool on) { acceptDrops_ = on; }
    // An item was dropped on the node target.
    std::function<void(std::int32_t item, const QModelIndex& target)> DropHook;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;

private:
    std::int32_t NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(std::int32_t node) const;
    int InsertPosition(std::int32_t parent, const QString& shown) const;
    void Renumber(std::int32_t parent, std::size_t from);

    TCategoryTree tree_;
    // Per node: its shown name, its children in shown order and its row
    // among its parent's children.
    std::vector<QString> shown_;
    std::vector<std::vector<std::int32_t>> kids_;
    std::vector<int> row_;
    QCollator collator_;
    bool acceptDrops_ = false;
};

} // namespace orbisk
