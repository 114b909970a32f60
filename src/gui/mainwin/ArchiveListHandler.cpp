#include "gui/mainwin/ArchiveListHandler.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include "core/catalog/ArchiveListEdit.h"
#include "core/catalog/Merge.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/Menus.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ArchiveListModel.h"
#include "gui/mainwin/ArchiveTreeHandler.h"
#include "gui/mainwin/ArchiveTreeModel.h"
#include "gui/mainwin/TForm_Main.h"
#include "gui/mainwin/TForm_Vlastnosti.h"

namespace orbisk {

ArchiveListHandler::ArchiveListHandler(TForm_Main& form, ArchiveTreeHandler& tree)
    : QObject(&form), form_(form), tree_(tree), menu_(new QMenu(&form)) {
    menu_->setObjectName(QStringLiteral("PopupMenu_CD"));
    Action_Merge = MenuEntry(*menu_, "Action_CDMerge", QStringLiteral("Sloučit do multiarchivu"));
    Action_Delete = MenuEntry(*menu_, "Action_CDDelete", QStringLiteral("Odstranit"));
    Action_Properties = MenuEntry(*menu_, "Action_CDProperties", QStringLiteral("Vlastnosti"));
    connect(Action_Merge, &QAction::triggered, this, &ArchiveListHandler::MergeCommand);
    connect(Action_Delete, &QAction::triggered, this, &ArchiveListHandler::DeleteCommand);
    connect(Action_Properties, &QAction::triggered, this, &ArchiveListHandler::PropertiesCommand);
    ListView& list = List();
    list.SetKeyHandler([this](QKeyEvent& key) { return KeyPressed(key); });
    connect(&list, &ListView::Activated, this, &ArchiveListHandler::OpenCommand);
    connect(&list, &ListView::ContextMenuRequested, this, &ArchiveListHandler::ShowContextMenu);
    UpdateMenuState();
}

ListView& ArchiveListHandler::List() const {
    return *form_.Controls().ListView_CD;
}

void ArchiveListHandler::OpenCommand() {
    if (form_.Busy()) return;
    const std::vector<int> rows = List().SelectedRows();
    if (rows.empty()) return;
    const int current = List().CurrentRow();
    const bool currentSelected = std::find(rows.begin(), rows.end(), current) != rows.end();
    const std::int32_t slot = tree_.ListModel().SlotAt(currentSelected ? current : rows.front());
    if (slot != 0) tree_.OpenSlot(slot);
}

void ArchiveListHandler::DeleteCommand() {
    if (form_.Busy()) return;
    if (DeleteSlots(List().SelectedSlots()) == 0) return;
    if (tree_.ListModel().rowCount() > 0) List().SelectRow(0);
}

int ArchiveListHandler::DeleteSlots(const std::vector<std::int32_t>& slots) {
    TArchiveList& rows = tree_.Rows();
    const TMainControls& c = form_.Controls();
    int deleted = 0;
    for (std::int32_t slot : slots) {
        if (!ArchiveFileExists(rows, slot)) continue;
        const QString question = c.LabelT1->text() + DecodeText(rows[slot].Name) +
                                 c.LabelT2->text() + DecodeText(rows[slot].FileName) +
                                 QStringLiteral(") ?");
        if (Prompt::Question(c.LabelT3->text(), question, PromptButtons::OkCancel) !=
            PromptAnswer::Ok)
            continue;
        // Asked before the file is gone, while both names can be compared
        // as files.
        const bool open = form_.IsOpenArchive(rows.PathOf(slot));
        const TDeleteResult result = DeleteArchive(rows, slot);
        if (result.Status == TDeleteStatus::Failed) {
            Prompt::Warning(DecodeText(result.Message));
            continue;
        }
        if (result.Status != TDeleteStatus::Deleted) continue;
        // A save of the open archive would write the deleted file back.
        if (open) form_.CloseArchive();
        ++deleted;
        tree_.ListModel().RemoveSlot(slot);
        tree_.RemoveLeaf(slot);
    }
    if (deleted > 0) tree_.RewriteArchiveList();
    return deleted;
}

TForm_Vlastnosti& ArchiveListHandler::PropertiesWindow() {
    // The window list creates it as a child of the main window; a main
    // window made on its own (as in a test) gets its own on first use.
    auto* window = form_.findChild<TForm_Vlastnosti*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) window = new TForm_Vlastnosti(&form_);
    return *window;
}

void ArchiveListHandler::PropertiesCommand() {
    const std::vector<std::int32_t> slots = List().SelectedSlots();
    if (form_.Busy() || slots.size() != 1 || slots.front() == 0) return;
    const std::int32_t slot = slots.front();
    TArchiveList& rows = tree_.Rows();
    if (!rows.ValidSlot(slot)) return;
    const std::optional<TArchiveProperties> values = PropertiesWindow().Ask(rows[slot], &form_);
    if (!values) return;
    const std::string path = rows.PathOf(slot);
    const TPropertiesResult result = ApplyArchiveProperties(rows, slot, *values, form_.UiHost());
    if (!result.Saved) return;
    const THead& row = rows[slot];
    if (form_.IsOpenArchive(path)) {
        // The open archive is saved again later; it must not bring the old header back.
        AssignHeaderValues(form_.CurrentArchive.Head, row);
        form_.Controls().TreeTitle->setText(DecodeText(row.Name));
    }
    tree_.ListModel().SlotChanged(slot);
    tree_.RewriteArchiveList();
    // A leaf is added again under its node, with its new name.
    tree_.AddArchiveToTree(slot, result.TreePathChanged, tree_.Options().ArchivesInTree);
}

void ArchiveListHandler::MergeCommand() {
    const std::vector<std::int32_t> slots = List().SelectedSlots();
    if (form_.Busy() || slots.size() < 2) return;
    form_.StorePendingNote();
    if (form_.Modified()) {
        if (!form_.SaveCurrentArchive()) return;
        form_.SetModified(false);
    }
    TArchiveList& rows = tree_.Rows();
    std::vector<bool> wasListed;
    for (const THead& row : rows.Rows)
        wasListed.push_back(row.Listed != 0);
    TMergeResult result;
    {
        BusyCursor cursor;
        TArch merged;
        result = MergeListedArchives(rows, slots, merged, form_.UiHost());
    }
    // A failed write has said so and added no row.
    if (!result.Written) return;
    // A multi-archive made again replaces the row of its earlier file.
    std::int32_t listed = 0;
    for (std::size_t slot = 1; slot < rows.Rows.size(); ++slot) {
        if (rows.Rows[slot].Listed != 0) ++listed;
        if (slot < wasListed.size() && wasListed[slot] && rows.Rows[slot].Listed == 0)
            tree_.RemoveLeaf(static_cast<std::int32_t>(slot));
    }
    tree_.ForgetShownPath();
    tree_.AddArchiveToTree(result.Slot, true, tree_.Options().ArchivesInTree);
    tree_.ShowCount(listed);
    tree_.OpenSlot(result.Slot);
}

void ArchiveListHandler::UpdateMenuState() {
    const int selected = List().SelectedCount();
    Action_Merge->setEnabled(selected >= 2);
    Action_Delete->setEnabled(selected >= 1);
    Action_Properties->setEnabled(selected == 1);
}

void ArchiveListHandler::ShowContextMenu(const QPoint& globalPos) {
    UpdateMenuState();
    menu_->popup(globalPos);
}

bool ArchiveListHandler::KeyPressed(QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    const bool enter = key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
    if (enter && modifiers == Qt::AltModifier) {
        PropertiesCommand();
        return true;
    }
    if (modifiers != Qt::NoModifier) return false;
    switch (key.key()) {
    case Qt::Key_Backspace:
        tree_.View().setFocus();
        return true;
    case Qt::Key_Delete:
        DeleteCommand();
        return true;
    default:
        return false;
    }
}

void ArchiveListHandler::SetGridLines(bool on) {
    List().SetGridLines(on);
}

void ArchiveListHandler::SetViewStyle(ListView::Style style) {
    List().SetStyle(style);
}

} // namespace orbisk
