#pragma once
// The archive tree pane and the archives of the working folder: building the
// archive list (the rows, the tree, the list of the selected node), the
// remembered tree path, and the commands of the tree: open by Enter or
// double click, "Obnovit" (F5), "Rozvinout", "Svinout", "Vytvořit", renaming
// a category in place, moving archives by drag and drop, Delete on an archive
// leaf. The archive list's own commands are ArchiveListHandler.
#include <QObject>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/catalog/ArchiveList.h"
#include "gui/mainwin/ArchiveOptions.h"

class QAction;
class QKeyEvent;
class QMenu;
class QModelIndex;
class QPoint;
class QTreeView;

namespace orbisk {

class ArchiveListHandler;
class ArchiveListModel;
class ArchiveTreeModel;
class ListView;
class TForm_DB_Kat;
class TForm_Main;

class ArchiveTreeHandler : public QObject {
    Q_OBJECT
public:
    explicit ArchiveTreeHandler(TForm_Main& form);
    ~ArchiveTreeHandler() override;

    TArchiveList& Rows() { return rows_; }
    ArchiveTreeModel& Tree() const { return *tree_; }
    ArchiveListModel& ListModel() const { return *list_; }
    ArchiveListHandler& ListCommands() const { return *listCommands_; }
    QTreeView& View() const;
    ListView& List() const;

    const TArchiveOptions& Options() const { return options_; }
    // Takes new options: the archive list pane is shown or hidden and leaves
    // become draggable or not; the tree shows leaves from the next build.
    void SetOptions(const TArchiveOptions& options);

    // Builds the archive list of the main window's working folder: rows,
    // value lists, the tree with its first node selected, the archives of
    // that node, the number of archives.
    void BuildArchiveList();
    // Drops duplicate rows, writes the cache and shows the number of archives.
    // A write that fails is reported once, until a write succeeds again, so
    // the user knows the list's changes will not outlive the program.
    void RewriteArchiveList();
    // Shows the number of listed archives in the status bar.
    void ShowCount(std::int32_t count);
    // Makes sure the folder nodes of the row's tree path exist; selects the
    // deepest when select is set, adds a leaf for the archive when
    // showArchive is set; then shows the archives of the selected node.
    void AddArchiveToTree(std::int32_t slot, bool select, bool showArchive);
    // Fills the archive list with the archives filed exactly at the selected
    // node (the parent of a selected leaf), unless it shows them already.
    void ShowArchivesOfNode();
    // The path whose archives the list shows; empty after a build.
    const std::string& ShownPath() const { return shownPath_; }
    void ForgetShownPath() { shownPath_.clear(); }

    // Opens the archive of slot in the content browser.
    void OpenSlot(std::int32_t slot);
    // Selects the archive of slot: its leaf or its category node in the
    // tree, and its row, alone, in the archive list.
    void SelectArchive(std::int32_t slot);
    // Files the archives of slots at the category targetPath, selects its
    // node and keeps the change in the cache.
    void MoveToCategory(const std::vector<std::int32_t>& slots, const std::string& targetPath);
    // Renames the category at oldPath; the new text of its node, or nothing
    // when the name does not change.
    std::optional<std::string> RenameCategory(const std::string& oldPath, const QString& text);
    // Takes the leaf of slot out of the tree (when leaves are shown).
    void RemoveLeaf(std::int32_t slot);

    void RefreshCommand();    // "Obnovit", F5
    void CreateCommand();     // "Vytvořit"
    void EnterCommand();      // Enter in the tree
    void DeleteLeafCommand(); // Delete on an archive leaf
    void ShowContextMenu(const QPoint& globalPos);
    void UpdateMenuState();
    QMenu* Menu() const { return menu_; }

    QAction* Action_Refresh;  // "Obnovit"
    QAction* Action_Expand;   // "Rozvinout"
    QAction* Action_Collapse; // "Svinout"
    QAction* Action_Create;   // "Vytvořit"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void NodeDoubleClicked();
    bool TreeKey(QKeyEvent& key);
    TForm_DB_Kat& CategoryWindow();
    void ApplyDragModes();

    TForm_Main& form_;
    TArchiveList rows_;
    ArchiveTreeModel* tree_;
    ArchiveListModel* list_;
    std::unique_ptr<ArchiveListHandler> listCommands_;
    TArchiveOptions options_;
    std::string shownPath_;
    QMenu* menu_;
    bool building_ = false;
    bool listWriteReported_ = false;
};

} // namespace orbisk
