#include "gui/mainwin/ContentBrowser.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <QTreeView>

#include "core/catalog/Browse.h"
#include "core/catalog/Common.h"
#include "core/catalog/ProgramValues.h"
#include "gui/common/BusyCursor.h"
#include "gui/common/Text.h"
#include "gui/mainwin/ContentCommands.h"
#include "gui/mainwin/ContentModel.h"
#include "gui/mainwin/FolderTreeModel.h"
#include "gui/mainwin/NotePanel.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

// Name, size, date, attributes, note: the name wide enough for ordinary names
// (some forty characters), the date for "31.12.2026 23:59:59".
const std::vector<int> kColumnWidths = {300, 90, 135, 50, 200};

} // namespace

ContentBrowser::ContentBrowser(TForm_Main& form)
    : QObject(&form), form_(form), model_(new ContentModel(form.Controls().ListView_Dir)),
      tree_(new FolderTreeModel(form.Controls().TreeView_Dir)),
      notes_(std::make_unique<NotePanel>(form, *model_)),
      commands_(std::make_unique<ContentCommands>(form, *this)) {
    const TMainControls& c = form_.Controls();
    ListView& list = *c.ListView_Dir;
    list.SetModel(model_);
    list.SetColumnWidths(kColumnWidths);
    list.SetMultiSelection(true);
    list.SetKeyHandler([this](QKeyEvent& key) { return KeyPressed(key); });
    connect(&list, &ListView::SelectionChanged, this, &ContentBrowser::SelectionChanged);
    connect(&list, &ListView::Activated, this, &ContentBrowser::ActivateSelection);
    connect(&list, &ListView::ContextMenuRequested, commands_.get(),
            &ContentCommands::ShowContextMenu);

    c.TreeView_Dir->setModel(tree_);
    connect(c.TreeView_Dir->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ContentBrowser::FolderNodeChosen);
    connect(c.TreeView_Dir, &QAbstractItemView::activated, this, &ContentBrowser::FocusList);
    connect(c.CloseTreeDirButton, &QToolButton::clicked, this, [this] {
        options_.FolderTree = false;
        ShowFolderTree(false);
    });
    connect(c.RootButton, &QToolButton::clicked, this, [this] {
        GoRoot();
        FocusList();
    });
    connect(c.UpButton, &QToolButton::clicked, this, [this] {
        GoUp();
        FocusList();
    });
    remembered_.assign(2, 0);
    notes_->SetWrap(c.CheckBox_Wrap->isChecked());
}

ContentBrowser::~ContentBrowser() = default;

ListView& ContentBrowser::List() const {
    return *form_.Controls().ListView_Dir;
}

void ContentBrowser::SetOptions(const TContentOptions& options) {
    if (form_.Busy()) return;
    options_ = options;
    model_->SetBoldNoticed(options_.BoldNoticed);
    ShowFolderTree(options_.FolderTree);
    if (form_.CurrentArchive.DirCount > 0) ListFolder(form_.CurrentPath);
}

void ContentBrowser::Clear() {
    notes_->StorePending();
    model_->Clear();
    notes_->ShowRecord(0);
    form_.Controls().StatusTotals->setText(QStringLiteral(" "));
}

void ContentBrowser::ArchiveOpened() {
    notes_->ArchiveOpened();
    currentDirIndex_ = 0;
    depth_ = 1;
    remembered_.assign(2, 0);
    tree_->Clear();
}

void ContentBrowser::ListFolder(const std::string& path) {
    if (form_.Busy()) return;
    BusyGuard busy(form_);
    BusyCursor cursor;
    notes_->StorePending();
    ListView& list = List();
    list.setUpdatesEnabled(false);
    const TArch& arch = form_.CurrentArchive;
    TFolderListing listing = ListFolderRows(arch, path, {Program().ShowAll, options_.FolderSizes});
    const bool found = listing.DirIndex != 0;
    currentDirIndex_ = listing.DirIndex;
    depth_ = PathDepth(path);
    const QString totals = QString::fromStdString(TotalsText(
        listing.ByteTotal, listing.FileCount, form_.Controls().LabelT5->text().toStdString()));
    std::vector<std::string> subfolders;
    if (options_.FolderTree && found)
        for (const TFolderRow& row : listing.Rows)
            if (row.Rec != 0 && row.Folder)
                subfolders.push_back(
                    ChildPath(path, arch.Recs[static_cast<std::size_t>(row.Rec)].Name));
    model_->SetBoldNoticed(options_.BoldNoticed);
    model_->SetListing(&arch, std::move(listing), list.SortColumn(), list.SortDirection());
    int row = -1;
    if (found && model_->rowCount() > 0) {
        row = RememberedRow(depth_);
        if (row < 0 || row >= model_->rowCount()) row = 0;
        list.SelectRow(row);
    }
    list.setUpdatesEnabled(true);
    form_.Controls().StatusTotals->setText(found ? totals : QStringLiteral(" "));
    SelectionChanged();
    list.ScrollToMiddle(row);
    if (options_.FolderTree && found) {
        for (const std::string& folder : subfolders)
            tree_->AddPath(folder);
        QTreeView* view = form_.Controls().TreeView_Dir;
        const QModelIndex node = tree_->AddPath(path);
        view->setCurrentIndex(node);
        view->scrollTo(node);
    }
}

void ContentBrowser::ShowFolder(const std::string& path) {
    form_.CurrentPath = path;
    depth_ = PathDepth(path);
    form_.Controls().DirTitle->setText(DecodeText(path));
    ListFolder(path);
}

void ContentBrowser::ActivateSelection() {
    const std::vector<int> rows = List().SelectedRows();
    if (rows.size() == 1) EnterRow(rows.front());
}

void ContentBrowser::RunSelection() {
    const std::vector<int> rows = List().SelectedRows();
    if (rows.size() != 1 || form_.Busy()) return;
    const std::int32_t rec = model_->SlotAt(rows.front());
    if (rec != 0 && RunEntry) RunEntry(rec);
}

void ContentBrowser::EnterRow(int row) {
    const TFolderRow* shown = model_->RowAt(row);
    if (!shown || form_.Busy()) return;
    if (shown->Rec == 0) return GoUp();
    const TRec& rec = form_.CurrentArchive.Recs[static_cast<std::size_t>(shown->Rec)];
    if (HasFolder(rec)) {
        Remember(depth_, row);
        const std::string path = ChildPath(form_.CurrentPath, rec.Name);
        Remember(PathDepth(path), 0);
        return ShowFolder(path);
    }
    // A ZIP or RAR file whose contents were not listed has nothing to show.
    const std::string extension = UpperAscii(ExtensionOf(rec.Name));
    if (extension == ".RAR" || extension == ".ZIP") return;
    if (RunEntry) RunEntry(shown->Rec);
}

void ContentBrowser::GoUp(bool backspace) {
    if (form_.Busy()) return;
    if (form_.CurrentPath == "\\") {
        // The archive tree stands in while the archive list pane is hidden.
        const TMainControls& c = form_.Controls();
        if (backspace && c.PanelCD->isVisible())
            c.ListView_CD->setFocus();
        else if (backspace)
            c.TreeView_Arch->setFocus();
        return;
    }
    ShowFolder(ParentPath(form_.CurrentPath));
}

void ContentBrowser::GoRoot() {
    if (form_.Busy() || form_.CurrentPath == "\\") return;
    ShowFolder("\\");
}

int ContentBrowser::RememberedRow(std::int32_t depth) const {
    if (depth < 0 || static_cast<std::size_t>(depth) >= remembered_.size()) return 0;
    return remembered_[static_cast<std::size_t>(depth)];
}

void ContentBrowser::Remember(std::int32_t depth, int row) {
    if (depth < 0) return;
    if (static_cast<std::size_t>(depth) >= remembered_.size())
        remembered_.resize(static_cast<std::size_t>(depth) + 1, 0);
    remembered_[static_cast<std::size_t>(depth)] = row;
}

void ContentBrowser::SelectionChanged() {
    const std::vector<int> rows = List().SelectedRows();
    notes_->ShowRecord(rows.size() == 1 ? model_->SlotAt(rows.front()) : 0);
}

bool ContentBrowser::KeyPressed(QKeyEvent& key) {
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    switch (key.key()) {
    case Qt::Key_Backspace:
        GoUp(true);
        return true;
    case Qt::Key_Delete:
        commands_->DeleteCommand();
        return true;
    case Qt::Key_Space:
        if (key.modifiers() != Qt::NoModifier) return false;
        commands_->SizeCommand();
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (!keypad) return false;
        commands_->MaskCommand(key.key() == Qt::Key_Plus);
        return true;
    default:
        return false;
    }
}

void ContentBrowser::FolderNodeChosen() {
    if (form_.Busy()) return;
    const QModelIndex node = form_.Controls().TreeView_Dir->currentIndex();
    if (node.isValid()) ShowFolder(tree_->PathOf(node));
}

void ContentBrowser::ShowFolderTree(bool on) {
    form_.Controls().PanelTreeDir->setVisible(on);
}

void ContentBrowser::StorePendingNote() {
    notes_->StorePending();
}

void ContentBrowser::SetGridLines(bool on) {
    List().SetGridLines(on);
}

void ContentBrowser::SetWrap(bool on) {
    notes_->SetWrap(on);
}

void ContentBrowser::SetViewStyle(ListView::Style style) {
    List().SetStyle(style);
}

void ContentBrowser::FocusList() {
    List().setFocus();
}

} // namespace orbisk
