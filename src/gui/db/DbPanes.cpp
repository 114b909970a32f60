#include "gui/db/DbPanes.h"

#include <QEvent>
#include <QHeaderView>
#include <QListView>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTreeView>
#include <QVBoxLayout>

#include "core/db/Database.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/ListView.h"
#include "gui/common/Named.h"
#include "gui/common/Text.h"
#include "gui/db/DbItemModel.h"
#include "gui/db/DbTreeModel.h"

namespace orbisk {

namespace {

// "Plný název", "Velikost", "Archiv", "Cesta".
const std::vector<int> kColumnWidths = {190, 95, 100, 140};

QWidget* PanelOf(const char* name, QWidget* content) {
    auto* panel = Named(new QWidget, name);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    return panel;
}

// The code page typed text takes in an item: Windows-1250 when the item
// already holds such text, so one item does not mix code pages.
TCodePage ItemCodePage(const TRec& item) {
    for (const TStr* field : {&item.Name, &item.Description, &item.Attr})
        if (CodePageOf(*field) == TCodePage::Cp1250) return TCodePage::Cp1250;
    return TCodePage::Utf8;
}

} // namespace

DbPanes::DbPanes(TDatabase& db, bool readOnly, QWidget* parent)
    : QSplitter(Qt::Horizontal, parent), TreeView(Named(new QTreeView, "TreeView")),
      List(Named(new ListView, "ListView")), Memo(Named(new QPlainTextEdit, "Memo")), db_(db),
      readOnly_(readOnly), tree_(new DbTreeModel(this)), items_(new DbItemModel(db, this)) {
    setObjectName(QStringLiteral("Splitter_DB"));
    Panel_Left = PanelOf("Panel_Left", TreeView);
    Panel_Midle = PanelOf("Panel_Midle", List);
    Panel_Right = PanelOf("Panel_Right", Memo);
    addWidget(Panel_Left);
    addWidget(Panel_Midle);
    addWidget(Panel_Right);
    setStretchFactor(1, 1);
    setSizes({200, 540, 220});

    TreeView->setModel(tree_);
    TreeView->setHeaderHidden(true);
    TreeView->setUniformRowHeights(true);
    TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView->setContextMenuPolicy(Qt::CustomContextMenu);
    List->SetModel(items_);
    List->SetColumnWidths(kColumnWidths);
    List->SetMultiSelection(false);
    // The list is ordered by name only.
    List->Report()->header()->setSectionsClickable(false);
    List->Report()->header()->setSortIndicatorShown(false);
    Memo->setReadOnly(true);
    Memo->installEventFilter(this);

    if (!readOnly_) {
        tree_->SetAcceptDrops(true);
        TreeView->setAcceptDrops(true);
        TreeView->setDropIndicatorShown(true);
        TreeView->setDragDropMode(QAbstractItemView::DropOnly);
        // A drop anywhere on a node's row lands on that node.
        TreeView->setDragDropOverwriteMode(true);
        items_->SetDraggable(true);
        for (QAbstractItemView* source : {static_cast<QAbstractItemView*>(List->Report()),
                                          static_cast<QAbstractItemView*>(List->Icons())}) {
            source->setDragEnabled(true);
            source->setDragDropMode(QAbstractItemView::DragOnly);
            source->setDefaultDropAction(Qt::MoveAction);
        }
    }

    connect(TreeView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &DbPanes::NodeSelected);
    connect(List, &ListView::SelectionChanged, this, &DbPanes::RowSelected);
    connect(Memo, &QPlainTextEdit::textChanged, this, [this] {
        if (!loading_) changed_ = true;
    });
}

DbPanes::~DbPanes() = default;

void DbPanes::ShowDatabase() {
    db_.CurrentPath = std::string(kRootCategory);
    FillList(db_.CurrentPath);
    tree_->Fill(db_.Arch());
    SelectTopNode();
}

void DbPanes::FillList(const std::string& path) {
    StoreDescription();
    {
        BusyCursor cursor;
        ShowDescription(0);
        List->setUpdatesEnabled(false);
        items_->Fill(db_.ItemsOf(path));
        List->setUpdatesEnabled(true);
    }
    // The first row becomes the selected and current row; the keyboard
    // focus stays where it is (walking the tree by keys goes on).
    if (items_->rowCount() > 0) {
        List->SelectRow(0);
        List->CurrentView()->scrollToTop();
    }
    Q_EMIT PathShown(DecodeText(path));
}

QModelIndex DbPanes::AddPathToTree(const std::string& path) {
    return tree_->AddPath(path);
}

void DbPanes::SelectTopNode() {
    const QModelIndex top = tree_->index(0, 0);
    if (!top.isValid()) return;
    // Choosing the node that is current already lists it again all the same.
    if (TreeView->currentIndex() == top)
        NodeSelected();
    else
        TreeView->setCurrentIndex(top);
}

std::string DbPanes::SelectedPath() const {
    const QModelIndex node = TreeView->currentIndex();
    return node.isValid() ? tree_->PathOf(node) : std::string();
}

void DbPanes::NodeSelected() {
    const QModelIndex node = TreeView->currentIndex();
    if (!node.isValid()) return;
    db_.CurrentPath = tree_->PathOf(node);
    FillList(db_.CurrentPath);
}

std::int32_t DbPanes::SelectedItem() const {
    const std::vector<std::int32_t> items = List->SelectedSlots();
    return items.size() == 1 ? items.front() : 0;
}

void DbPanes::RowSelected() {
    StoreDescription();
    ShowDescription(SelectedItem());
}

void DbPanes::ShowDescription(std::int32_t item) {
    loading_ = true;
    if (item != 0)
        Memo->setPlainText(DescriptionToText(db_.Item(item).Description));
    else
        Memo->clear();
    Memo->moveCursor(QTextCursor::Start);
    loading_ = false;
    changed_ = false;
    db_.CurrentItem = item;
    Memo->setReadOnly(readOnly_ || item == 0);
}

void DbPanes::StoreDescription() {
    if (!changed_) return;
    changed_ = false;
    const std::int32_t item = db_.CurrentItem;
    if (readOnly_ || item < 1 || item > db_.ItemCount()) return;
    const std::string text = TextToDescription(Memo->toPlainText(), ItemCodePage(db_.Item(item)));
    db_.SetDescription(item, DescriptionLines(text));
}

void DbPanes::SetGridLines(bool on) {
    List->SetGridLines(on);
}

bool DbPanes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Memo && event->type() == QEvent::FocusOut) StoreDescription();
    return QSplitter::eventFilter(watched, event);
}

} // namespace orbisk
