#pragma once
// The controls of the main window: the tool bar, the archive list pane across
// the width, below it the archive tree pane, the folder tree pane, the content list pane, the note
// panel, the splitter between them, the status bar with its three fields and the hidden labels
// whose captions are texts of messages (a language file translates them).
class QCheckBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QSplitter;
class QToolBar;
class QToolButton;
class QTreeView;
class QWidget;

namespace orbisk {

class ListView;

struct TMainControls {
    QToolBar* ToolBar = nullptr;
    QSplitter* Splitter = nullptr;    // the panes side by side
    QSplitter* SplitterTop = nullptr; // the archive list pane above them

    QWidget* PanelCD = nullptr; // the archive list pane
    ListView* ListView_CD = nullptr;

    QWidget* PanelTree = nullptr; // the archive tree pane
    QLabel* TreeTitle = nullptr;  // " [ ]", then the open archive's name
    QToolButton* WorkDirButton = nullptr;
    QTreeView* TreeView_Arch = nullptr;

    QWidget* PanelTreeDir = nullptr; // the folder tree pane, shown by an option
    QToolButton* CloseTreeDirButton = nullptr;
    QTreeView* TreeView_Dir = nullptr;

    QWidget* PanelDir = nullptr; // the content list pane
    QLabel* DirTitle = nullptr;  // the folder shown, "\" at first
    QToolButton* RootButton = nullptr;
    QToolButton* UpButton = nullptr;
    ListView* ListView_Dir = nullptr;

    QWidget* PanelNote = nullptr; // note and description of the selected entry
    QLineEdit* Edit_Pozn = nullptr;
    QPlainTextEdit* Memo_Popis = nullptr;
    QCheckBox* CheckBox_Wrap = nullptr;

    QLabel* StatusArchives = nullptr; // the number of archives listed
    QLabel* StatusTotals = nullptr;   // totals of the folder shown
    QLabel* StatusSpare = nullptr;

    QLabel* LabelT1 = nullptr;             // "Chcete skutečně smazat "
    QLabel* LabelT2 = nullptr;             // " (soubor "
    QLabel* LabelT3 = nullptr;             // "Potvrzení..."
    QLabel* LabelT5 = nullptr;             // " souborech"
    QLabel* LabelT7 = nullptr;             // "záznamů"
    QLabel* LabelT_OpenTitle = nullptr;    // "Otevřít", title of the open dialog
    QLabel* LabelT_ChooseFolder = nullptr; // "Vyber pracovní adresář ..."
    QLabel* LabelT_NoFolder = nullptr;     // "Nelze nalézt adresář."
    QLabel* LabelT_CannotOpen = nullptr;   // "Nelze otevřít " (a file or address follows)
};

// Texts of the title bars.
inline constexpr const char* kEmptyTreeTitle = " [ ]";
inline constexpr const char* kRootPath = "\\";

// Creates the controls inside window and returns them; every control carries
// its name as object name.
TMainControls BuildMainLayout(QMainWindow& window);

} // namespace orbisk
