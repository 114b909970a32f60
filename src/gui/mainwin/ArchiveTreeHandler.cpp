#include "gui/mainwin/ArchiveTreeHandler.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QTreeView>

#include "core/catalog/ArchiveListEdit.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/ListView.h"
#include "gui/common/Menus.h"
#include "gui/common/Prompt.h"
#include "gui/common/Text.h"
#include "gui/db/TForm_DB_Kat.h"
#include "gui/mainwin/ArchiveListHandler.h"
#include "gui/mainwin/ArchiveListModel.h"
#include "gui/mainwin/ArchiveTreeModel.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

// Archiv, Medium, Typ, Subtyp, Vlastník, Popis, Soubor.
const std::vector<int> kColumnWidths = {170, 70, 90, 90, 90, 220, 150};

} // namespace

ArchiveTreeHandler::ArchiveTreeHandler(TForm_Main& form)
    : QObject(&form), form_(form), tree_(new ArchiveTreeModel(form.Controls().TreeView_Arch)),
      list_(new ArchiveListModel(rows_, form.Controls().ListView_CD)), menu_(new QMenu(&form)) {
    QTreeView& view = View();
    view.setModel(tree_);
    view.installEventFilter(this);
    ListView& list = List();
    list.SetModel(list_);
    list.SetColumnWidths(kColumnWidths);
    list.SetMultiSelection(true);
    tree_->RenameHook = [this](const std::string& oldPath, const QString& text) {
        return RenameCategory(oldPath, text);
    };
    tree_->DropHook = [this](const std::vector<std::int32_t>& slots, const QModelIndex& target) {
        MoveToCategory(slots, tree_->PathOf(target));
    };
    connect(view.selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!form_.Busy() && !building_) ShowArchivesOfNode();
    });
    connect(&view, &QAbstractItemView::doubleClicked, this, &ArchiveTreeHandler::NodeDoubleClicked);
    connect(&view, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        // The node under the pointer is selected before the menu opens.
        const QModelIndex node = View().indexAt(at);
        if (node.isValid()) View().setCurrentIndex(node);
        ShowContextMenu(View().viewport()->mapToGlobal(at));
    });
    BuildMenu();
    listCommands_ = std::make_unique<ArchiveListHandler>(form_, *this);
    SetOptions(options_);
}

ArchiveTreeHandler::~ArchiveTreeHandler() = default;

QTreeView& ArchiveTreeHandler::View() const {
    return *form_.Controls().TreeView_Arch;
}

ListView& ArchiveTreeHandler::List() const {
    return *form_.Controls().ListView_CD;
}

void ArchiveTreeHandler::BuildMenu() {
    menu_->setObjectName(QStringLiteral("PopupMenu_Tree"));
    Action_Refresh = MenuEntry(*menu_, "Action_TreeRefresh", QStringLiteral("Obnovit"));
    menu_->addSeparator();
    Action_Expand = MenuEntry(*menu_, "Action_TreeExpand", QStringLiteral("Rozvinout"));
    Action_Collapse = MenuEntry(*menu_, "Action_TreeCollapse", QStringLiteral("Svinout"));
    menu_->addSeparator();
    Action_Create = MenuEntry(*menu_, "Action_TreeCreate", QStringLiteral("Vytvořit"));
    connect(Action_Refresh, &QAction::triggered, this, &ArchiveTreeHandler::RefreshCommand);
    connect(Action_Expand, &QAction::triggered, &View(), &QTreeView::expandAll);
    connect(Action_Collapse, &QAction::triggered, &View(), &QTreeView::collapseAll);
    connect(Action_Create, &QAction::triggered, this, &ArchiveTreeHandler::CreateCommand);
}

void ArchiveTreeHandler::SetOptions(const TArchiveOptions& options) {
    options_ = options;
    form_.Controls().PanelCD->setVisible(options_.ShowArchiveList);
    ApplyDragModes();
}

void ArchiveTreeHandler::ApplyDragModes() {
    QTreeView& view = View();
    tree_->SetLeavesDraggable(options_.TreeDragDrop);
    view.setDragEnabled(options_.TreeDragDrop);
    view.setAcceptDrops(true);
    view.setDropIndicatorShown(true);
    view.setDragDropMode(options_.TreeDragDrop ? QAbstractItemView::DragDrop
                                               : QAbstractItemView::DropOnly);
    view.setDefaultDropAction(Qt::CopyAction);
    for (QAbstractItemView* source : {static_cast<QAbstractItemView*>(List().Report()),
                                      static_cast<QAbstractItemView*>(List().Icons())}) {
        source->setDragEnabled(true);
        source->setDragDropMode(QAbstractItemView::DragOnly);
        source->setDefaultDropAction(Qt::CopyAction);
    }
}

void ArchiveTreeHandler::BuildArchiveList() {
    if (building_) return;
    building_ = true;
    {
        BusyGuard busy(form_);
        {
            BusyCursor cursor;
            shownPath_.clear();
            list_->Clear();
            tree_->Clear();
            const TBuildResult built =
                orbisk::BuildArchiveList(form_.WorkingFolderBytes(), rows_, form_.UiHost());
            ProgramValues& program = Program();
            program.ValueLists = built.ValueLists;
            tree_->Fill(rows_, options_.ArchivesInTree);
            if (tree_->rowCount() > 0) View().setCurrentIndex(tree_->index(0, 0));
            ShowCount(built.ListedCount);
        }
        Q_EMIT form_.ArchiveListBuilt();
    }
    building_ = false;
    ShowArchivesOfNode();
}

void ArchiveTreeHandler::RewriteArchiveList() {
    const TRewriteResult result = orbisk::RewriteArchiveList(rows_);
    ShowCount(result.ListedCount);
    if (result.Saved) {
        listWriteReported_ = false;
    } else if (!listWriteReported_) {
        listWriteReported_ = true;
        Prompt::Warning(DecodeText(Describe(result.Status)));
    }
}

void ArchiveTreeHandler::ShowCount(std::int32_t count) {
    form_.Controls().StatusArchives->setText(QString::number(count));
}

void ArchiveTreeHandler::AddArchiveToTree(std::int32_t slot, bool select, bool showArchive) {
    if (!rows_.ValidSlot(slot)) return;
    const THead& row = rows_[slot];
    const QModelIndex node = tree_->AddPath(row.TreePath);
    if (showArchive) tree_->AddArchive(node, row.Name, slot);
    if (select) {
        View().setCurrentIndex(node);
        View().scrollTo(node);
    }
    ShowArchivesOfNode();
}

void ArchiveTreeHandler::ShowArchivesOfNode() {
    const QModelIndex node = View().currentIndex();
    const std::string path = node.isValid() ? tree_->PathOf(node) : std::string();
    if (path == shownPath_) return;
    shownPath_ = path;
    std::vector<std::int32_t> slots;
    if (!path.empty()) slots = ArchivesAtPath(rows_, path);
    ListView& list = List();
    list_->SetSlots(std::move(slots), list.SortColumn(), list.SortDirection());
    if (list_->rowCount() > 0) list.SelectRow(0);
}

void ArchiveTreeHandler::OpenSlot(std::int32_t slot) {
    if (form_.Busy() || !rows_.ValidSlot(slot)) return;
    form_.OpenArchive(rows_.PathOf(slot));
}

void ArchiveTreeHandler::SelectArchive(std::int32_t slot) {
    if (!rows_.ValidSlot(slot) || rows_[slot].Listed == 0) return;
    QModelIndex node = tree_->FindArchive(slot);
    if (!node.isValid()) node = tree_->FindPath(rows_[slot].TreePath);
    if (!node.isValid()) return;
    View().setCurrentIndex(node);
    View().scrollTo(node);
    ShowArchivesOfNode();
    List().SelectRow(list_->RowOfSlot(slot));
}

void ArchiveTreeHandler::MoveToCategory(const std::vector<std::int32_t>& slots,
                                        const std::string& targetPath) {
    if (form_.Busy()) return;
    const std::vector<std::int32_t> moved = MoveArchivesToCategory(rows_, slots, targetPath);
    const QModelIndex target = tree_->AddPath(targetPath);
    if (options_.ArchivesInTree)
        for (std::int32_t slot : moved)
            tree_->AddArchive(target, rows_[slot].Name, slot);
    shownPath_.clear();
    View().setCurrentIndex(target);
    ShowArchivesOfNode();
    RewriteArchiveList();
}

std::optional<std::string> ArchiveTreeHandler::RenameCategory(const std::string& oldPath,
                                                              const QString& text) {
    if (form_.Busy()) return std::nullopt;
    const TRenameResult renamed =
        orbisk::RenameCategory(rows_, oldPath, EncodeText(text, CodePageOf(oldPath)));
    if (!renamed.Changed) return std::nullopt;
    RewriteArchiveList();
    // The rows shown may have moved along, or joined a sibling's: they are
    // listed again once the node carries its new name.
    if (shownPath_.starts_with(oldPath)) {
        shownPath_.clear();
        QMetaObject::invokeMethod(this, &ArchiveTreeHandler::ShowArchivesOfNode,
                                  Qt::QueuedConnection);
    }
    const std::size_t start = oldPath.rfind('\\', oldPath.size() - 2) + 1;
    return renamed.NewPath.substr(start, renamed.NewPath.size() - start - 1);
}

void ArchiveTreeHandler::RemoveLeaf(std::int32_t slot) {
    tree_->RemoveArchive(slot);
}

void ArchiveTreeHandler::RefreshCommand() {
    BuildArchiveList();
}

TForm_DB_Kat& ArchiveTreeHandler::CategoryWindow() {
    // The window list creates it as a child of the main window; a main
    // window made on its own (as in a test) gets its own on first use.
    auto* window = form_.findChild<TForm_DB_Kat*>(QString(), Qt::FindDirectChildrenOnly);
    if (!window) window = new TForm_DB_Kat(&form_);
    return *window;
}

void ArchiveTreeHandler::CreateCommand() {
    const QModelIndex node = View().currentIndex();
    if (tree_->IsArchive(node)) return;
    const std::string parent = node.isValid() ? tree_->PathOf(node) : std::string("\\");
    const std::optional<std::string> path = CategoryWindow().Ask(parent, &form_);
    if (!path) return;
    const QModelIndex made = tree_->AddPath(*path);
    View().setCurrentIndex(made);
    View().scrollTo(made);
}

void ArchiveTreeHandler::EnterCommand() {
    if (form_.Busy() || tree_->rowCount() == 0) return;
    ListView& list = List();
    if (list.SelectedCount() == 0) list.SelectRow(0);
    const QModelIndex node = View().currentIndex();
    if (tree_->IsArchive(node))
        OpenSlot(tree_->SlotOf(node));
    else
        list.setFocus();
}

void ArchiveTreeHandler::NodeDoubleClicked() {
    if (form_.Busy()) return;
    const QModelIndex node = View().currentIndex();
    if (tree_->IsArchive(node)) OpenSlot(tree_->SlotOf(node));
}

void ArchiveTreeHandler::DeleteLeafCommand() {
    const QModelIndex node = View().currentIndex();
    if (form_.Busy() || !tree_->IsArchive(node)) return;
    if (listCommands_->DeleteSlots({tree_->SlotOf(node)}) == 0) return;
    shownPath_.clear();
    ShowArchivesOfNode();
}

void ArchiveTreeHandler::UpdateMenuState() {
    const bool several = tree_->NodeCount() >= 2;
    Action_Expand->setEnabled(several);
    Action_Collapse->setEnabled(several);
    Action_Create->setEnabled(!tree_->IsArchive(View().currentIndex()));
}

void ArchiveTreeHandler::ShowContextMenu(const QPoint& globalPos) {
    UpdateMenuState();
    menu_->popup(globalPos);
}

bool ArchiveTreeHandler::TreeKey(QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::NoModifier) return false;
    switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        EnterCommand();
        return true;
    case Qt::Key_F5:
        RefreshCommand();
        return true;
    case Qt::Key_Delete:
        DeleteLeafCommand();
        return true;
    default:
        return false;
    }
}

bool ArchiveTreeHandler::eventFilter(QObject* watched, QEvent* event) {
    // A name being edited has its own editor; its keys do not come here.
    if (watched == &View() && event->type() == QEvent::KeyPress)
        return TreeKey(static_cast<QKeyEvent&>(*event));
    return QObject::eventFilter(watched, event);
}

} // namespace orbisk
