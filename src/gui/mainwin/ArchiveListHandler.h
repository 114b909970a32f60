#pragma once
// The commands of the archive list: open by double click or Enter, Backspace
// to the tree, "Odstranit" (Delete), "Vlastnosti" (Alt+Enter), the context
// menu and the list's view style and grid lines.
#include <QObject>
#include <cstdint>
#include <vector>

#include "gui/common/ListView.h"

class QAction;
class QKeyEvent;
class QMenu;
class QPoint;

namespace orbisk {

class ArchiveTreeHandler;
class TForm_Main;
class TForm_Vlastnosti;

class ArchiveListHandler : public QObject {
    Q_OBJECT
public:
    ArchiveListHandler(TForm_Main& form, ArchiveTreeHandler& tree);

    // Opens the archive of the current row.
    void OpenCommand();
    // Asks for every selected row whose file exists and deletes the files
    // confirmed; a file that cannot be deleted is reported and keeps its row.
    // The open archive, once its file is deleted, is closed unsaved.
    void DeleteCommand();
    // The same for slots; returns how many archives were deleted.
    int DeleteSlots(const std::vector<std::int32_t>& slots);
    // With exactly one row selected: the properties window for its archive;
    // on "OK" the header inside the archive file, the row and the cache
    // change, and the archive moves to the node of its new categories.
    void PropertiesCommand();
    // "Sloučit do multiarchivu": with two or more rows selected, merges their
    // archives, in list order, into a new multi-archive filed under "\Multi\"
    // and opens it. Edits of the open archive are saved first, so a merged
    // open archive comes in as it is shown.
    void MergeCommand();

    // Enables the entries for the selection and shows the menu at globalPos.
    void ShowContextMenu(const QPoint& globalPos);
    void UpdateMenuState();
    QMenu* Menu() const { return menu_; }

    void SetGridLines(bool on);
    void SetViewStyle(ListView::Style style);

    QAction* Action_Merge;      // "Sloučit do multiarchivu"
    QAction* Action_Delete;     // "Odstranit"
    QAction* Action_Properties; // "Vlastnosti"

private:
    bool KeyPressed(QKeyEvent& key);
    TForm_Vlastnosti& PropertiesWindow();
    ListView& List() const;

    TForm_Main& form_;
    ArchiveTreeHandler& tree_;
    QMenu* menu_;
};

} // namespace orbisk
