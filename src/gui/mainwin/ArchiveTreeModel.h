#pragma once
// The archive tree: folder nodes for the categories (tree paths such as
// \CD\Hry\) and, when asked for, one leaf per archive carrying its slot.
// Among siblings archive leaves come first, then folders; each kind is
// ordered by its shown text, locale-aware. Folder nodes can be renamed in
// place and accept archives dropped on them; what a rename or a drop means
// for the archive list is decided by the hooks the owner sets.
#include <QAbstractItemModel>
#include <QCollator>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orbisk {

struct TArchiveList;

// Mime type of a drag that carries archive list slots.
inline constexpr const char* kArchiveSlotsMime = "application/x-orbisk-archive-slots";
QByteArray EncodeSlots(const std::vector<std::int32_t>& slots);
std::vector<std::int32_t> DecodeSlots(const QByteArray& bytes);

// Picture numbers of the tree's image set.
inline constexpr int kPictureArchive = 15;
inline constexpr int kPictureFolder = 22;
inline constexpr int kPictureFolderSelected = 30;

class ArchiveTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    // The picture number of a node (PictureRole); the folder picture is the
    // same in both states, the view draws the selected one.
    static constexpr int PictureRole = Qt::UserRole + 1;
    static constexpr int SlotRole = Qt::UserRole + 2;

    explicit ArchiveTreeModel(QObject* parent = nullptr);

    // Fills the tree with the folder nodes of every Listed row and, with
    // leaves, a leaf per row.
    void Fill(const TArchiveList& list, bool leaves);
    void Clear();
    // Adds the folder nodes of treePath that are missing; returns the deepest.
    QModelIndex AddPath(std::string_view treePath);
    // Adds a leaf for an archive under folder.
    QModelIndex AddArchive(const QModelIndex& folder, std::string_view name, std::int32_t slot);
    // Removes the leaf that carries slot, if there is one.
    void RemoveArchive(std::int32_t slot);
    QModelIndex FindArchive(std::int32_t slot) const;
    // The node of a tree path, or an invalid index.
    QModelIndex FindPath(std::string_view treePath) const;

    // "\" followed by each text from the top-level node down to index, each
    // followed by "\"; an archive leaf gives its folder's path.
    std::string PathOf(const QModelIndex& index) const;
    std::int32_t SlotOf(const QModelIndex& index) const;
    bool IsArchive(const QModelIndex& index) const { return SlotOf(index) != 0; }
    // Number of nodes in the whole tree.
    int NodeCount() const { return nodeCount_; }

    // Whether archive leaves can be dragged.
    void SetLeavesDraggable(bool on) { leavesDraggable_ = on; }

    // A folder node is renamed: the hook gets its old tree path and the typed
    // text and returns the node's new text, or nothing to keep the old one.
    std::function<std::optional<std::string>(const std::string& oldPath, const QString& text)>
        RenameHook;
    // Archives were dropped on the folder node target.
    std::function<void(const std::vector<std::int32_t>& slots, const QModelIndex& target)> DropHook;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    Qt::DropActions supportedDropActions() const override;
    Qt::DropActions supportedDragActions() const override;

private:
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    struct Node {
        std::string text; // bytes as stored in the tree paths
        QString shown;
        std::int32_t slot = 0;
        std::size_t parent = 0;
        std::vector<std::size_t> children;
    };
    // Node 0 is the invisible root whose children are the top-level nodes.
    std::size_t NodeOf(const QModelIndex& index) const;
    QModelIndex IndexOf(std::size_t node) const;
    int RowOf(std::size_t node) const;
    bool Before(std::size_t a, std::size_t b) const;
    int InsertPosition(std::size_t parent, std::size_t node) const;
    std::size_t FolderChild(std::size_t node, std::string_view text) const;
    std::size_t AddFolder(std::size_t node, std::string_view text, bool announce);
    std::size_t AddLeaf(std::size_t node, std::string_view name, std::int32_t slot, bool announce);
    void Reorder(std::size_t node);
    void MoveNode(std::size_t node, std::size_t to);
    void RemoveNode(std::size_t node);
    void MergeInto(std::size_t from, std::size_t to);

    std::vector<Node> nodes_;
    std::unordered_map<std::int32_t, std::size_t> leafOf_; // slot -> leaf node
    QCollator collator_;
    int nodeCount_ = 0;
    bool leavesDraggable_ = false;
};

} // namespace orbisk
