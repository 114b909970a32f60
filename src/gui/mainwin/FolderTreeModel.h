#pragma once
// The folders visited in the content browser, as a tree. A folder path is
// split after its first "\": the root "\" is a top-level node with empty
// text, a first-level folder such as \DOOM\ a top-level node DOOM, deeper
// folders hang below. Nodes are found by exact text and kept sorted by their
// shown text, locale-aware.
#include <QAbstractItemModel>
#include <QCollator>
#include <string>
#include <string_view>
#include <vector>

namespace orbisk {

class FolderTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit FolderTreeModel(QObject* parent = nullptr);

    // Adds the nodes of path that are missing; returns the node of path.
    QModelIndex AddPath(std::string_view path);
    // The folder path a node stands for: "\", then each text from the
    // top-level node down followed by "\" (the empty root gives "\").
    std::string PathOf(const QModelIndex& index) const;
    void Clear();

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    struct Node {
        std::string text; // bytes as stored in the archive
        QString shown;
        std::size_t parent = 0;
        std::vector<std::size_t> children;
    };
    // Node 0 is the invisible root whose children are the top-level nodes.
    std::size_t NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(std::size_t node) const;
    int RowOf(std::size_t node) const;
    std::size_t Child(std::size_t node, std::string_view text);

    std::vector<Node> nodes_;
    QCollator collator_;
};

} // namespace orbisk
