#pragma once
// The content browser of the main window: one folder of the open archive in
// the content list, navigation through its folders, packed files and merged
// archives, sorting, the optional folder tree, and the status-bar totals.
// Commands on the rows (deleting, sizes, the selection mask, the display
// filter, the context menu) are ContentCommands; the note and description
// fields are the NotePanel.
#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/common/ListView.h"
#include "gui/mainwin/ContentOptions.h"

class QKeyEvent;

namespace orbisk {

class ContentCommands;
class ContentModel;
class FolderTreeModel;
class NotePanel;
class TForm_Main;

class ContentBrowser : public QObject {
    Q_OBJECT
public:
    explicit ContentBrowser(TForm_Main& form);
    ~ContentBrowser() override;

    ContentModel& Model() const { return *model_; }
    FolderTreeModel& FolderTree() const { return *tree_; }
    NotePanel& Notes() const { return *notes_; }
    ContentCommands& Commands() const { return *commands_; }
    ListView& List() const;

    const TContentOptions& Options() const { return options_; }
    // Takes new options and shows their effect: bold rows, the folder tree
    // pane, and the open folder listed again. Nothing happens while busy.
    void SetOptions(const TContentOptions& options);

    // Empties the list, the folder tree and the note fields; call before the
    // open archive's arrays change. A note being typed is stored first.
    void Clear();
    // After an archive was read: its code page, depth 1 with row 0
    // remembered, an empty folder tree.
    void ArchiveOpened();

    // Fills the content list with the folder path of the open archive, sorted,
    // with the row remembered for its depth selected. Nothing happens while
    // the window is busy.
    void ListFolder(const std::string& path);
    // Shows path in the title bar, makes it CurrentPath and lists it.
    void ShowFolder(const std::string& path);

    // Enter or double click on the selected row.
    void ActivateSelection();
    // "Otevři (spust)": the single selected entry, file or folder, goes to
    // the run window.
    void RunSelection();
    // One folder up ("..", Backspace, "[ .. ]"); at the root Backspace moves
    // the focus to the archive list.
    void GoUp(bool backspace = false);
    // Straight to the root ("\").
    void GoRoot();

    // Index of the directory shown, 0 when the folder is not in the archive.
    std::int32_t CurrentDirIndex() const { return currentDirIndex_; }
    std::int32_t Depth() const { return depth_; }
    // The row remembered for depth, 0 for a depth never visited.
    int RememberedRow(std::int32_t depth) const;

    void StorePendingNote();
    void SetGridLines(bool on);
    void SetWrap(bool on);
    void SetViewStyle(ListView::Style style);
    void FocusList();

    // Called after entries were deleted: the search windows drop results that
    // may point at them.
    std::function<void()> ClearSearchResults;
    // Opens an entry of the shown folder (rec) with the run window.
    std::function<void(std::int32_t rec)> RunEntry;

private:
    void EnterRow(int row);
    void Remember(std::int32_t depth, int row);
    void SelectionChanged();
    bool KeyPressed(QKeyEvent& key);
    void FolderNodeChosen();
    void ShowFolderTree(bool on);

    TForm_Main& form_;
    ContentModel* model_;
    FolderTreeModel* tree_;
    // Released before the window's controls go: it watches the note fields.
    std::unique_ptr<NotePanel> notes_;
    std::unique_ptr<ContentCommands> commands_;
    TContentOptions options_;
    std::int32_t currentDirIndex_ = 0;
    std::int32_t depth_ = 1;
    std::vector<int> remembered_; // by depth; grows as deep as the user goes
};

} // namespace orbisk
