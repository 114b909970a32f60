#include "gui/db/DbCommands.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTreeView>

#include "core/db/Database.h"
#include "gui/common/ListView.h"
#include "gui/common/Menus.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbPanes.h"
#include "gui/db/DbTreeModel.h"
#include "gui/db/TForm_DB.h"
#include "gui/db/TForm_DB_Kat.h"
#include "gui/db/TForm_DBedit.h"

namespace orbisk {

namespace {

// Shows a modal window in the middle of over.
int ExecOver(QDialog& dialog, QWidget& over) {
    dialog.adjustSize();
    const QRect area(over.mapToGlobal(QPoint(0, 0)), over.size());
    dialog.move(area.center() - dialog.rect().center());
    return dialog.exec();
}

} // namespace

DbCommands::DbCommands(TForm_DB& form, DbPanes& panes)
    : QObject(&form), ListMenu(new QMenu(&form)), TreeMenu(new QMenu(&form)), form_(form),
      panes_(panes) {
    ListMenu->setObjectName(QStringLiteral("PopupMenu_List"));
    Action_Upravit = MenuEntry(*ListMenu, "Action_DBUpravit", QStringLiteral("Upravit"));
    Action_Odstranit = MenuEntry(*ListMenu, "Action_DBOdstranit", QStringLiteral("Odstranit"));
    TreeMenu->setObjectName(QStringLiteral("PopupMenu_Tree"));
    Action_Rozvinout = MenuEntry(*TreeMenu, "Action_DBRozvinout", QStringLiteral("Rozvinout"));
    Action_Svinout = MenuEntry(*TreeMenu, "Action_DBSvinout", QStringLiteral("Svinout"));
    TreeMenu->addSeparator();
    Action_VytvoritKategorii =
        MenuEntry(*TreeMenu, "Action_DBVytvoritKategorii", QStringLiteral("Vytvořit Kategorii"));
    Action_OdstranitKategorii =
        MenuEntry(*TreeMenu, "Action_DBOdstranitKategorii", QStringLiteral("Odstranit Kategorii"));

    connect(Action_Upravit, &QAction::triggered, this, &DbCommands::EditCommand);
    connect(Action_Odstranit, &QAction::triggered, this, &DbCommands::RemoveItemCommand);
    connect(Action_Rozvinout, &QAction::triggered, panes_.TreeView, &QTreeView::expandAll);
    connect(Action_Svinout, &QAction::triggered, panes_.TreeView, &QTreeView::collapseAll);
    connect(Action_VytvoritKategorii, &QAction::triggered, this,
            &DbCommands::CreateCategoryCommand);
    connect(Action_OdstranitKategorii, &QAction::triggered, this,
            &DbCommands::RemoveCategoryCommand);

    connect(panes_.List, &ListView::ContextMenuRequested, this, &DbCommands::ShowListMenu);
    connect(panes_.TreeView, &QWidget::customContextMenuRequested, this, &DbCommands::ShowTreeMenu);
    panes_.List->SetKeyHandler([this](QKeyEvent& key) { return ListKey(key); });
    panes_.Tree().DropHook = [this](std::int32_t item, const QModelIndex& target) {
        MoveItem(item, target);
    };
    UpdateListMenu();
    UpdateTreeMenu();
}

void DbCommands::AddCommand() {
    panes_.StoreDescription();
    TForm_DBedit& edit = form_.EditWindow();
    edit.SetInsertMode(true);
    if (ExecOver(edit, form_) == TForm_DBedit::Insert)
        form_.Database().InsertItem(kRootCategory, MakeDbItem(edit.Item()));
    const std::string root(kRootCategory);
    panes_.AddPathToTree(root);
    panes_.FillList(root);
    panes_.SelectTopNode();
}

void DbCommands::EditCommand() {
    const std::int32_t item = panes_.SelectedItem();
    if (item == 0) return;
    panes_.StoreDescription();
    TDatabase& db = form_.Database();
    const TRec& rec = db.Item(item);
    TForm_DBedit& edit = form_.EditWindow();
    edit.FillFields({rec.Name, rec.Size, rec.Date, rec.Attr, {}, {}});
    edit.SetInsertMode(false);
    edit.ItemIndex = item;
    if (ExecOver(edit, form_) != TForm_DBedit::Change) return;
    const TDbItem values = edit.Item();
    db.UpdateItem(edit.ItemIndex, values.Name, values.Size, values.Archive, values.Path);
    DbItemModel& items = panes_.Items();
    items.RowChanged(items.RowOfItem(edit.ItemIndex));
    // The list stays ordered by name; the row keeps its selection.
    items.sort(0, Qt::AscendingOrder);
}

void DbCommands::RemoveItemCommand() {
    const std::int32_t item = panes_.SelectedItem();
    if (item == 0) return;
    panes_.StoreDescription();
    TDatabase& db = form_.Database();
    const QString question =
        form_.LabelT1->text() + DecodeText(db.Item(item).Name) + QStringLiteral(" ?");
    if (Prompt::Question(form_.LabelT2->text(), question, PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    db.RemoveItem(item);
    panes_.FillList(db.CurrentPath);
}

void DbCommands::MoveItem(std::int32_t item, const QModelIndex& target) {
    TDatabase& db = form_.Database();
    if (item < 1 || item > db.ItemCount() || !target.isValid()) return;
    panes_.StoreDescription();
    db.MoveItem(item, panes_.Tree().PathOf(target));
    panes_.FillList(db.CurrentPath);
}

void DbCommands::CreateCategoryCommand() {
    std::string parent = panes_.SelectedPath();
    if (parent.empty()) parent = std::string(kRootCategory);
    const std::optional<std::string> path = form_.CategoryWindow().Ask(parent, &form_);
    if (!path) return;
    form_.Database().AddCategory(*path);
    panes_.AddPathToTree(*path);
}

void DbCommands::RemoveCategoryCommand() {
    const QModelIndex node = panes_.TreeView->currentIndex();
    if (!node.isValid()) return;
    DbTreeModel& tree = panes_.Tree();
    const std::string path = tree.PathOf(node);
    const QString question =
        form_.LabelT5->text() + QStringLiteral(" \"") + DecodeText(path) + QStringLiteral("\" ?");
    if (Prompt::Question(form_.LabelT2->text(), question, PromptButtons::OkCancel) !=
        PromptAnswer::Ok)
        return;
    TDatabase& db = form_.Database();
    const std::int32_t category = db.FindCategory(path);
    // A node without a record of its own (A of \A\B\) holds no items.
    const bool empty = category == 0 || db.CanRemoveCategory(category);
    if (tree.rowCount(node) > 0 || !empty) {
        Prompt::Current().Show(PromptKind::Warning, form_.LabelT4->text(), form_.LabelT3->text());
        return;
    }
    panes_.StoreDescription();
    if (category != 0) db.RemoveCategory(category);
    // A second record of the same path (a file edited by hand) keeps the node.
    if (db.FindCategory(path) == 0) tree.RemoveNode(node);
}

void DbCommands::UpdateListMenu() {
    const bool one = panes_.List->SelectedCount() == 1;
    Action_Upravit->setEnabled(one);
    Action_Odstranit->setEnabled(one);
}

void DbCommands::UpdateTreeMenu() {
    const bool several = panes_.Tree().NodeCount() >= 2;
    Action_Rozvinout->setEnabled(several);
    Action_Svinout->setEnabled(several);
}

void DbCommands::ShowListMenu(const QPoint& globalPos) {
    UpdateListMenu();
    ListMenu->popup(globalPos);
}

void DbCommands::ShowTreeMenu(const QPoint& pos) {
    QTreeView& view = *panes_.TreeView;
    // The node under the pointer is chosen before the menu opens.
    const QModelIndex node = view.indexAt(pos);
    if (node.isValid()) view.setCurrentIndex(node);
    UpdateTreeMenu();
    TreeMenu->popup(view.viewport()->mapToGlobal(pos));
}

bool DbCommands::ListKey(QKeyEvent& key) {
    if (key.key() != Qt::Key_Delete || (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    RemoveItemCommand();
    return true;
}

} // namespace orbisk
