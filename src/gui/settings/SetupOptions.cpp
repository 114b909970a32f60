// Applying the setup window's options to the other windows: colours,
// highlighting of selections in panes without focus, wrapping of the
// description, the preset optical drive, the icons, the panes the main
// window shows, and the options the other windows read when they act.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTreeView>
#include <optional>

#include "gui/Windows.h"
#include "gui/common/ListView.h"
#include "gui/common/SystemIcons.h"
#include "gui/db/DbPanes.h"
#include "gui/db/TForm_DB.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ContentBrowser.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/scan/TForm_EXE.h"
#include "gui/scan/TForm_ReadCD.h"
#include "gui/search/SearchOptions.h"
#include "gui/search/SearchWindow.h"
#include "gui/settings/TForm_Setup.h"

namespace orbisk {

namespace {

// A list view paints through its inner views.
std::vector<QWidget*> Painted(QWidget* widget) {
    if (auto* list = dynamic_cast<ListView*>(widget)) return {list->Report(), list->Icons()};
    return {widget};
}

// The background of widget: colour, or the system's window colour.
void SetBackground(QWidget* widget, const std::optional<QColor>& colour) {
    for (QWidget* w : Painted(widget)) {
        QPalette palette = w->palette();
        const QPalette system = QApplication::palette(w);
        for (QPalette::ColorGroup group :
             {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            palette.setColor(group, QPalette::Base,
                             colour ? *colour : system.color(group, QPalette::Base));
        w->setPalette(palette);
    }
}

// A selection in a pane without focus drawn as strongly as with focus, or
// in the system's subdued way.
void KeepSelection(QWidget* widget, bool keep) {
    for (QWidget* w : Painted(widget)) {
        QPalette palette = w->palette();
        const QPalette system = QApplication::palette(w);
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            palette.setColor(QPalette::Inactive, role,
                             system.color(keep ? QPalette::Active : QPalette::Inactive, role));
        w->setPalette(palette);
    }
}

// The panes each colour area covers, in the order of the setup's boxes.
std::vector<std::vector<QWidget*>> ColourAreas(TForm_Main& main,
                                               const std::vector<QWidget*>& windows) {
    const TMainControls& c = main.Controls();
    std::vector<std::vector<QWidget*>> areas(kColourAreas);
    areas[0] = {c.TreeView_Arch};
    areas[1] = {c.ListView_CD};
    areas[2] = {c.ListView_Dir};
    areas[3] = {c.Edit_Pozn, c.Memo_Popis};
    for (QWidget* window : windows)
        if (auto* search = dynamic_cast<TSearchWindow*>(window))
            areas[4].insert(areas[4].end(), {search->ListView, search->RichEdit, search->Memo});
    if (auto* db = WindowOfType<TForm_DB>(windows)) {
        areas[5] = {db->Panes().TreeView};
        areas[6] = {db->Panes().List};
        areas[7] = {db->Panes().Memo};
    }
    areas[8] = {c.TreeView_Dir};
    return areas;
}

} // namespace

void TForm_Setup::ApplyOptions() {
    if (main_.Busy()) return;
    const std::vector<QWidget*>& windows = main_.Windows();
    const TMainControls& c = main_.Controls();

    const std::vector<std::vector<QWidget*>> areas = ColourAreas(main_, windows);
    for (std::size_t i = 0; i < areas.size(); ++i) {
        std::optional<QColor> colour;
        if (ColourBoxes[i]->isChecked()) colour = Samples[i]->palette().color(QPalette::Base);
        for (QWidget* pane : areas[i])
            SetBackground(pane, colour);
    }

    auto* db = WindowOfType<TForm_DB>(windows);
    KeepSelection(c.TreeView_Arch, CheckBox_TreeSelect->isChecked());
    if (db) KeepSelection(db->Panes().TreeView, CheckBox_TreeSelect->isChecked());
    KeepSelection(c.ListView_CD, CheckBox_ListSelect->isChecked());
    KeepSelection(c.ListView_Dir, CheckBox_ListSelect->isChecked());
    if (db) KeepSelection(db->Panes().List, CheckBox_ListSelect->isChecked());

    // The wrap box follows the option (and with it the description's scroll
    // bars), and is shown only when asked.
    c.CheckBox_Wrap->setChecked(CheckBox_Description_Wrap->isChecked());
    c.CheckBox_Wrap->setVisible(CheckBox_ViewWrap->isChecked());

    const bool lastCd = CheckBox_WhichCDROM->isChecked();
    if (auto* scan = WindowOfType<TForm_ReadCD>(windows)) {
        scan->SetOptions({.LastCdDrive = lastCd});
        scan->PickCdDrive(lastCd);
    }
    if (auto* run = WindowOfType<TForm_EXE>(windows))
        run->SetOptions({.LastCdDrive = lastCd, .AlwaysIgnoreSerial = CheckBox_SN->isChecked()});

    SearchOptions().HideStarOption = CheckBox_HideStar->isChecked();

    // The lists showing entries redraw their pictures when the switch
    // changes; the content browser lists the open folder again with the
    // bold rows and the folder tree pane as chosen.
    SetSystemIcons(CheckBox_ICO->isChecked());
    main_.Content().SetOptions({.FolderSizes = CheckBox_Size->isChecked(),
                                .BoldNoticed = CheckBox_SelNoticed->isChecked(),
                                .FolderTree = CheckBox_TreeDir->isChecked()});
    main_.Archives().SetOptions({.ArchivesInTree = CheckBox_ViewCD->isChecked(),
                                 .TreeDragDrop = CheckBox_LeftDaD->isChecked(),
                                 .ShowArchiveList = CheckBox_ShowUpper->isChecked()});
}

} // namespace orbisk
