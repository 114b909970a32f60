#include "gui/mainwin/MainContentHandler.h"

#include <QCheckBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeView>
#include <iterator>

#include "core/catalog/Common.h"
#include "gui/common/GridLineDelegate.h"
#include "gui/mainwin/ArchiveDirModel.h"
#include "gui/mainwin/TForm_Main.h"

namespace orbisk {

namespace {

void SetInitialColumnWidths(QTreeView& view) {
    // The note column takes the rest of the width.
    const int widths[] = {180, 75, 115, 50};
    for (int column = 0; column < static_cast<int>(std::size(widths)); ++column)
        view.setColumnWidth(column, widths[column]);
}

} // namespace

MainContentHandler::MainContentHandler(TForm_Main& form)
    : QObject(&form), form_(form), model_(new ArchiveDirModel(form.Controls().ListView_Dir)),
      grid_(new GridLineDelegate(form.Controls().ListView_Dir)) {
    // The view owns its model and delegate, so they live as long as it does.
    const TMainControls& c = form_.Controls();
    c.ListView_Dir->setModel(model_);
    c.ListView_Dir->setItemDelegate(grid_);
    c.ListView_Dir->setSelectionMode(QAbstractItemView::ExtendedSelection);
    c.ListView_Dir->setSelectionBehavior(QAbstractItemView::SelectRows);
    SetInitialColumnWidths(*c.ListView_Dir);
    connect(c.ListView_Dir->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainContentHandler::SelectionChanged);
    connect(c.Edit_Pozn, &QLineEdit::textEdited, this, &MainContentHandler::NoteTyped);
    connect(c.Memo_Popis, &QPlainTextEdit::textChanged, this,
            &MainContentHandler::DescriptionTyped);
    c.Edit_Pozn->installEventFilter(this);
    c.Memo_Popis->installEventFilter(this);
    SetWrap(c.CheckBox_Wrap->isChecked());
}

void MainContentHandler::Clear() {
    StorePendingNote();
    model_->SetDirectory(nullptr, 0);
    ShowRecord(0, -1);
    ShowTotals(false);
}

void MainContentHandler::ArchiveOpened() {
    codePage_ = ArchiveCodePage(form_.CurrentArchive);
}

void MainContentHandler::ListFolder(const std::string& path) {
    if (form_.Busy()) return;
    StorePendingNote();
    const TArch& arch = form_.CurrentArchive;
    std::int32_t dirIndex = arch.FindDir(path);
    model_->SetDirectory(&arch, dirIndex);
    ShowRecord(0, -1);
    ShowTotals(dirIndex != 0);
    if (model_->rowCount() > 0) {
        QTreeView* view = form_.Controls().ListView_Dir;
        QModelIndex first = model_->index(0, 0);
        view->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect |
                                                           QItemSelectionModel::Rows);
        view->scrollToTop();
    }
}

void MainContentHandler::ShowTotals(bool listed) {
    QLabel* status = form_.Controls().StatusTotals;
    if (!listed) {
        status->setText(QStringLiteral(" "));
        return;
    }
    std::string kilobytes = FormatSize(std::to_string(model_->ByteTotal() / 1024));
    status->setText(QStringLiteral(" %1 kB v %2 souborech")
                        .arg(QString::fromStdString(kilobytes))
                        .arg(model_->FileCount()));
}

void MainContentHandler::SelectionChanged() {
    const QModelIndexList rows =
        form_.Controls().ListView_Dir->selectionModel()->selectedRows(ArchiveDirModel::ColName);
    if (rows.size() == 1)
        ShowRecord(model_->RecAt(rows.first().row()), rows.first().row());
    else
        ShowRecord(0, -1);
}

void MainContentHandler::ShowRecord(std::int32_t rec, int row) {
    StorePendingNote();
    const TMainControls& c = form_.Controls();
    const TArch& arch = form_.CurrentArchive;
    if (rec < 1 || rec > arch.RecCount) rec = 0;
    loading_ = true;
    if (rec != 0) {
        const TRec& r = arch.Recs[static_cast<std::size_t>(rec)];
        c.Edit_Pozn->setText(DecodeText(r.Note));
        c.Edit_Pozn->setCursorPosition(0);
        c.Memo_Popis->setPlainText(DescriptionToText(r.Description));
        c.Memo_Popis->verticalScrollBar()->setValue(0);
    } else {
        c.Edit_Pozn->clear();
        c.Memo_Popis->clear();
    }
    // Typing is possible only where it can be stored: into one shown entry.
    c.Edit_Pozn->setEnabled(rec != 0);
    c.Memo_Popis->setEnabled(rec != 0);
    form_.SetNoteEdited(false);
    loading_ = false;
    shownRec_ = rec;
    shownRow_ = rec != 0 ? row : -1;
}

void MainContentHandler::NoteTyped(const QString& text) {
    if (loading_ || shownRec_ == 0) return;
    form_.SetNoteEdited(true);
    form_.SetModified(true);
    model_->SetLiveNote(shownRow_, text);
}

void MainContentHandler::DescriptionTyped() {
    if (loading_ || shownRec_ == 0) return;
    form_.SetNoteEdited(true);
    form_.SetModified(true);
}

void MainContentHandler::StorePendingNote() {
    if (!form_.NoteEdited()) return;
    form_.SetNoteEdited(false);
    TArch& arch = form_.CurrentArchive;
    if (shownRec_ < 1 || shownRec_ > arch.RecCount) return;
    const TMainControls& c = form_.Controls();
    TRec& rec = arch.Recs[static_cast<std::size_t>(shownRec_)];
    rec.Note = TextToNote(c.Edit_Pozn->text(), codePage_);
    rec.Description = TextToDescription(c.Memo_Popis->toPlainText(), codePage_);
    form_.SetModified(true);
    model_->ClearLiveNote();
}

bool MainContentHandler::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) StorePendingNote();
    return QObject::eventFilter(watched, event);
}

void MainContentHandler::SetGridLines(bool on) {
    grid_->SetGridLines(on);
    form_.Controls().ListView_Dir->viewport()->update();
}

void MainContentHandler::SetWrap(bool on) {
    QPlainTextEdit* memo = form_.Controls().Memo_Popis;
    memo->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(on ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void MainContentHandler::FocusList() {
    form_.Controls().ListView_Dir->setFocus();
}

} // namespace orbisk
